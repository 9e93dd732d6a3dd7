#!/usr/bin/env bash
# The storage configuration service through wbemcli: its instance, its class with every method,
# an extrinsic call; CIM errors for what does not exist; the access log.
. "$(dirname "$0")/harness.sh"
start_cimhost

wbem ein "$BASE:Zarvo_StorageConfigurationService"
expect_equal "ein of the service: one instance" 1 "$(grep -c 'Zarvo_StorageConfigurationService\.' <<<"$OUT")"
expect_contains "ein of the service: its keys" "$OUT" 'Name="ZARVO-0001",SystemCreationClassName="CIM_ComputerSystem",SystemName="ZARVO-0001"'
wbem ein "$BASE:CIM_StorageConfigurationService"
expect_contains "ein of the superclass finds the subclass instance" "$OUT" ':Zarvo_StorageConfigurationService.CreationClassName="Zarvo_StorageConfigurationService"'
expect_equal "ein of the superclass: the one service, once" 1 "$(grep -c 'StorageConfigurationService\.' <<<"$OUT")"

# On a CIM_StorageConfigurationService path: methods reach the provider, instances are not served.
CIM_SERVICE="${SERVICE//Zarvo_StorageConfigurationService/CIM_StorageConfigurationService}"
wbem gi "$CIM_SERVICE"
expect_contains "gi of a CIM_StorageConfigurationService path: not found" "$OUT" "CIM_ERR_NOT_FOUND"
wbem cm "$CIM_SERVICE" GetSparePool
expect_contains "GetSparePool on a CIM_StorageConfigurationService path" "$OUT" "GetSparePool: 0"
wbem cm "$CIM_SERVICE" 'InitializeStorageDevice.Element=CIM_DiskDrive.CreationClassName="CIM_DiskDrive",DeviceID="36000007",SystemCreationClassName="CIM_ComputerSystem",SystemName="ZARVO-0001"'
expect_contains "InitializeStorageDevice on a CIM_StorageConfigurationService path" "$OUT" "InitializeStorageDevice: "

# Job associations the provider refuses for the object asked about contribute nothing; an
# Associators that leaves the result class to the provider is an invalid class for it.
wbem ain -ac CIM_AffectedJobElement "$SERVICE"
expect_equal "ain -ac CIM_AffectedJobElement of the service: empty, no error" "0:" "$RC:$OUT"
wbem rin -arc CIM_OwningJobElement "$BASE:CIM_StoragePool.InstanceID=\"37000004\""
expect_equal "rin -arc CIM_OwningJobElement of a pool: empty, no error" "0:" "$RC:$OUT"
wbem ai -ac CIM_OwningJobElement "$SERVICE"
expect_contains "ai -ac CIM_OwningJobElement of the service without a result class" "$OUT" "CIM_ERR_INVALID_CLASS"

wbem -nl gi "$SERVICE"
expect_equal "gi of the service succeeds" 0 "$RC"
expect_contains "gi of the service: Name" "$OUT" '-Name="ZARVO-0001"'
expect_contains "gi of the service: CreationClassName" "$OUT" '-CreationClassName="Zarvo_StorageConfigurationService"'

wbem -dx gc "$BASE:Zarvo_StorageConfigurationService"
methods=(CreateOrModifyStoragePool CreateOrModifyElementFromStoragePool DeleteStoragePool ReturnToStoragePool
    CreateOrModifyElementFromElements CreateVolume ReconfigureVolume GetMaxiumumVolumeSize RebuildStorageElement
    ScanStorageElement InitializeStorageDevice RemoveStorageDevice TransferDrive TransferDriveByRef
    InitiateShutdown CompleteShutdown ForceControllerFailover InitiateFirmwareUpgrade CompleteFirmwareUpgrade
    SetDiskLineMode SuspendTask ResumeTask AbortTask RescheduleTask DeleteTask ReadPersistenceData
    WritePersistenceData GetUnavailablePool GetAvailablePool GetSparePool GetBasePool)
expect_equal "the class declares 31 methods" 31 "${#methods[@]}"
for method in "${methods[@]}"; do
    grep -qF "<METHOD NAME=\"$method\"" <<<"$OUT" || fail "gc: no METHOD $method"
done
expect_equal "gc: 31 distinct METHOD elements" 31 "$(grep -o '<METHOD NAME="[A-Za-z]*"' <<<"$OUT" | sort -u | wc -l)"

wbem cm "$SERVICE" GetSparePool
expect_contains "GetSparePool returns 0" "$OUT" "GetSparePool: 0"
expect_contains "GetSparePool returns the pool" "$OUT" 'Pool (reference):'
expect_contains "GetSparePool: a storage pool path" "$OUT" 'CIM_StoragePool.InstanceID="'

wbem gi "$BASE:CIM_ConcreteJob.InstanceID=\"FFFFFFFF\""
expect_contains "gi of a job that does not exist" "$OUT" "CIM_ERR_NOT_FOUND"
wbem ein "$BASE:CIM_NoSuchClass"
expect_contains "ein of an unknown class" "$OUT" "CIM_ERR_INVALID_CLASS"
wbem ein "http://localhost:$PORT/root/nowhere:CIM_ConcreteJob"
expect_contains "ein in an unknown namespace" "$OUT" "CIM_ERR_INVALID_NAMESPACE"

log=$(cat "$WORK/stderr")
expect_contains "access log: the extrinsic call" "$log" " CallMethod Zarvo_StorageConfigurationService.GetSparePool 0 "
expect_contains "access log: the failed GetInstance" "$log" " GetInstance CIM_ConcreteJob 6 "
stop_cimhost
finish
