#!/usr/bin/env bash
# The README's "Try it" walkthrough, block by block, against a fresh cimhost whose clock runs ten
# times as fast: every fenced block of that section is run exactly as written (only the port
# differs) and its answer checked, so the README cannot drift from the product.
. "$(dirname "$0")/harness.sh"
README="$SCHEMA_DIR/../README.md"

# The fenced sh blocks of the "Try it" section up to its scsctl part, one per array element.
mkdir "$WORK/blocks"
awk -v dir="$WORK/blocks" '
    /^##+ / { inside = ($0 == "## Try it") }
    inside && /^```sh$/ { file = sprintf("%s/%03d", dir, ++count); printf "" > file; collecting = 1; next }
    collecting && /^```$/ { close(file); collecting = 0; next }
    collecting { print > file }' "$README"
BLOCKS=()
for file in "$WORK"/blocks/*; do [ -f "$file" ] && BLOCKS+=("$(cat "$file")"); done

start_cimhost --time-scale 10
STEP=0

# Runs the next block in this shell (its variables stay for the blocks after it); OUT holds what
# it printed.
run_block() {
    local text=${BLOCKS[STEP]//localhost:5988/localhost:$PORT}
    STEP=$((STEP + 1))
    eval "$text" >"$WORK/block.out" 2>&1
    OUT=$(cat "$WORK/block.out")
}

# Runs the next block once and checks that its answer contains every needle.
step() { # what needle...
    local what=$1
    shift
    run_block
    for needle in "$@"; do expect_contains "$what" "$OUT" "$needle"; done
}

# Runs the next block (a job poll) until the job has completed; no sleep is needed at this pace,
# since every run takes a round trip and the job needs half a second.
poll_until_completed() { # what
    local start=$STEP
    for attempt in $(seq 500); do
        STEP=$start
        run_block
        if grep -q -- '-JobState=7' <<<"$OUT"; then break; fi
    done
    expect_contains "$1: completed" "$OUT" "-JobState=7"
    expect_contains "$1: all done" "$OUT" "-PercentComplete=100"
    expect_contains "$1: OK and Completed" "$OUT" "-OperationalStatus=2,17"
}

expect_equal "the walkthrough has its 14 blocks" 14 "${#BLOCKS[@]}"

step "the pools are listed" '-InstanceID="37000004"' '-ElementName="Base"' '-Primordial=FALSE' \
    '-ElementName="Spare"' '-RemainingManagedSpace='
step "the base pool's capabilities make a setting" 'CIM_StorageCapabilities.InstanceID="37000004"' \
    'CreateSetting: 0' 'CIM_StorageSettingWithHints.InstanceID="3A00000C"'
step "the setting becomes double parity over six drives" '-DataRedundancyGoal=1' '-PackageRedundancyGoal=2' \
    '-ExtentStripeLength=6' '-ParityLayout=3'
step "the volume's creation starts a job" 'CreateOrModifyElementFromStoragePool: 4096' \
    'CIM_ConcreteJob.InstanceID="3600000100000001"' 'DeviceID="3A00000C"' 'Size (uint64): 4294967296'
poll_until_completed "the creation job"
step "the job leads to its volume, the volume to its pool" '-ElementName="demo"' '-NumberOfBlocks=8388608' \
    '-PackageRedundancy=2' '-ExtentStripeLength=6' 'CIM_StoragePool.InstanceID="37000004"'
step "the growth starts a job" 'CreateOrModifyElementFromStoragePool: 4096' \
    'CIM_ConcreteJob.InstanceID="3600000200000002"' 'Size (uint64): 8589934592'
poll_until_completed "the growth job"
step "the volume has its new size" '-NumberOfBlocks=16777216' '-OperationalStatus=2'
step "the scan is scheduled" 'ScanStorageElement: 4096' 'CIM_ConcreteJob.InstanceID="3600000300000003"' \
    '-JobState=2' '-OperationalStatus=2,15' '-ScheduledStartTime=20990104020000.000000+000'
step "the scan is suspended and resumed" 'SuspendTask: 0' '-JobState=5' '-OperationalStatus=2,10' \
    'ResumeTask: 0'
expect_equal "after the resume the scan waits again" "-JobState=2" "$(grep -- '-JobState=' <<<"$OUT" | tail -n 1)"
step "the volume goes back to its pool" 'ReturnToStoragePool: 4096' 'CIM_ConcreteJob.InstanceID="3600000400000004"'
poll_until_completed "the return job"
step "the volume is gone and its scan aborted" 'DeviceID="3A000004"' '-JobState=8' '-OperationalStatus=10,14'
if grep -qF 'DeviceID="3A00000C"' <<<"$OUT"; then fail "the returned volume is still listed"; fi
expect_equal "every block was run" "${#BLOCKS[@]}" "$STEP"

stop_cimhost
finish
