#!/usr/bin/env bash
# tellitcap --syslog tls:// into rsyslogd's gtls driver, with a CA and certificates made here by
# openssl: 1,000 messages arrive in order with the structured data of the TCP form ("order"); a
# certificate for another name ("other-name"), one the CA of --ca did not sign ("other-ca") or one
# that expired in 2020 ("expired") is refused, standard error says why, and the collector receives nothing; a collector stopped and
# started again gets what was queued meanwhile ("restart"); a collector that asks every sender for
# a certificate of its CA takes the messages of one given --client-cert ("client-cert").
#   syslog_tls_e2e.sh CASE BIN_DIR WORK_DIR
set -uo pipefail
export LC_ALL=C
case_name=$1 bin=$2 work=$3
root=$(cd "$(dirname "$0")/../../.." && pwd)
rsyslogd=/usr/sbin/rsyslogd
fail() { echo "FAIL: $*" >&2; [ -f "$work/received.log" ] && { echo "--- received.log:" >&2; head -n 20 "$work/received.log" >&2; }; exit 1; }
[ -x "$rsyslogd" ] || fail "rsyslogd is missing (scripts/bootstrap installs rsyslog)"
command -v openssl >/dev/null || fail "openssl is missing (scripts/bootstrap installs it)"

rm -rf "$work"
mkdir -p "$work/spool"
cd "$work" || fail "no work folder $work"

# The CA the collector's certificate comes from, a second CA that signs nothing of it, and the
# collector's certificate: for localhost (and 127.0.0.1), or for another name ("other-name").
make_ca() {  # NAME SUBJECT
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.pem" -days 2 -subj "/CN=$2" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign >>openssl.out 2>&1 ||
    fail "openssl could not make the CA $2: $(cat openssl.out)"
}
make_ca ca "tellit test CA"
make_ca other-ca "another test CA"
server_name=localhost
[ "$case_name" = other-name ] && server_name=elsewhere.example
printf 'subjectAltName=DNS:%s\nextendedKeyUsage=serverAuth\nbasicConstraints=CA:FALSE\n' "$server_name" >server.ext
[ "$server_name" = localhost ] && sed -i 's/^subjectAltName=.*/&,IP:127.0.0.1/' server.ext
openssl req -newkey rsa:2048 -nodes -keyout server.key -out server.csr -subj "/CN=$server_name" >>openssl.out 2>&1 ||
  fail "openssl could not make the server key: $(cat openssl.out)"
if [ "$case_name" = expired ]; then
  # openssl x509 dates a certificate from now; openssl ca takes any period.
  mkdir -p ca.db && : >ca.db/index.txt && echo 1000 >ca.db/serial
  { printf '[ca]\ndefault_ca=test\n[test]\ndatabase=%s\nserial=%s\nnew_certs_dir=%s\n' \
      "$work/ca.db/index.txt" "$work/ca.db/serial" "$work/ca.db"
    printf 'default_md=sha256\npolicy=any\n[any]\ncommonName=supplied\n[server]\n'
    cat server.ext; } >ca.cnf
  openssl ca -batch -config ca.cnf -cert ca.pem -keyfile ca.key -in server.csr -out server.pem -extensions server \
    -startdate 20200101000000Z -enddate 20200201000000Z >>openssl.out 2>&1
else
  openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out server.pem -days 2 \
    -extfile server.ext >>openssl.out 2>&1
fi || fail "openssl could not make the server certificate: $(cat openssl.out)"
trusted=ca.pem
auth_mode=anon client_args=()
if [ "$case_name" = client-cert ]; then
  auth_mode=x509/certvalid
  openssl req -newkey rsa:2048 -nodes -keyout client.key -out client.csr -subj "/CN=tellitcap test client" \
    >>openssl.out 2>&1 &&
    openssl x509 -req -in client.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out client.pem -days 2 \
      -extfile <(printf 'extendedKeyUsage=clientAuth\n') >>openssl.out 2>&1 &&
    openssl pkcs12 -export -inkey client.key -in client.pem -out client.pfx -passout pass:test-password \
      >>openssl.out 2>&1 || fail "openssl could not make the client certificate: $(cat openssl.out)"
  client_args=(--client-cert "Z:$work/client.pfx")
  export TELLITCAP_CERT_PASSWORD=test-password
fi
[ "$case_name" = other-ca ] && trusted=other-ca.pem

. "$(dirname "$0")/collector_helpers.sh"

start_collector() {
  cat >rsyslog.conf <<CONF
global(workDirectory="$work/spool" maxMessageSize="64k"
       defaultNetstreamDriver="gtls" defaultNetstreamDriverCAFile="$work/ca.pem"
       defaultNetstreamDriverCertFile="$work/server.pem" defaultNetstreamDriverKeyFile="$work/server.key")
module(load="imtcp" streamDriver.name="gtls" streamDriver.mode="1" streamDriver.authMode="$auth_mode")
input(type="imtcp" port="$port" address="127.0.0.1")
template(name="fields" type="string" string="%app-name%|%procid%|%msgid%|%structured-data%|%msg%\n")
*.* action(type="omfile" file="$work/received.log" template="fields")
CONF
  "$rsyslogd" -n -f "$work/rsyslog.conf" -i "$work/rsyslog.pid" >>rsyslogd.out 2>&1 </dev/null &
  collector_pid=$!
  for _ in $(seq 100); do
    listening "$port" && return 0
    kill -0 "$collector_pid" 2>/dev/null || break
    sleep 0.1
  done
  stop_collector
  return 1
}

port=
for _ in $(seq 10); do
  candidate=$((20000 + RANDOM % 30000))
  listening "$candidate" && continue
  port=$candidate
  start_collector && break
  port=
done
[ -n "$port" ] || { cat rsyslogd.out >&2 2>/dev/null; fail "rsyslogd did not listen with TLS on any port tried"; }


case $case_name in
  order) messages=1000 total=$((1 + 1000)) ;;
  other-name | other-ca | expired | client-cert) messages=20 total=$((1 + 20)) ;;
  restart) before=20 while=30 after=20 total=$((3 + 20 + 30 + 20)) ;;
  *) fail "unknown case $case_name" ;;
esac

# The CA file is given as Wine sees this folder (Z: is /).
run_win "$bin/tellitcap.exe" --syslog "tls://localhost:$port" --ca "Z:$work/$trusted" "${client_args[@]}" -o capture.txt --senders \
  --count "$total" >tellitcap.out 2>tellitcap.err &
capture_pid=$!
for _ in $(seq 200); do [ -f capture.txt ] && break; sleep 0.05; done
[ -f capture.txt ] || fail "tellitcap did not start: $(cat tellitcap.err)"

if [ "$case_name" = restart ]; then
  client before "$before"
  wait_received $((1 + before)) || fail "the first $((1 + before)) messages did not arrive"
  stop_collector
  client while "$while"
  for _ in $(seq 200); do [ "$(wc -l <capture.txt)" -ge $((2 + before + while)) ] && break; sleep 0.1; done
  start_collector || fail "rsyslogd did not start again on port $port"
  client after "$after"
else
  client order "$messages"
fi
wait "$capture_pid"
status=$?
capture_pid=
[ "$status" -eq 0 ] || fail "tellitcap exited with $status: $(cat tellitcap.err)"
[ "$(wc -l <capture.txt)" -eq "$total" ] || fail "tellitcap wrote $(wc -l <capture.txt) lines, not $total"

if [ "$case_name" = other-name ] || [ "$case_name" = other-ca ] || [ "$case_name" = expired ]; then
  # Refused: said why, once, and nothing reached the collector, though it was there all along.
  case $case_name in
    other-name) why="is for 'elsewhere.example', not for 'localhost' (name mismatch)" ;;
    other-ca) why="unknown issuer: it was issued by 'tellit test CA', not by the CA of --ca" ;;
    expired) why="has expired or is not valid yet: 'localhost' is valid from 2020-01-01 to 2020-02-01" ;;
  esac
  grep -a 'the syslog collector was refused, nothing is sent to it: ' tellitcap.err | grep -aqF "$why" ||
    fail "standard error does not say '$why': $(cat tellitcap.err)"
  [ "$(grep -ac 'was refused' tellitcap.err)" -eq 1 ] || fail "the refusal was told more than once: $(cat tellitcap.err)"
  grep -aqF "$total messages could not be sent to tls://localhost:$port" tellitcap.err ||
    fail "the end does not count the $total messages that were not sent: $(cat tellitcap.err)"
  kill -0 "$collector_pid" 2>/dev/null || fail "the collector was not running"
  # The collector ran all along and took no message.
  [ ! -s received.log ] || fail "the collector received $(received_count) lines from a refused connection"
  echo "syslog_tls_e2e $case_name: refused ($why), nothing received"
  exit 0
fi

wait_received "$total" || fail "$(received_count) of $total messages arrived: $(cat tellitcap.err)"
sleep 0.3  # anything more would be a duplicate: let it show
grep -aq 'was refused' tellitcap.err && fail "a refusal: $(cat tellitcap.err)"
expected=$(sed -E 's/\r$//; s/^\[([0-9]+) ([^]]+)\] /\2|\1|tellit|/; s/^\[([0-9]+)\] /-|\1|tellit|/' capture.txt)
awk -F'|' '{ print $1 "|" $2 "|" $3 "|" $5 }' received.log >got.txt
grep -aEvq '\|\[tellit@32473 seq="[0-9]+" tid="[0-9]+"\]\|' received.log && fail "a message without its structured data"
diff <(printf '%s\n' "$expected") got.txt >&2 || fail "what arrived differs from what was captured"
echo "syslog_tls_e2e $case_name: all $total messages arrived over TLS in order with program, pid, structured data and text"
