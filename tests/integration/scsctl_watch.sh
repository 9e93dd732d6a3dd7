#!/usr/bin/env bash
# scsctl watch against a fresh cimhost: two watchers at once (lines, and JSON on a given listen
# address) see a volume's job start and complete and the volume appear; Ctrl-C removes every
# subscription, filter and destination they made; --volumes --count 1 ends by itself with the
# first indication of the volume's deletion; volume create --wait follows its job by indications,
# reading it once; a failed job is an alert.
# Arguments after the harness's three: scsctl.
. "$(dirname "$0")/harness.sh"
SCSCTL=$4
command -v jq >/dev/null || { echo "jq is not installed (scripts/setup installs it)"; exit 1; }
# Polls until the command succeeds, for at most 30 s; a failure names what was awaited.
until_true() { # WHAT COMMAND...
    local deadline=$((SECONDS + 30))
    until "${@:2}"; do
        if [ "$SECONDS" -ge "$deadline" ]; then
            fail "$1: not within 30 s"
            return 1
        fi
        sleep 0.05
    done
    pass "$1"
}
# cimhost writes its listening line in pieces: the port may come after start_cimhost has read it.
port_known() {
    PORT=$(sed -n "s|^cimhost: listening on $SCHEME://.*:\([0-9][0-9]*\)\$|\1|p" "$WORK/stderr")
    [ -n "$PORT" ]
}
start_cimhost --time-scale 2
until_true "cimhost names its port" port_known
URL="$SCHEME://localhost:$PORT"
TLS=()
[ "$SCHEME" = https ] && TLS=(--cacert "$WORK/tls-cert.pem")

expect_status() { expect_equal "$1: exit status" "$2" "$RC"; }
ctl() {
    OUT=$("$SCSCTL" --url "$URL" "${TLS[@]}" "$@" </dev/null 2>&1)
    RC=$?
}
watching() { grep -q '^scsctl: watching' "$WORK/$1.err"; }
# Starts scsctl watch with the given options, its output in $WORK/NAME.out and .err, and returns
# once it is subscribed. WATCHER is its process ID.
start_watch() { # NAME OPTIONS...
    "$SCSCTL" --url "$URL" "${TLS[@]}" watch "${@:2}" </dev/null >"$WORK/$1.out" 2>"$WORK/$1.err" &
    WATCHER=$!
    until_true "$1 is subscribed" watching "$1" || cat "$WORK/$1.err"
}
json_holds() { jq -se "$1" "$WORK/json.out" >/dev/null 2>&1; }
line_holds() { grep -qF -- "$1" "$WORK/lines.out"; }
# Ended: a child that exited stays a zombie (state Z) until it is waited for.
gone() {
    local state
    state=$(cut -d' ' -f3 "/proc/$1/stat" 2>/dev/null)
    [ -z "$state" ] || [ "$state" = Z ]
}
# The names of the instances of a class in one of the interop namespaces.
interop_names() { # NAMESPACE CLASS
    wbem ein "$SCHEME://localhost:$PORT/$1:$2"
    grep -o 'Name="scsctl-watch:[^"]*"' <<<"$OUT" | sort -u
}

# --- two watchers see a volume made ---
start_watch lines
LINES=$WATCHER
start_watch json --json --listen 127.0.0.1
JSON=$WATCHER
expect_contains "--listen is the destination" "$(cat "$WORK/json.err")" "indications to http://127.0.0.1:"
expect_contains "the watch names the interop namespace" "$(cat "$WORK/lines.err")" "subscribed in interop"
expect_equal "each watcher has a destination of its own" 2 "$(interop_names interop CIM_ListenerDestinationCIMXML | wc -l)"

ctl volume create demo 1GiB --wait
expect_status "create --wait" 0
JOB=$(sed -n 's/.*started as job //p' <<<"$OUT")
VOLUME=$(sed -n 's/^volume demo (\([0-9A-F]*\)).*/\1/p' <<<"$OUT")
CREATED_JOB=".kind == \"created\" and .properties.SourceInstance.class == \"CIM_ConcreteJob\" and
    .properties.SourceInstance.properties.InstanceID == \"$JOB\""
COMPLETED_JOB=".kind == \"modified\" and .properties.SourceInstance.properties.InstanceID == \"$JOB\" and
    .properties.SourceInstance.properties.JobState == 7 and .properties.PreviousInstance.properties.JobState != 7
    and (.changed | index(\"JobState\"))"
CREATED_VOLUME=".kind == \"created\" and .properties.SourceInstance.class == \"CIM_StorageVolume\" and
    .properties.SourceInstance.properties.DeviceID == \"$VOLUME\" and
    .properties.SourceInstance.properties.ElementName == \"demo\""
until_true "JSON: the job's creation" json_holds "any(.[]; $CREATED_JOB)"
until_true "JSON: the job's completion" json_holds "any(.[]; $COMPLETED_JOB)"
until_true "JSON: the volume's creation" json_holds "any(.[]; $CREATED_VOLUME)"
json_holds "(map($CREATED_JOB) | index(true)) < (map($COMPLETED_JOB) | index(true))" &&
    pass "JSON: the job is created before it completes" || fail "JSON: the job completes before it is created"
json_holds 'all(.[]; (.received | test("^[0-9-]{10}T[0-9:]{8}Z$")) and .properties.IndicationIdentifier != null)' &&
    pass "JSON: every indication has its time and identifier" || fail "JSON: an indication without time or identifier"
until_true "lines: the job's creation" line_holds "created  CIM_ConcreteJob $JOB"
until_true "lines: the job's completion" line_holds "JobState Running -> Completed"
until_true "lines: the volume's creation" line_holds "created  CIM_StorageVolume $VOLUME \"demo\"  1 GiB"

# --- Ctrl-C removes what they made ---
for watcher in "$LINES" "$JSON"; do
    kill -INT "$watcher"
    wait "$watcher"
    expect_equal "Ctrl-C ends the watch with 0" 0 "$?"
done
for name in lines json; do
    if grep -q "could not remove" "$WORK/$name.err"; then fail "$name removed everything: $(cat "$WORK/$name.err")"; fi
done
for nameSpace in interop root/interop root/PG_InterOp; do
    for class in CIM_IndicationSubscription CIM_IndicationFilter CIM_ListenerDestinationCIMXML; do
        wbem ein "$SCHEME://localhost:$PORT/$nameSpace:$class"
        expect_equal "no $class remains in $nameSpace" "0:" "$RC:$OUT"
    done
done

# --- --count ends by itself ---
start_watch count --volumes --count 1
COUNT=$WATCHER
ctl volume delete demo --yes --wait
expect_status "delete --wait" 0
until_true "--count 1 ends after one indication" gone "$COUNT"
wait "$COUNT"
expect_equal "--count 1 ends with 0" 0 "$?"
expect_equal "--count 1 shows one indication" 1 "$(wc -l <"$WORK/count.out")"
expect_contains "--volumes shows the volume" "$(cat "$WORK/count.out")" "CIM_StorageVolume $VOLUME \"demo\""

# --- --wait by indications ---
job_reads() { grep -c 'GetInstance CIM_ConcreteJob' "$WORK/stderr"; }
BEFORE=$(job_reads)
ctl volume create again 4GiB --wait
expect_status "create --wait by indications" 0
expect_contains "create --wait ends at 100%" "$(tail -n 1 <<<"$OUT")" "Completed 100%"
PROGRESS=$(grep -c '^job .*%' <<<"$OUT")
if [ "$PROGRESS" -ge 3 ]; then pass "--wait shows the job's progress"; else fail "--wait shows progress: $OUT"; fi
expect_equal "--wait reads the job once, the rest comes by indications" 1 "$(($(job_reads) - BEFORE))"
expect_contains "--wait removed its subscription" "$(tail -n 5 "$WORK/stderr")" "DeleteInstance CIM_ListenerDestinationCIMXML"

# --- an alert: the array fails the next job to run (the fault is due at engine second 1, before any
# job exists, so the job is failed in the call that makes it and first seen failed) ---
stop_cimhost
jq '. + {faults: [{afterSeconds: 1, job: "running", errorCode: 25}]}' \
    "$(dirname "$0")/../../platform/kvel/arrays/small.json" >"$WORK/failing.json"
rm -f "$WORK"/state.json*
start_cimhost --time-scale 10 --array "$WORK/failing.json"
until_true "cimhost names its port again" port_known
URL="$SCHEME://localhost:$PORT"
start_watch alert --alerts --count 1
ALERT=$WATCHER
ctl volume create doomed 100GiB --wait
expect_status "a job that fails under --wait" 4
JOB=$(sed -n 's/.*started as job //p' <<<"$OUT")
until_true "--alerts --count 1 ends with the alert" gone "$ALERT"
wait "$ALERT"
expect_equal "the alert's watch ends with 0" 0 "$?"
expect_contains "the alert: severity, type and what failed" "$(cat "$WORK/alert.out")" \
    "alert    Minor Processing Error: Job Create volume doomed"
expect_contains "the alert names the job" "$(cat "$WORK/alert.out")" "CIM_ConcreteJob $JOB"

stop_cimhost
finish
