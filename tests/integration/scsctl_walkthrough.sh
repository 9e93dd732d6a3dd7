#!/usr/bin/env bash
# The scsctl part of the README's "Try it", block by block, against a fresh cimhost whose clock
# runs ten times as fast: each fenced block is run as written (only the binary and the port
# differ) and its answer checked. The fourth argument is scsctl.
. "$(dirname "$0")/harness.sh"
README=${SCSCTL_README:-"$SCHEMA_DIR/../README.md"}
SCSCTL=$4

mkdir "$WORK/blocks"
awk -v dir="$WORK/blocks" '
    /^##+ / { inside = ($0 == "### The same with scsctl") }
    inside && /^```sh$/ { file = sprintf("%s/%03d", dir, ++count); printf "" > file; collecting = 1; next }
    collecting && /^```$/ { close(file); collecting = 0; next }
    collecting { print > file }' "$README"
BLOCKS=()
for file in "$WORK"/blocks/*; do [ -f "$file" ] && BLOCKS+=("$(cat "$file")"); done
expect_equal "the scsctl walkthrough has its 5 blocks" 5 "${#BLOCKS[@]}"

start_cimhost --time-scale 10
STEP=0
step() { # what needle...
    local what=$1 text=${BLOCKS[STEP]}
    shift
    text=${text//build-release\/cli\/scsctl/\"$SCSCTL --url http://127.0.0.1:$PORT\"}
    STEP=$((STEP + 1))
    # In this shell, so that the blocks after the first have its variable.
    eval "$text" </dev/null >"$WORK/block.out" 2>&1
    OUT=$(cat "$WORK/block.out")
    for needle in "$@"; do expect_contains "$what" "$OUT" "$needle"; done
}

step "the pools are listed" "37000004  Base" "unrestricted"
step "the volume is made" "volume demo (3A00000C): creation started as job 3600000100000001" \
    "job 3600000100000001: Completed 100%"
step "the volume grows" "job 3600000200000002: Completed 100%" "size:           8 GiB" "layout:         double-parity" \
    "pool_name:      Base"
step "the scan is scheduled, suspended and resumed" "scheduled as job 3600000300000003" \
    "job 3600000300000003: suspend done" "job 3600000300000003: resume done" "2099-01-04 02:00:00 UTC"
step "the volume goes back to its pool" "job 3600000400000004: Completed 100%" "3A000004  vm-dparity"
if grep -q "demo" <<<"$(tail -n 6 <<<"$OUT")"; then fail "the returned volume is still listed"; fi
expect_equal "every block was run" "${#BLOCKS[@]}" "$STEP"

stop_cimhost
finish
