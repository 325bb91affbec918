/* User-visible texts of vigilo.exe: one identifier per text, its two copies in the string tables
   of vigilo.ja.rc and vigilo.en.rc. A text's table number is its language's base plus the
   identifier: Japanese 30xx and English 31xx, as the dialog templates are 20xx and 21xx. The
   identifiers run from 0 without gaps up to IDS_TEXT_COUNT, so that a test can walk them all. */
#ifndef VIGILO_UI_TEXT_IDS_H
#define VIGILO_UI_TEXT_IDS_H

#define IDS_JAPANESE_BASE 3000
#define IDS_ENGLISH_BASE 3100
#define JAPANESE_TEXT(id) (IDS_JAPANESE_BASE + (id))
#define ENGLISH_TEXT(id) (IDS_ENGLISH_BASE + (id))

/* The program: window title and message box caption, About box version line, help page path
   relative to the program's folder. */
#define IDS_PROGRAM_NAME 0
#define IDS_VERSION_FORMAT 1  /* %s: the version number */
#define IDS_HELP_PAGE 2

/* Toolbar tooltips. */
#define IDS_TIP_START_LOG 3
#define IDS_TIP_STOP_LOG 4
#define IDS_TIP_SETTING 5
#define IDS_TIP_COPY 6
#define IDS_TIP_PASTE 7
#define IDS_TIP_SELECT_ALL 8
#define IDS_TIP_ALL_COPY 9
#define IDS_TIP_ALL_ERASE 10
#define IDS_TIP_HELP 11

/* The console's context menu. */
#define IDS_MENU_COPY 12
#define IDS_MENU_PASTE 13
#define IDS_MENU_SELECT_ALL 14
#define IDS_MENU_ALL_COPY 15
#define IDS_MENU_ALL_ERASE 16

/* Status bar parts; %s: the number or the log file name. */
#define IDS_STATUS_COUNT 17
#define IDS_STATUS_RATE 18
#define IDS_STATUS_LOG 19
#define IDS_STATUS_CHANNEL_DOWN 20

#define IDS_SETTINGS_CAPTION 21  /* the console settings sheet */
#define IDS_FIND_NOT_FOUND 22    /* %s: the text searched for */

/* Log saving: the browse chooser, and message boxes about the file (%s: its name). */
#define IDS_LOG_FILTER_ALL_FILES 23
#define IDS_LOG_BROWSE_TITLE 24
#define IDS_LOG_CAPTION 25
#define IDS_LOG_CANNOT_OPEN 26
#define IDS_LOG_OVERWRITE 27

/* Troubles told in a message box. */
#define IDS_TROUBLE_CHANNEL_IN_USE 28
#define IDS_TROUBLE_DEBUG_OUTPUT_IN_USE 29
#define IDS_TROUBLE_DEBUG_OUTPUT_FAILED 30  /* %s: the system's reason */
#define IDS_TROUBLE_LOG_STOPPED 31          /* %s: the log file, %s: the system's reason */

/* Entries of the language dialog's list. */
#define IDS_LANGUAGE_ENGLISH 32
#define IDS_LANGUAGE_JAPANESE 33

#define IDS_STATUS_COPY_FAILED 34  /* status bar: the clipboard was held by another program */

#define IDS_SETTINGS_NOT_SAVED 35  /* %s: the settings file */

#define IDS_TROUBLE_LOG_NOT_ROTATED 36  /* %s: the log file, %s: the system's reason */
#define IDS_CONSOLE_MEMORY_SHORT 37  /* %u: kilobytes asked for, %u: kilobytes the console holds */
#define IDS_STATUS_COUNT_HIDDEN 48      /* %s: messages received, %s: shown in the view, %s: stored messages its filters hide */
#define IDS_FILTER_RULES_UNREADABLE 49  /* %s: the numbers of the rules */
#define IDS_STATUS_UNKEPT 50            /* status bar: a receiving thread lost messages for want of memory */

/* The filter dialogs: the list's column headings, and the names of the actions and fields in
   the list and the rule dialog's drop-down lists. */
#define IDS_FILTER_COLUMN_ACTION 38
#define IDS_FILTER_COLUMN_FIELD 39
#define IDS_FILTER_COLUMN_PATTERN 40
#define IDS_FILTER_COLUMN_COLOURS 41  /* a highlight rule's colours: "#RRGGBB / #RRGGBB", text and background */
#define IDS_FILTER_INCLUDE 42
#define IDS_FILTER_EXCLUDE 43
#define IDS_FILTER_HIGHLIGHT 44
#define IDS_FILTER_FIELD_TEXT 45
#define IDS_FILTER_FIELD_PROGRAM 46
#define IDS_FILTER_FIELD_PROCESS_ID 47
/* Status bar: View > Capture Global Debug Output could not start or stopped. */
#define IDS_STATUS_GLOBAL_DEBUG_NO_RIGHT 51  /* the user lacks the right to create global objects */
#define IDS_STATUS_GLOBAL_DEBUG_IN_USE 52    /* another program listens to the global objects */
#define IDS_STATUS_GLOBAL_DEBUG_FAILED 53    /* any other failure, at the start or later */
/* The views: a view's name from its number (%u), the context menu's process commands, a view
   named after a process without a program name (%s: its id), and sections of vigilo.ini read
   as views with no rules (%s: "view 3, view 4"). */
#define IDS_VIEW_NAME 54
#define IDS_MENU_SHOW_ONLY_PROCESS 55
#define IDS_MENU_HIDE_PROCESS 56
#define IDS_VIEW_PROCESS_NAME 57
#define IDS_VIEW_SECTIONS_BROKEN 58
/* Opened files: File > Open..., Save As..., Follow, and what reading a file met. */
#define IDS_FILE_CANNOT_OPEN 59  /* %s: the file, %lu: the system's error */
#define IDS_FILE_BINARY 60  /* %s: the file's name */
#define IDS_FILE_MALFORMED 61  /* %s: the file's name, %u: lines */
#define IDS_FILE_LINE_CUT 62  /* %s: the file's name, %u: kilobytes */
#define IDS_FILE_TRUNCATED 63  /* %s: the file's name */
#define IDS_FILE_ROTATED 64  /* %s: the file's name */
#define IDS_FILE_READ_FAILED 65  /* %s: the file's name, %lu: the system's error */
#define IDS_FILE_STATUS_READING 66  /* status bar: %s the file's name, %u the percentage read */
#define IDS_FILE_STATUS_READ 67  /* status bar: %s the file's name, %u its lines */
#define IDS_FILE_STATUS_FOLLOWING 68  /* status bar: %s the file's name, %u its lines */
#define IDS_FILE_STATUS_FRONT_LEFT 69  /* status bar: %s the file's name, %u lines kept, %u lines that left the buffer */
#define IDS_FILE_OPEN_FILTER 70  /* File > Open...'s filters: name|pattern|... */
#define IDS_FILE_OPEN_TITLE 71  /* File > Open...'s dialog title */
#define IDS_FILE_SAVE_FILTER 72  /* File > Save As...'s forms: text first, JSON lines second */
#define IDS_FILE_SAVE_TITLE 73  /* File > Save As...'s dialog title */
#define IDS_FILE_CANNOT_SAVE 74  /* %s: the file, %lu: the system's error */
#define IDS_TEXT_COUNT 75  /* at most 100: the English base follows the Japanese one by 100 */

#endif
