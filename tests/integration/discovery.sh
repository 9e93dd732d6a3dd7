#!/usr/bin/env bash
# An SMI-S client's road from nothing but the URL: the interop namespace (trying the names clients
# try), the Array profile and its one central system, which is the same object (host, namespace,
# class and keys) as the system that hosts the service and as the one an enumeration finds; the
# service, its capabilities and a pool; a setting made through the pool's capabilities and a volume
# created from it, its job polled, the volume reached from its job identical, property for
# property, to the volume read directly; and every path in every answer naming one host.
# No path below is written by hand: each comes from an answer.
. "$(dirname "$0")/harness.sh"
HOST_NAME=discovery.test
# Fast enough that the job is done within the polling below, slow enough that the finished job is
# still there (kept 300 s of array time: 12 s here) for the requests that follow it on a loaded machine.
start_cimhost --time-scale 25 --host-name "$HOST_NAME"
URL="$SCHEME://localhost:$PORT"
# Answers name this host by its host name; the test reaches it as localhost.
reach() { sed "s|^[^/ ]*/|$URL/|" <<<"$1"; }
# The class.keys part of a path, as wbemcli takes a reference parameter.
reference() { sed 's|^[^:]*:[^:]*:||; s|^[^/]*/[^:]*:||' <<<"$1"; }
# An answer's XML on one line with no blanks between elements: servers may break lines anywhere.
flat() { tr -d '\r\n' | sed 's/>[[:space:]]*</></g'; }
# The INSTANCENAME element of a class.keys path whose keys are strings.
instance_name() {
    local rest=${1#*.} keys=""
    while [[ $rest =~ ^([A-Za-z_]+)=\"([^\"]*)\",?(.*)$ ]]; do
        keys+="<KEYBINDING NAME=\"${BASH_REMATCH[1]}\"><KEYVALUE VALUETYPE=\"string\">${BASH_REMATCH[2]}</KEYVALUE></KEYBINDING>"
        rest=${BASH_REMATCH[3]}
    done
    printf '<INSTANCENAME CLASSNAME="%s">%s</INSTANCENAME>' "${1%%.*}" "$keys"
}
# Posts intrinsic method $1 with parameters $2 in namespace $3; ANSWER holds the flat XML, and the
# host names of its paths are added to HOSTS_SEEN.
HOSTS_SEEN=
post_cim() {
    local nameSpace=${3:-root/snia}
    cimheaders "$1" "$nameSpace"
    ANSWER=$(curl -sS -k -m 10 --data-binary "$(cimxml "$1" "$2" "$nameSpace")" "${CIM_HEADERS[@]/#/-H}" \
        "$URL/cimom" | flat)
    HOSTS_SEEN+=$(grep -o '<HOST>[^<]*</HOST>' <<<"$ANSWER")
}

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
central=$OUT
expect_equal "the Array profile has exactly one central system" 1 "$(grep -c . <<<"$central")"
SYSTEM=$(reach "$central")
wbem ain -ac CIM_ElementConformsToProfile "$SYSTEM"
expect_contains "the central system leads back to its profile" "$OUT" "$(reference "$profile")"

wbem ain -ac CIM_HostedService -arc CIM_StorageConfigurationService "$SYSTEM"
expect_contains "the array's system hosts the storage configuration service" "$OUT" "StorageConfigurationService."
SERVICE_PATH=$(reach "$OUT")
wbem ain -ac CIM_HostedService -arc CIM_ComputerSystem "$SERVICE_PATH"
expect_equal "the service's host system is the central system: host, namespace, class and keys" "$central" "$OUT"
wbem ein "$URL/root/snia:CIM_ComputerSystem"
expect_equal "an enumeration finds the central system among the computer systems" 1 \
    "$(grep -cxF "localhost:$PORT/$(sed 's|^[^/]*/||' <<<"$central")" <<<"$OUT")"

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
expect_equal "the method's output references name this host" "" \
    "$(grep -o '(reference): [^/]*/' <<<"$OUT" | grep -v "(reference): $HOST_NAME/")"
jobId=$(grep -o 'CIM_ConcreteJob.InstanceID="[0-9A-F]*"' <<<"$OUT" | head -n 1 | cut -d'"' -f2)

# Poll the job: GetInstance with a property list, over plain CIM-XML.
job="<INSTANCENAME CLASSNAME=\"CIM_ConcreteJob\"><KEYBINDING NAME=\"InstanceID\"><KEYVALUE VALUETYPE=\"string\">$jobId</KEYVALUE></KEYBINDING></INSTANCENAME>"
state=
for _ in $(seq 100); do
    post_cim GetInstance "<IPARAMVALUE NAME=\"InstanceName\">$job</IPARAMVALUE><IPARAMVALUE NAME=\"PropertyList\"><VALUE.ARRAY><VALUE>JobState</VALUE><VALUE>PercentComplete</VALUE></VALUE.ARRAY></IPARAMVALUE>"
    state=$(grep -o '<PROPERTY NAME="JobState"[^>]*><VALUE>[0-9]*' <<<"$ANSWER" | grep -o '[0-9]*$')
    [ -n "$state" ] && [ "$state" -ge 7 ] && break
    sleep 0.1
done
expect_equal "the job completes (JobState 7)" 7 "$state"
expect_equal "the property list is honoured" 0 "$(grep -c 'PROPERTY NAME="ElementName"' <<<"$ANSWER")"

jobPath="$URL/root/snia:CIM_ConcreteJob.InstanceID=\"$jobId\""
wbem ain -ac CIM_AffectedJobElement -arc CIM_StorageVolume "$jobPath"
expect_equal "the job leads to exactly one volume" 1 "$(grep -c 'CIM_StorageVolume\.' <<<"$OUT")"
volume=$(reach "$OUT")
wbem -nl ai -ac CIM_AffectedJobElement -arc CIM_StorageVolume "$jobPath"
fromJob=$(grep '^-' <<<"$OUT" | sort)
wbem -nl gi "$volume"
expect_equal "the volume from its job is the volume read directly, property for property" \
    "$(grep '^-' <<<"$OUT" | sort)" "$fromJob"
expect_contains "and is named by its NAA identifier either way" "$fromJob" "-NameFormat=9"
wbem ain -ac CIM_SystemDevice -arc CIM_StorageVolume "$SYSTEM"
expect_contains "the system leads to the same volume" "$OUT" "$(reference "$volume")"

# Every path in the answers of both modules and of the interop namespace names one host: top-level
# paths, references inside instances, method outputs.
post_cim Associators "<IPARAMVALUE NAME=\"ObjectName\">$job</IPARAMVALUE>"
post_cim References "<IPARAMVALUE NAME=\"ObjectName\">$(instance_name "$(reference "$central")")</IPARAMVALUE>"
post_cim References "<IPARAMVALUE NAME=\"ObjectName\">$(instance_name "$(reference "$volume")")</IPARAMVALUE>"
post_cim AssociatorNames "<IPARAMVALUE NAME=\"ObjectName\">$(instance_name "$(reference "$profile")")</IPARAMVALUE>" "$INTEROP"
post_cim EnumerateInstances "<IPARAMVALUE NAME=\"ClassName\"><CLASSNAME NAME=\"CIM_ElementConformsToProfile\"/></IPARAMVALUE>" "$INTEROP"
expect_equal "every path in every answer names the host $HOST_NAME" "<HOST>$HOST_NAME</HOST>" \
    "$(tr '\n' ' ' <<<"${HOSTS_SEEN//></>$'\n'<}" | tr ' ' '\n' | grep . | sort -u | xargs)"
[ "$(grep -c . <<<"${HOSTS_SEEN//></>$'\n'<}")" -gt 20 ] || fail "too few paths seen: $HOSTS_SEEN"

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
