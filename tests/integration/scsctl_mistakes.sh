#!/usr/bin/env bash
# scsctl refuses the mistakes an operator can make, through the real binary against a fresh
# cimhost: each refusal with its exit status and the words that say what to do instead; nothing
# is left behind by a refused or failed creation. Arguments after the harness's three: scsctl.
. "$(dirname "$0")/harness.sh"
SCSCTL=$4
command -v jq >/dev/null || { echo "jq is not installed (scripts/setup installs it)"; exit 1; }
start_cimhost --time-scale 10
export SCSCTL_URL="http://127.0.0.1:$PORT" # the connection comes from the environment throughout

ctl() { # scsctl with standard input not a terminal; OUT holds what it printed, RC its exit status
    OUT=$("$SCSCTL" "$@" </dev/null 2>&1)
    RC=$?
}
templates() { "$SCSCTL" --json settings | jq '[.[] | select(.kind == "template")] | length'; }
TEMPLATES=$(templates)
VOLUMES=$("$SCSCTL" --json volumes | jq length)

# Each mistake: the command line (split at spaces; "_" stands for a space inside a word, '' for an
# empty word), the exit status, and the words of the answer. None of them makes anything.
while IFS='|' read -r line status words; do
    read -ra args <<<"$line"
    args=("${args[@]//_/ }")
    args=("${args[@]/#\'\'/}")
    ctl "${args[@]}"
    expect_equal "$line: exit status" "$status" "$RC"
    expect_contains "$line: says why" "$OUT" "$words"
done <<'TABLE'
volume create db 1|2|"1" has no unit: write for example 1GiB
volume create db 4.7|2|4.7GiB
volume create db 0|2|a volume cannot be of size 0
volume create db 100B|2|below the smallest volume the array makes, one block of 512 bytes
volume create db 12XB|2|not a size: "12XB"
volume create scratch 1GiB|1|volume scratch exists already (3A000003); choose another name
volume create '' 1GiB|2|a volume needs a name
volume create db 1GiB --pool Spare|1|pool Spare (37000002) is reserved for sparing, not for volumes; --force
volume create db 1GiB --pool Available|1|reserved for the array
volume create db 1GiB --drives 99|1|pool Base (37000004) has 12 drives, so --drives 99 is not possible; its layouts: stripe over 1 to 12, mirror (2 copies) over 1 to 6
volume create db 1GiB --layout raid6 --drives 3|1|--drives 3 with double-parity is not possible
volume create db 4TB|1|takes 7.28 TiB of pool Base (37000004), which has 6.99 TiB free
volume create db 6TiB --layout parity --drives 4|1|a 6 TiB volume (parity over 4 drives) takes 8 TiB of pool Base
volume create db 1GiB --layout raid7|2|raid7
volume grow scratch 100GiB|1|volume scratch is 200 GiB; a volume can grow but not shrink (asked for 100 GiB)
volume grow scratch 200GiB|1|volume scratch is 200 GiB already
volume grow scratch 20TiB|1|growing volume scratch by 19.8 TiB (stripe over 4 drives) takes 19.8 TiB
volume grow scratch 300|2|"300" has no unit
scan scratch --at 2020-01-01_00:00|2|--at 2020-01-01 00:00 is in the past
job show 99|1|no job has the ID 99
volume shwo db|2|did you mean "show" instead of "shwo"?
pols|2|did you mean "pools" instead of "pols"?
volume creat x 1GiB|2|did you mean "create" instead of "creat"?
TABLE
expect_equal "no volume was made by the mistakes" "$VOLUMES" "$("$SCSCTL" --json volumes | jq length)"
expect_equal "no setting is left behind by a refused creation" "$TEMPLATES" "$(templates)"

# --verbose adds what the server said; without it, scsctl says that it can.
ctl job show 99
expect_contains "the CIM details are offered" "$OUT" "(--verbose shows what the server said)"
ctl --verbose job show 99
expect_contains "--verbose gives the CIM operation, status and path" "$OUT" \
    'the server said: GetInstance root/snia:CIM_ConcreteJob.InstanceID="99": CIM_ERR_NOT_FOUND'

ctl volume create mirror-db 1GiB --layout raid1 --drives 2 --wait
expect_equal "raid1 is a mirror" 0 "$RC"
ctl --json volume show mirror-db
if jq -e '.layout == "mirror" and .copies == 2 and .drives == 4 and .stripe_drives == 2' <<<"$OUT" >/dev/null; then
    pass "a mirror shows its copies and every drive it spans"
else fail "a mirror shows its copies and every drive it spans: $OUT"; fi
expect_equal "a made volume keeps no template behind" "$TEMPLATES" "$(templates)"

# A reserved pool takes a volume when the operator insists.
ctl volume create spare-use 1GiB --pool Spare --force
expect_equal "--force makes a volume in a reserved pool" 0 "$RC"

# Aborting or deleting a creation that runs asks first, as volume delete does.
ctl volume create doomed 1TiB
JOB=$(sed -n 's/.*started as job //p' <<<"$OUT")
for action in abort delete; do
    ctl job "$action" "$JOB"
    expect_equal "job $action of a running creation off a terminal: exit status" 1 "$RC"
    expect_contains "job $action of a running creation names the volume" "$OUT" \
        "job $JOB (it removes volume doomed (3A"
    expect_contains "job $action of a running creation wants --yes" "$OUT" "needs --yes"
done
# On a terminal the question is asked; anything but yes keeps the job.
OUT=$(printf 'n\n' | script -qec "$(printf '%q ' "$SCSCTL" job abort "$JOB")" /dev/null 2>&1)
expect_contains "on a terminal the question names the volume" "$OUT" "Job $JOB is creating volume doomed"
expect_contains "no is no" "$OUT" "not confirmed: nothing done"
ctl job show "$JOB"
expect_contains "the creation goes on" "$OUT" "Running"
ctl job abort "$JOB" --yes
expect_equal "job abort --yes" 0 "$RC"
ctl job suspend "$JOB"
expect_equal "a task method refused: exit status" 1 "$RC"
expect_contains "a refused task method names the job's state and what it needs" "$OUT" \
    "the array refused to suspend job $JOB, which is Terminated: only a New or Running job can be suspended"

# Ctrl-C after the setting is made and before the volume is asked for: the setting goes again.
# The proxy holds CreateSetting's answer until the Ctrl-C has been sent.
python3 "$(dirname "$0")/hold_proxy.py" "$PORT" CreateSetting "$WORK/held" "$WORK/release" >"$WORK/proxy.port" &
PROXY=$!
for _ in $(seq 100); do [ -s "$WORK/proxy.port" ] && break; sleep 0.05; done
SCSCTL_URL="http://127.0.0.1:$(cat "$WORK/proxy.port")" "$SCSCTL" volume create stopped 1GiB </dev/null \
    >"$WORK/stopped.out" 2>&1 &
CREATOR=$!
for _ in $(seq 200); do [ -e "$WORK/held" ] && break; sleep 0.05; done
kill -INT "$CREATOR"
touch "$WORK/release"
wait "$CREATOR"
RC=$?
kill "$PROXY"
expect_equal "Ctrl-C before the volume is asked for: exit status" 130 "$RC"
expect_contains "Ctrl-C before the volume is asked for: nothing made" "$(cat "$WORK/stopped.out")" \
    "interrupted before volume stopped was asked for; nothing made"
expect_equal "Ctrl-C leaves no setting behind" "$TEMPLATES" "$(templates)"
ctl volume show stopped
expect_equal "Ctrl-C leaves no volume" 1 "$RC"

OUT=$(SCSCTL_URL=http://127.0.0.1:1 "$SCSCTL" pools 2>&1)
expect_contains "a closed port asks whether cimhost runs there" "$OUT" "is cimhost running at http://127.0.0.1:1?"
ctl --version
expect_contains "--version" "$OUT" "scsctl 1."
stop_cimhost
finish
