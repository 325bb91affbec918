#!/usr/bin/env bash
# tellitcap --syslog into rsyslogd: every message arrives in order with its program, pid and text
# ("order"); a collector stopped and started again meanwhile gets what was queued ("restart"), or
# a notice of how many could not be kept ("restart-overflow", a queue of 10). Over TCP or UDP (a
# case ending in -udp): a collector that starts only after the capture gets what was captured
# meanwhile ("late-start"); one stopped and started again gets every message ("restart-udp"); a
# message of 92,160 characters (90 KB sent, 276,480 bytes in UTF-8) arrives cut at a whole
# character to one frame the collector takes (TCP) or one datagram (UDP), and the messages after it
# arrive ("oversize").
#   syslog_e2e.sh CASE BIN_DIR WORK_DIR
set -uo pipefail
export LC_ALL=C  # the long message's capture holds code-page bytes: compare bytes, not characters
case_name=$1 bin=$2 work=$3
root=$(cd "$(dirname "$0")/../../.." && pwd)
rsyslogd=/usr/sbin/rsyslogd
fail() { echo "FAIL: $*" >&2; [ -f "$work/received.log" ] && { echo "--- received.log:" >&2; cat "$work/received.log" >&2; }; exit 1; }
[ -x "$rsyslogd" ] || fail "rsyslogd is missing (scripts/bootstrap installs rsyslog)"

transport=tcp scenario=$case_name
case $case_name in
  *-udp) transport=udp scenario=${case_name%-udp} ;;
  *-tcp) scenario=${case_name%-tcp} ;;
esac

rm -rf "$work"
mkdir -p "$work/spool"
cd "$work" || fail "no work folder $work"

. "$(dirname "$0")/collector_helpers.sh"
udp_bound() { ss -Hlun "sport = :$1" 2>/dev/null | grep -q .; }

# Starts rsyslogd on $port in the foreground (as a child of this script) and waits until it listens.
start_collector() {
  cat >rsyslog.conf <<CONF
global(workDirectory="$work/spool" maxMessageSize="512k")
module(load="imtcp")
module(load="imudp")
input(type="imtcp" port="$port" address="127.0.0.1")
input(type="imudp" port="$port" address="127.0.0.1")
template(name="fields" type="string" string="%app-name%|%procid%|%msgid%|%structured-data%|%msg%\n")
*.* action(type="omfile" file="$work/received.log" template="fields")
CONF
  "$rsyslogd" -n -f "$work/rsyslog.conf" -i "$work/rsyslog.pid" >>rsyslogd.out 2>&1 </dev/null &
  collector_pid=$!
  for _ in $(seq 100); do
    listening "$port" && udp_bound "$port" && return 0
    kill -0 "$collector_pid" 2>/dev/null || break
    sleep 0.1
  done
  stop_collector
  return 1
}

# A free port: one that nothing listens on and that rsyslogd can take.
port=
for _ in $(seq 10); do
  candidate=$((20000 + RANDOM % 30000))
  { listening "$candidate" || udp_bound "$candidate"; } && continue
  port=$candidate
  [ "$scenario" = late-start ] && break  # started once the capture has messages for it
  start_collector && break
  port=
done
[ -n "$port" ] || { cat rsyslogd.out >&2 2>/dev/null; fail "rsyslogd did not listen on any port tried"; }


queue_args=
[ "$case_name" = restart-overflow ] && queue_args="--queue 10"
# Messages before the stop, while the collector is gone, after it is back. A queue of 10 takes
# the first 6 with the banner whole, then must drop most of the 30.
before=20 while=30 after=20
case $scenario in
  order) total=$((1 + 50)) ;;
  restart) total=$((3 + before + while + after)) ;;  # each client run opens with its banner
  restart-overflow) before=5 after=5 total=$((3 + before + while + after)) ;;
  late-start) total=$((2 + while + after)) ;;
  oversize) total=$((2 + 1 + after)) ;;
  *) fail "unknown case $case_name" ;;
esac
long_chars=92160  # 90 KB through tellit.dll (read whole, above the 64 KiB Wine says), 270 KB in UTF-8

# The capture also writes its text form with the senders: what the collector must show.
run_win "$bin/tellitcap.exe" --syslog "$transport://127.0.0.1:$port" $queue_args -o capture.txt --senders \
  --count "$total" >tellitcap.out 2>tellitcap.err &
capture_pid=$!
# The output file is made once the mailslot is open.
for _ in $(seq 200); do [ -f capture.txt ] && break; sleep 0.05; done
[ -f capture.txt ] || fail "tellitcap did not start: $(cat tellitcap.err)"

captured_count() { wc -l <capture.txt; }
if [ "$scenario" = order ]; then
  client order 50
elif [ "$scenario" = late-start ]; then
  client while "$while"
  for _ in $(seq 200); do [ "$(captured_count)" -ge $((1 + while)) ] && break; sleep 0.1; done
  [ "$(captured_count)" -ge $((1 + while)) ] || fail "tellitcap captured $(captured_count) of $((1 + while))"
  start_collector || fail "rsyslogd did not start on port $port"
  # More after the start, so that the capture (which ends at --count) outlasts the longest wait
  # between attempts: what was queued must arrive without a new message to push it.
  client after "$after"
elif [ "$scenario" = oversize ]; then
  run_win "$bin/monitor_e2e_client.exe" long "$long_chars" >/dev/null 2>&1 || fail "the client (long) failed"
  client after "$after"
else
  client before "$before"
  wait_received $((1 + before)) || fail "the first $((1 + before)) messages did not arrive"
  stop_collector
  client while "$while"
  sleep 1
  start_collector || fail "rsyslogd did not start again on port $port"
  client after "$after"
fi
wait "$capture_pid"
status=$?
capture_pid=
[ "$status" -eq 0 ] || fail "tellitcap exited with $status: $(cat tellitcap.err)"
# Every message arrived or was told dropped.
dropped_sum() {
  sed -nE 's/^tellitcap\|-\|tellit\|\[tellit@32473 dropped="([0-9]+)"\]\|.*/\1/p' received.log 2>/dev/null |
    awk '{ n += $1 } END { print n + 0 }'
}
accounted() { echo $(( $(grep -avc '^tellitcap|' received.log 2>/dev/null) + $(dropped_sum) )); }
for _ in $(seq 300); do [ "$(accounted)" -ge "$total" ] && break; sleep 0.1; done
sleep 0.3  # anything more would be a duplicate: let it show

# Each line tellitcap wrote, "[pid program] text", as the collector's "program|pid|tellit|text".
# A sender that ended before it could be named is "[pid] text", and "-" (no APP-NAME) to syslog.
expected=$(sed -E 's/\r$//; s/^\[([0-9]+) ([^]]+)\] /\2|\1|tellit|/; s/^\[([0-9]+)\] /-|\1|tellit|/' capture.txt)
[ "$(printf '%s\n' "$expected" | wc -l)" -eq "$total" ] || fail "tellitcap wrote $(wc -l <capture.txt) lines, not $total"
grep -av '^tellitcap|' received.log | awk -F'|' '{ print $1 "|" $2 "|" $3 "|" $5 }' >got.txt
# The structured data of every sender's message: its sequence number and thread.
grep -av '^tellitcap|' received.log | grep -aEvq '\|\[tellit@32473 seq="[0-9]+" tid="[0-9]+"\]\|' &&
  fail "a message without its structured data"
dropped=$(dropped_sum)
if [ "$scenario" = oversize ]; then
  # The long message: "long " and euro signs (E2 82 AC) only, so cut at a whole character if at all.
  long=$(awk -F'|' '$5 ~ /^long / { print $5 }' received.log)
  [ -n "$long" ] || fail "the long message did not arrive (nor was its drop told: $dropped)"
  rest=${long#long }
  euros=$(( ${#rest} / 3 ))
  [ "$rest" = "$(printf "%${euros}s" "" | sed 's/ /\xE2\x82\xAC/g')" ] || fail "the long message is not whole characters"
  # One datagram of at most 65,507 bytes (UDP), one frame of at most 200,000 (TCP, what the
  # collector takes by default), the header (well under 300 bytes) included.
  limit=65507
  [ "$transport" = tcp ] && limit=200000
  bytes=$((5 + 3 * euros))
  [ "$bytes" -le "$limit" ] && [ "$bytes" -gt $((limit - 300)) ] ||
    fail "over $transport the long message came with $bytes bytes of MSG, not cut near $limit"
  [ "$dropped" -eq 0 ] || fail "a notice of $dropped dropped messages"
  # Everything else arrived as captured, in order.
  diff <(printf '%s\n' "$expected" | grep -av '|tellit|long ') <(grep -av '|tellit|long ' got.txt) >&2 ||
    fail "the messages around the long one differ from what was captured"
  [ "$(wc -l <got.txt)" -eq "$total" ] || fail "$(wc -l <got.txt) of $total messages arrived"
  echo "syslog_e2e $case_name: the long message arrived with $euros of $long_chars characters, all $total in order"
elif [ "$scenario" = restart-overflow ]; then
  [ "$dropped" -ge $((while - 10)) ] || fail "the notices told $dropped dropped; the queue of 10 cannot keep $while"
  [ $(( $(wc -l <got.txt) + dropped )) -eq "$total" ] ||
    fail "$(wc -l <got.txt) arrived and $dropped were told dropped, of $total"
  # What arrived is what tellitcap captured, in order, with the dropped ones missing.
  printf '%s\n' "$expected" | grep -aFxf got.txt | diff - got.txt >/dev/null || fail "the messages are out of order"
  grep -aFxvf <(printf '%s\n' "$expected") got.txt && fail "a message that was never sent"
  # Standard error told the drops once per run, not once per message, and all of them.
  told=$(sed -nE 's/^tellitcap: ([0-9]+) messages? for the syslog collector (was|were) dropped \(queue full\)\r?$/\1/p' \
    tellitcap.err | awk '{ n += $1; runs++ } END { print n + 0 " " runs + 0 }')
  [ "${told% *}" -eq "$dropped" ] || fail "standard error told ${told% *} dropped, the collector $dropped: $(cat tellitcap.err)"
  [ "${told#* }" -le 2 ] || fail "the drops were told ${told#* } times: $(cat tellitcap.err)"
  echo "syslog_e2e $case_name: $(wc -l <got.txt) of $total arrived in order, the notice told $dropped dropped"
else
  [ "$dropped" -eq 0 ] || fail "a notice of $dropped dropped messages, with room for all"
  diff <(printf '%s\n' "$expected") got.txt >&2 || fail "what arrived differs from what was captured"
  echo "syslog_e2e $case_name: all $total messages arrived in order with program, pid and text"
fi
