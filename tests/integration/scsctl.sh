#!/usr/bin/env bash
# scsctl against a fresh cimhost whose clock runs ten times as fast: every reading command as a
# table and as JSON, a volume's road from creation to deletion, job control, the progress output
# on and off a terminal, Ctrl-C while watching, and the exit status of each kind of failure.
# Arguments after the harness's three: scsctl, cimhost-passwd.
. "$(dirname "$0")/harness.sh"
SCSCTL=$4
PASSWD=$5
command -v jq >/dev/null || { echo "jq is not installed (scripts/setup installs it)"; exit 1; }
umask 077
printf 'open-sesame\nopen-sesame\n' | "$PASSWD" "$WORK/users" add admin >/dev/null || exit 1
start_cimhost --time-scale 10 --users "$WORK/users"
TLS=()
[ "$SCHEME" = https ] && TLS=(--cacert "$WORK/tls-cert.pem")
URL="$SCHEME://localhost:$PORT"
export SCSCTL_PASSWORD=open-sesame

# Runs scsctl with standard input not a terminal; OUT holds what it printed, RC its exit status.
ctl() {
    OUT=$("$SCSCTL" --url "$URL" "${TLS[@]}" --user admin "$@" </dev/null 2>&1)
    RC=$?
}
expect_status() { # what status
    expect_equal "$1: exit status" "$2" "$RC"
}
json_true() { # what jq-filter (on OUT)
    if jq -e "$2" <<<"$OUT" >/dev/null 2>&1; then pass "$1"; else fail "$1: $2 is not true of:"$'\n'"$OUT"; fi
}

# --- reading ---
for command in system pools volumes drives settings jobs; do
    ctl "$command"
    expect_status "$command as a table" 0
    ctl --json "$command"
    expect_status "$command as JSON" 0
    json_true "$command as JSON: an array of objects with id and name" \
        'type == "array" and all(.[]; has("id") and has("name"))'
done
ctl pools
expect_contains "the pool table has its header" "$OUT" "ID        NAME           SIZE      FREE"
expect_contains "the base pool in IEC units" "$OUT" "37000004  Base         12 TiB"
ctl drives --json
json_true "drives give size_bytes" 'all(.[]; .size_bytes == 1099511627000)'
ctl volumes --json
json_true "volumes give size_bytes and layout" \
    'any(.[]; .name == "vm-dparity" and .size_bytes == 1099511627776 and .layout == "double-parity")'
ctl volume show db-mirror
expect_contains "a volume in detail, with its pool" "$OUT" "pool_name:      Base"

# --- a volume's road ---
ctl volume create demo 4GiB --layout double-parity --drives 6 --wait
expect_status "create --wait" 0
expect_contains "create names the volume and the job" "$OUT" "volume demo (3A00000C): creation started as job 3600000100000001"
expect_equal "create --wait ends at 100%" "job 3600000100000001: Completed 100%" "$(tail -n 1 <<<"$OUT" | sed 's/ after.*//')"
if grep -q $'\r' <<<"$OUT"; then fail "no bar is drawn when not on a terminal"; fi
ctl volume show demo --json
json_true "the volume has its size, layout and pool" \
    '.size_bytes == 4294967296 and .layout == "double-parity" and .drives == 6 and .pool_name == "Base"'
ctl volume grow demo 8GiB --wait
expect_status "grow --wait" 0
ctl volume show 3A00000C --json
json_true "the volume has grown" '.size_bytes == 8589934592'

ctl scan demo --at "2099-01-04 02:00" --every 1 week
expect_contains "the scan is scheduled" "$OUT" "volume demo: scan every week scheduled as job 3600000300000003"
ctl job show 3600000300000003 --json
json_true "the scan waits" '.state == "New" and .scheduled_start == "2099-01-04 02:00:00 UTC"'
ctl job suspend 3600000300000003
expect_status "suspend" 0
ctl job show 3600000300000003 --json
json_true "the scan is suspended" '.state == "Suspended" and .job_state == 5'
ctl job resume 3600000300000003 --json
json_true "the scan waits again" '.id == "3600000300000003" and .state == "New"'

ctl scan db-mirror --parity --at "2099-01-01 00:00"
SCAN=$(sed -n 's/.*scheduled as job //p' <<<"$OUT")
ctl job delete "$SCAN"
expect_status "a scheduled job is deleted" 0
ctl job show "$SCAN"
expect_status "a deleted job is gone" 1

# Ctrl-C while watching leaves the job alone and says how to watch it again.
"$SCSCTL" --url "$URL" "${TLS[@]}" --user admin job wait 3600000300000003 </dev/null >"$WORK/wait.out" 2>&1 &
WAITER=$!
for _ in $(seq 100); do [ -s "$WORK/wait.out" ] && break; sleep 0.05; done
kill -INT "$WAITER"
wait "$WAITER"
RC=$?
OUT=$(cat "$WORK/wait.out")
expect_status "Ctrl-C while waiting" 130
expect_contains "Ctrl-C prints the line that resumes watching" "$OUT" "$SCSCTL --url $URL --user admin"
expect_contains "the line names the job" "$OUT" " job wait 3600000300000003"
ctl job show 3600000300000003 --json
json_true "the job goes on after Ctrl-C" '.state == "New"'

ctl volume delete demo
expect_status "delete without --yes off a terminal" 1
expect_contains "delete without --yes says why" "$OUT" "needs --yes"
ctl volume delete demo --yes --wait
expect_status "delete --yes --wait" 0
ctl volumes --json
json_true "the volume is gone" 'all(.[]; .name != "demo")'
ctl job show 3600000300000003
expect_contains "its scan was aborted with it" "$OUT" "Terminated"

# --- on a terminal the bar is redrawn in place ---
script -qec "$(printf '%q ' "$SCSCTL" --url "$URL" "${TLS[@]}" --user admin volume create bar 1GiB --wait)" \
    /dev/null >"$WORK/terminal.out" 2>&1
BARS=$(grep -o $'\r\\[[#-]*\\] *[0-9]*%' "$WORK/terminal.out" | wc -l)
if [ "$BARS" -ge 2 ]; then pass "the bar is redrawn"; else fail "the bar is redrawn: $(cat -v "$WORK/terminal.out")"; fi
expect_contains "the bar ends at 100%" "$(cat "$WORK/terminal.out")" "100%  Completed"

# Without SCSCTL_PASSWORD the password is asked on the terminal.
OUT=$(printf 'open-sesame\n' | env -u SCSCTL_PASSWORD script -qec \
    "$(printf '%q ' "$SCSCTL" --url "$URL" "${TLS[@]}" --user admin pools)" /dev/null 2>&1)
expect_contains "the password is asked for" "$OUT" "Password for admin:"
expect_contains "the asked password logs in" "$OUT" "37000004  Base"

# --- failures and their exit status ---
ctl job show 99
expect_status "a job that does not exist" 1
ctl --verbose job suspend 3600000100000001
expect_status "suspending a completed job" 1
expect_contains "a refused task method names the job's state" "$OUT" "which is Completed"
expect_contains "a failure return value is explained from the class" "$OUT" "SuspendTask returned 4 (Failed)"
ctl volume create huge 100TiB
expect_status "a volume larger than the pool" 1
ctl volume create x 12XB
expect_status "a size that is no size" 2
ctl frobnicate
expect_status "an unknown command" 2
expect_contains "an unknown command is named" "$OUT" "not expected: frobnicate"
ctl
expect_status "no command" 2
ctl volume create x 1GiB --layout raid7
expect_status "an unknown layout" 2
OUT=$("$SCSCTL" --url "http://127.0.0.1:1" pools 2>&1)
RC=$?
expect_status "no server" 3
expect_contains "no server: what to try" "$OUT" "is cimhost running at http://127.0.0.1:1?"
if [ "$SCHEME" = http ]; then
    # A server that takes the connection and never answers: --timeout bounds the wait.
    python3 -c 'import socket, time
s = socket.socket(); s.bind(("127.0.0.1", 0)); s.listen(); print(s.getsockname()[1], flush=True)
connection = s.accept(); time.sleep(30)' >"$WORK/silent.port" &
    SILENT=$!
    for _ in $(seq 100); do [ -s "$WORK/silent.port" ] && break; sleep 0.05; done
    OUT=$("$SCSCTL" --url "http://127.0.0.1:$(cat "$WORK/silent.port")" --timeout 1 pools 2>&1)
    RC=$?
    kill "$SILENT"
    expect_status "a server that does not answer" 3
    expect_contains "--timeout gives up" "$OUT" "no answer in time"
fi
OUT=$(SCSCTL_PASSWORD=wrong "$SCSCTL" --url "$URL" "${TLS[@]}" --user admin pools 2>&1)
RC=$?
expect_status "a wrong password" 3
expect_contains "a wrong password: what to check" "$OUT" "the server refused user admin: unknown user or wrong password"
OUT=$("$SCSCTL" --url "$URL" "${TLS[@]}" pools 2>&1)
RC=$?
expect_status "no user for a host that wants one" 3
expect_contains "no user: what to give" "$OUT" "the server asks for a user: give --user NAME (or set SCSCTL_USER)"
OUT=$(SCSCTL_URL=$URL SCSCTL_USER=admin "$SCSCTL" "${TLS[@]}" pools 2>&1)
RC=$?
expect_status "SCSCTL_URL and SCSCTL_USER stand for --url and --user" 0
ctl volume create doomed 1GiB
JOB=$(sed -n 's/.*started as job //p' <<<"$OUT")
ctl job abort "$JOB" --yes
ctl job wait "$JOB"
expect_status "a job that was aborted" 4
expect_contains "a failed job says how it ended" "$OUT" "job $JOB ended Terminated (Stopped, Aborted)"
if [ "$SCHEME" = https ]; then
    OUT=$("$SCSCTL" --url "$URL" --user admin pools 2>&1)
    RC=$?
    expect_status "an untrusted certificate" 3
    expect_contains "an untrusted certificate: what to give" "$OUT" "give --cacert FILE"
    expect_contains "an untrusted certificate: or what to risk" "$OUT" "--insecure"
    OUT=$("$SCSCTL" --url "$URL" --insecure --user admin pools 2>&1)
    RC=$?
    expect_status "--insecure" 0
fi

stop_cimhost
finish
