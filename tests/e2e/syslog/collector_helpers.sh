# Sourced by the syslog end-to-end scripts once $root, $bin and fail are set and the work folder is
# the current one: the collector's stop and the exit cleanup, the port probe, the Windows client,
# and the count of what the collector wrote.
collector_pid=
stop_collector() {
  [ -n "$collector_pid" ] || return 0
  kill "$collector_pid" 2>/dev/null
  for _ in $(seq 100); do kill -0 "$collector_pid" 2>/dev/null || break; sleep 0.1; done
  wait "$collector_pid" 2>/dev/null
  collector_pid=
}
capture_pid=
cleanup() {
  stop_collector
  # A Wine process may outlive SIGTERM, and would keep the mailslot from the next test.
  [ -n "$capture_pid" ] && kill -9 "$capture_pid" 2>/dev/null
}
trap cleanup EXIT

listening() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

run_win() { "$root/scripts/wine-run" "$@"; }
client() { run_win "$bin/monitor_e2e_client.exe" lines "$2" "$1" >/dev/null 2>&1 || fail "the client ($1) failed"; }
received_count() { [ -f received.log ] && wc -l <received.log || echo 0; }
wait_received() {  # wait until the collector wrote $1 lines or a line matching $2
  for _ in $(seq 300); do
    [ "$(received_count)" -ge "$1" ] && return 0
    [ -n "${2:-}" ] && grep -aq "$2" received.log 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}
