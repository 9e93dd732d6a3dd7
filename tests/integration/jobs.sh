#!/usr/bin/env bash
# Jobs through wbemcli: a volume created from a pool starts a job, which the job classes and the
# CIM_AffectedJobElement association then show; the job survives a restart on the same state.
. "$(dirname "$0")/harness.sh"
start_cimhost

wbem ein "$BASE:CIM_ConcreteJob"
expect_equal "ein of CIM_ConcreteJob on a fresh array succeeds" 0 "$RC"
jobsBefore=$(grep -c 'CIM_ConcreteJob.InstanceID=' <<<"$OUT")

# Untyped Size and ElementName, references for Goal and InPool: typed from the method declaration.
wbem cm "$SERVICE" 'CreateOrModifyElementFromStoragePool.ElementName="v1",Size=1048576,Goal=CIM_StorageSetting.InstanceID="3A000005",InPool=CIM_StoragePool.InstanceID="37000004"'
expect_contains "CreateOrModifyElementFromStoragePool starts a job" "$OUT" "CreateOrModifyElementFromStoragePool: 4096"
expect_contains "the new size comes back" "$OUT" "Size (uint64): 1048576"
job=$(grep -o 'CIM_ConcreteJob.InstanceID="[0-9A-F]*"' <<<"$OUT" | head -n 1 | cut -d'"' -f2)
volume=$(grep -o 'CIM_StorageVolume\.[^ ]*DeviceID="[0-9A-F]*"' <<<"$OUT" | head -n 1 | grep -o 'DeviceID="[0-9A-F]*"' | cut -d'"' -f2)
[ -n "$job" ] || fail "no Job reference in: $OUT"
[ -n "$volume" ] || fail "no TheElement reference in: $OUT"
JOB="$BASE:CIM_ConcreteJob.InstanceID=\"$job\""
VOLUME="$BASE:CIM_StorageVolume.CreationClassName=\"CIM_StorageVolume\",DeviceID=\"$volume\",SystemCreationClassName=\"CIM_ComputerSystem\",SystemName=\"ZARVO-0001\""

wbem ein "$BASE:CIM_ConcreteJob"
expect_contains "ein shows the new job" "$OUT" "CIM_ConcreteJob.InstanceID=\"$job\""
expect_equal "ein: one job more" $((jobsBefore + 1)) "$(grep -c 'CIM_ConcreteJob.InstanceID=' <<<"$OUT")"
wbem -nl ei "$BASE:CIM_ConcreteJob"
expect_contains "ei shows the new job" "$OUT" "-InstanceID=\"$job\""
expect_contains "ei: the job names the volume" "$OUT" "v1"
expect_contains "ei: the job has a state" "$OUT" "-JobState="
wbem -nl gi "$JOB"
expect_contains "gi of the job" "$OUT" "-InstanceID=\"$job\""

wbem ain -ac CIM_AffectedJobElement -arc CIM_StorageVolume "$JOB"
expect_contains "ain: the job's volume" "$OUT" "CIM_StorageVolume.CreationClassName=\"CIM_StorageVolume\",DeviceID=\"$volume\""
wbem -nl ai -ac CIM_AffectedJobElement -arc CIM_StorageVolume "$JOB"
expect_contains "ai: the volume instance" "$OUT" '-ElementName="v1"'
wbem ain -ac CIM_AffectedJobElement -arc CIM_ConcreteJob "$VOLUME"
expect_contains "ain: the volume's job" "$OUT" "CIM_ConcreteJob.InstanceID=\"$job\""
stop_cimhost

trace=$(cat "$WORK/trace.log")
expect_contains "the trace file has the module's start-up" "$trace" "Starting up"
expect_contains "the state file has the volume" "$(cat "$WORK/state.json")" '"v1"'

start_cimhost
wbem ein "$BASE:CIM_ConcreteJob"
expect_contains "the job is still there after a restart" "$OUT" "CIM_ConcreteJob.InstanceID=\"$job\""
stop_cimhost
finish
