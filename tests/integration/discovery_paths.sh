#!/usr/bin/env bash
# What a client finds by following associations from the array's computer system, through
# cimhost and both modules: the service it hosts and the service's capabilities, its devices,
# its controllers, and a volume's identity and setting.
. "$(dirname "$0")/harness.sh"
start_cimhost

ARRAY="$BASE:CIM_ComputerSystem.CreationClassName=\"CIM_ComputerSystem\",Name=\"ZARVO-0001\""
VOLUME="$BASE:CIM_StorageVolume.CreationClassName=\"CIM_StorageVolume\",DeviceID=\"3A000001\",SystemCreationClassName=\"CIM_ComputerSystem\",SystemName=\"ZARVO-0001\""

wbem ain -ac CIM_HostedService "$ARRAY"
expect_contains "the array hosts the service" "$OUT" 'Zarvo_StorageConfigurationService.CreationClassName="Zarvo_StorageConfigurationService",Name="ZARVO-0001"'
service_path="$BASE:$(grep -o 'Zarvo_StorageConfigurationService\..*' <<<"$OUT" | head -n 1)"
wbem -nl gi "$service_path"
expect_contains "the path found is the service's instance" "$OUT" '-SystemName="ZARVO-0001"'
wbem ain -ac CIM_HostedService "$SERVICE"
expect_contains "the service leads back to the array" "$OUT" 'CIM_ComputerSystem.CreationClassName="CIM_ComputerSystem",Name="ZARVO-0001"'

wbem ain -ac CIM_SystemDevice "$ARRAY"
expect_equal "the array's devices: four volumes" 4 "$(grep -c 'CIM_StorageVolume\.' <<<"$OUT")"
expect_equal "the array's devices: 16 drives" 16 "$(grep -c 'CIM_DiskDrive\.' <<<"$OUT")"
wbem ain -ac CIM_SystemDevice -arc CIM_DiskDrive "$ARRAY"
expect_equal "a result class keeps the drives only" "16 0" \
    "$(grep -c 'CIM_DiskDrive\.' <<<"$OUT") $(grep -c 'CIM_StorageVolume\.' <<<"$OUT")"
wbem ain -ac CIM_SystemDevice "$VOLUME"
expect_contains "a volume leads back to the array" "$OUT" 'Name="ZARVO-0001"'

wbem ain -ac CIM_ComponentCS "$ARRAY"
expect_equal "the array's two controllers" 2 "$(grep -c 'Name="ZARVO-0001-SP[01]"' <<<"$OUT")"

wbem -nl ai -ac CIM_ElementCapabilities "$SERVICE"
expect_contains "the service's capabilities" "$OUT" 'CIM_StorageConfigurationCapabilities.InstanceID='
expect_contains "volumes are what it makes" "$OUT" '-SupportedStorageElementTypes=2'
expect_contains "creation, return and modification answer with jobs" "$OUT" '-SupportedAsynchronousActions=5,6,7'
expect_contains "only a modification may complete at once" "$OUT" '-SupportedSynchronousActions=7'

wbem -nl gi "$VOLUME"
expect_contains "a volume is named by its NAA identifier" "$OUT" '-NameFormat=9'
expect_contains "in the NAA designator namespace" "$OUT" '-NameNamespace=2'
wbem -nl ai -ac CIM_ElementSettingData "$VOLUME"
expect_contains "a volume's setting keeps its ID" "$OUT" 'Zarvo_StorageVolumeSetting.InstanceID="3A000001"'
expect_contains "and cannot be changed" "$OUT" '-ChangeableType=3'

stop_cimhost
finish
