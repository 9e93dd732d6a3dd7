#!/usr/bin/env bash
# Keys agree between the two modules: paths the inventory serves are taken by the service's
# methods as they are, and the paths the methods answer with lead to instances the inventory
# serves. A refused setting change reaches the client as its CIM error.
. "$(dirname "$0")/harness.sh"
start_cimhost --time-scale 10

# The served path (class and keys, without host and namespace) on the first line of OUT that
# contains the needle.
served_path() { # needle
    grep -F -- "$1" <<<"$OUT" | head -n 1 | sed -E 's/^[^ ]*:([A-Za-z_]+\.)/\1/; s/ .*$//'
}
# The reference a method answered with, as a path in this host's namespace.
answered() { # class
    echo "$BASE:$(grep -oE "$1\.[^ ,]*(,[A-Za-z]+=\"[^\"]*\")*" <<<"$OUT" | head -n 1)"
}

wbem ein "$BASE:CIM_ComputerSystem"
expect_equal "the array and its two controllers" 3 "$(grep -c 'CIM_ComputerSystem\.' <<<"$OUT")"
controller=$(served_path 'Name="ZARVO-0001-SP1"')
wbem cm "$SERVICE" "GetBasePool.Controller=$controller"
expect_contains "GetBasePool takes a served controller" "$OUT" "GetBasePool: 0"
pool=$(answered CIM_StoragePool)
wbem -nl gi "$pool"
expect_contains "the pool it answers is served" "$OUT" '-ElementName="Base"'

wbem ein "$BASE:CIM_StoragePool"
available=$(served_path 'InstanceID="37000003"')
basepool=$(served_path 'InstanceID="37000004"')
wbem ain -ac CIM_ConcreteComponent "$BASE:CIM_StoragePool.InstanceID=\"37000002\""
spare=$(served_path 'CIM_DiskDrive.')
[ -n "$spare" ] || fail "the spare pool lists no drive: $OUT"
wbem cm "$SERVICE" "TransferDriveByRef.Pool=$available,Drive=$spare"
expect_contains "TransferDriveByRef takes a served pool and drive" "$OUT" "TransferDriveByRef: 0"
wbem ain -ac CIM_ConcreteComponent "$BASE:$available"
expect_contains "the drive is now in the available pool" "$OUT" "${spare#CIM_DiskDrive.}"

wbem cm "$SERVICE" "InitializeStorageDevice.ElementType=4,StorageDevice=$spare"
expect_contains "InitializeStorageDevice takes a served drive" "$OUT" "InitializeStorageDevice: 4096"
wbem -nl gi "$BASE:$spare"
expect_contains "the drive initialises (In Service)" "$OUT" "-OperationalStatus=11"

wbem ein "$BASE:CIM_StorageVolume"
volume=$(served_path 'DeviceID="3A000003"')
wbem cm "$SERVICE" "ScanStorageElement.ScanType=3,StorageElement=$volume,Name=\"scan\""
expect_contains "ScanStorageElement takes a served volume" "$OUT" "ScanStorageElement: 4096"
job=$(answered CIM_ConcreteJob)
wbem ain -ac CIM_AffectedJobElement -arc CIM_StorageVolume "$job"
expect_contains "the scan's job leads back to the volume" "$OUT" 'DeviceID="3A000003"'

wbem ein "$BASE:CIM_StorageSetting"
setting=$(served_path 'InstanceID="3A000005"')
wbem cm "$SERVICE" "CreateOrModifyElementFromStoragePool.ElementName=\"v\",Size=1073741824,Goal=$setting,InPool=$basepool"
expect_contains "CreateOrModifyElementFromStoragePool takes a served setting and pool" "$OUT" ": 4096"
created=$(answered CIM_StorageVolume)
wbem -nl gi "$created"
expect_contains "the volume it answers is served" "$OUT" '-ElementName="v"'
wbem ain -ac CIM_AllocatedFromStoragePool "$created"
expect_contains "the volume is in the pool it was asked for" "$OUT" 'InstanceID="37000004"'
wbem ein "$BASE:CIM_StorageSetting"
if grep -qF 'WithHints.InstanceID="3A000005"' <<<"$OUT"; then fail "a used setting is still listed as a setting"; fi

# A setting change the array cannot use comes back as the CIM error, and changes nothing.
wbem mi "$BASE:CIM_StorageSettingWithHints.InstanceID=\"3A000006\"" 'PackageRedundancyGoal=5'
expect_contains "an unusable goal is an invalid parameter" "$OUT" "CIM_ERR_INVALID_PARAMETER"
expect_contains "the refusal names the property" "$OUT" "PackageRedundancyGoal"
wbem -nl gi "$BASE:CIM_StorageSettingWithHints.InstanceID=\"3A000006\""
expect_contains "the setting is as it was" "$OUT" "-PackageRedundancyGoal=1"

stop_cimhost
finish
