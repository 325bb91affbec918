# The include graph of the monitor's rooms, read from the #include lines of monitor/*/:
# - no two rooms include each other, directly or round a circle;
# - the rooms below the application (common, settings, view, log, filters, files) include nothing
#   of monitor/app/;
# - inside monitor/app/, only the main window's own files include monitor_app.h: the components
#   it owns know nothing of it.
# Run as: cmake -DMONITOR_DIR=<source>/monitor -P include_graph.cmake; fails with every breach.
cmake_minimum_required(VERSION 3.20)
if(NOT MONITOR_DIR OR NOT IS_DIRECTORY "${MONITOR_DIR}")
  message(FATAL_ERROR "include graph: MONITOR_DIR (${MONITOR_DIR}) is no folder")
endif()

set(below_app common settings view log filters files)
# The main window and its commands: the files that define the application record's members.
set(app_record_files monitor_app.h monitor_app.cpp main_window.cpp commands.cpp winmain.cpp
  pre_translate.cpp language.cpp trouble_notice.cpp receive_tick.cpp)

file(GLOB room_paths LIST_DIRECTORIES true "${MONITOR_DIR}/*")
set(rooms "")
foreach(path IN LISTS room_paths)
  if(IS_DIRECTORY "${path}")
    get_filename_component(room "${path}" NAME)
    list(APPEND rooms "${room}")
  endif()
endforeach()

set(breaches "")
set(files_read 0)
foreach(room IN LISTS rooms)
  set(edges_${room} "")
  file(GLOB sources "${MONITOR_DIR}/${room}/*.h" "${MONITOR_DIR}/${room}/*.cpp" "${MONITOR_DIR}/${room}/*.rc")
  foreach(source IN LISTS sources)
    math(EXPR files_read "${files_read} + 1")
    get_filename_component(name "${source}" NAME)
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"monitor/[a-z_]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"monitor/([a-z_]+)/([^\"]*)\".*" "\\1;\\2" target "${line}")
      list(GET target 0 target_room)
      list(GET target 1 target_file)
      if(NOT target_room STREQUAL room)
        list(APPEND edges_${room} "${target_room}")
      endif()
      if(target_room STREQUAL "app" AND room IN_LIST below_app)
        list(APPEND breaches "monitor/${room}/${name} includes monitor/app/${target_file}")
      endif()
      if(room STREQUAL "app" AND target_file STREQUAL "monitor_app.h" AND NOT name IN_LIST app_record_files)
        list(APPEND breaches "monitor/app/${name}, a component, includes monitor/app/monitor_app.h")
      endif()
    endforeach()
  endforeach()
  if(edges_${room})
    list(REMOVE_DUPLICATES edges_${room})
  endif()
endforeach()

if(files_read LESS 40)
  message(FATAL_ERROR "include graph: only ${files_read} files under ${MONITOR_DIR}: the rooms were not found")
endif()

# A circle: a room that reaches itself through the rooms it includes.
foreach(room IN LISTS rooms)
  set(reached "")
  set(frontier ${edges_${room}})
  while(frontier)
    list(POP_FRONT frontier next)
    if(next IN_LIST reached)
      continue()
    endif()
    list(APPEND reached "${next}")
    if(DEFINED edges_${next})
      list(APPEND frontier ${edges_${next}})
    endif()
  endwhile()
  if(room IN_LIST reached)
    list(JOIN reached ", " through)
    list(APPEND breaches "monitor/${room}/ includes itself round a circle (it reaches ${through})")
  endif()
endforeach()

if(breaches)
  list(JOIN breaches "\n  " told)
  message(FATAL_ERROR "include graph of monitor/:\n  ${told}")
endif()
message(STATUS "include graph: ${files_read} files of monitor/, no circle, nothing below app/ includes it")
