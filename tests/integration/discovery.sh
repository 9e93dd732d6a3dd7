#!/usr/bin/env bash
# An SMI-S client's road from nothing but the URL: the interop namespace (trying the names clients
# try), the Array profile, its system, the service and a pool; the service's capabilities say
# whether a volume creation answers with a job; a setting is made through the pool's capabilities
# and the volume created from it, its job polled with GetInstance and a property list, the volume
# found from the job and from the system, and returned.
# No path below is written by hand: each comes from an answer.
. "$(dirname "$0")/harness.sh"
start_cimhost --time-scale 1000
URL="$SCHEME://localhost:$PORT"
# Answers name this host by its host name; the test reaches it as localhost.
reach() { sed "s|^[^/ ]*/|$URL/|" <<<"$1"; }
# The class.keys part of a path, as wbemcli takes a reference parameter.
reference() { sed 's|^[^:]*:[^:]*:||; s|^[^/]*/[^:]*:||' <<<"$1"; }

INTEROP=
for ns in interop root/interop root/PG_InterOp; do
    wbem ein "$URL/$ns:CIM_Namespace"
    if [ "$RC" = 0 ] && grep -q 'Name="root/snia"' <<<"$OUT"; then INTEROP=$ns; break; fi
done
expect_equal "the interop namespace is found by the first name clients try" interop "$INTEROP"

wbem -nl ei "$URL/$INTEROP:CIM_RegisteredProfile"
profile=$(awk '/^[^-]/ {path=$0} /^-RegisteredName="Array"$/ {name=1} /^-RegisteredOrganization=11$/ {org=1}
    /^$/ {if (name && org) print path; name=org=0} END {if (name && org) print path}' <<<"$OUT")
expect_equal "one SNIA Array profile" 1 "$(grep -c . <<<"$profile")"

wbem ain -ac CIM_ElementConformsToProfile -arc CIM_ComputerSystem "$(reach "$profile")"
systems=$OUT
SYSTEM= SERVICE_PATH=
while read -r candidate; do
    wbem ain -ac CIM_HostedService -arc CIM_StorageConfigurationService "$(reach "$candidate")"
    if [ -n "$OUT" ] && [ "$RC" = 0 ]; then SYSTEM=$(reach "$candidate"); SERVICE_PATH=$(reach "$OUT"); fi
done <<<"$systems"
expect_contains "the array's system hosts the storage configuration service" "$SERVICE_PATH" \
    "StorageConfigurationService."

wbem -nl ai -ac CIM_ElementCapabilities -arc CIM_StorageConfigurationCapabilities "$SERVICE_PATH"
async=$(sed -n 's/^-SupportedAsynchronousActions=//p' <<<"$OUT")
expect_contains "the service's capabilities list its asynchronous actions" "$OUT" "-SupportedAsynchronousActions="
expectJob=no
grep -qE '(^|,)5(,|$)' <<<"$async" && expectJob=yes # 5: Storage Element Creation

wbem -nl ai -ac CIM_HostedStoragePool -arc CIM_StoragePool "$SYSTEM"
pool=$(awk '/^[^-]/ {path=$0} tolower($0) == "-primordial=false" {print path}' <<<"$OUT" | head -n 1)
[ -n "$pool" ] || fail "no concrete pool hosted by the system in: $OUT"

# The volume's setting, made through the pool's capabilities.
wbem ain -ac CIM_ElementCapabilities -arc CIM_StorageCapabilities "$(reach "$pool")"
wbem cm "$(reach "$OUT")" CreateSetting.SettingType=2
goal=$(grep -o 'CIM_StorageSetting[A-Za-z]*\.InstanceID="[0-9A-F]*"' <<<"$OUT" | head -n 1)
[ -n "$goal" ] || fail "CreateSetting made no setting: $OUT"

wbem cm "$SERVICE_PATH" "CreateOrModifyElementFromStoragePool.ElementName=\"found\",ElementType=2,Size=1048576,Goal=$goal,InPool=$(reference "$pool")"
if [ $expectJob = yes ]; then
    expect_contains "the creation answers with a job, as the capabilities say" "$OUT" \
        "CreateOrModifyElementFromStoragePool: 4096"
else
    expect_contains "the creation completes at once, as the capabilities say" "$OUT" \
        "CreateOrModifyElementFromStoragePool: 0"
fi
jobId=$(grep -o 'CIM_ConcreteJob.InstanceID="[0-9A-F]*"' <<<"$OUT" | head -n 1 | cut -d'"' -f2)

# Poll the job: GetInstance with a property list, over plain CIM-XML.
getJob=$(cimxml GetInstance "<IPARAMVALUE NAME=\"InstanceName\"><INSTANCENAME CLASSNAME=\"CIM_ConcreteJob\"><KEYBINDING NAME=\"InstanceID\"><KEYVALUE VALUETYPE=\"string\">$jobId</KEYVALUE></KEYBINDING></INSTANCENAME></IPARAMVALUE><IPARAMVALUE NAME=\"PropertyList\"><VALUE.ARRAY><VALUE>JobState</VALUE><VALUE>PercentComplete</VALUE></VALUE.ARRAY></IPARAMVALUE>")
cimheaders GetInstance
state=
for _ in $(seq 100); do
    answer=$(curl -sS -k -m 10 --data-binary "$getJob" "${CIM_HEADERS[@]/#/-H}" "$URL/cimom")
    state=$(grep -o '<PROPERTY NAME="JobState"[^>]*><VALUE>[0-9]*' <<<"$answer" | grep -o '[0-9]*$')
    [ -n "$state" ] && [ "$state" -ge 7 ] && break
    sleep 0.1
done
expect_equal "the job completes (JobState 7)" 7 "$state"
expect_equal "the property list is honoured" 0 "$(grep -c 'PROPERTY NAME="ElementName"' <<<"$answer")"

wbem ain -ac CIM_AffectedJobElement -arc CIM_StorageVolume "$URL/root/snia:CIM_ConcreteJob.InstanceID=\"$jobId\""
expect_equal "the job leads to exactly one volume" 1 "$(grep -c 'CIM_StorageVolume\.' <<<"$OUT")"
volume=$(reach "$OUT")
wbem ain -ac CIM_SystemDevice -arc CIM_StorageVolume "$SYSTEM"
expect_contains "the system leads to the same volume" "$OUT" "$(reference "$volume")"

wbem cm "$SERVICE_PATH" "ReturnToStoragePool.TheElement=$(reference "$volume")"
expect_contains "the volume is returned to its pool" "$OUT" "ReturnToStoragePool: "
for _ in $(seq 100); do
    wbem ain -ac CIM_SystemDevice -arc CIM_StorageVolume "$SYSTEM"
    grep -qF "$(reference "$volume")" <<<"$OUT" || break
    sleep 0.1
done
expect_equal "the volume is gone" "" "$(grep -F "$(reference "$volume")" <<<"$OUT")"
stop_cimhost
finish
