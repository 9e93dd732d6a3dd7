#!/usr/bin/env bash
# The interop namespaces through wbemcli: the namespaces served (CIM_Namespace, and __Namespace for
# older clients), the object manager and its mechanisms, the registered profiles made from the
# provider registration and the host's own, and CIM_ElementConformsToProfile across namespaces, in
# both directions, by both of its rules.
. "$(dirname "$0")/harness.sh"
start_cimhost
HOST="$SCHEME://localhost:$PORT"
# Paths answered carry this host's name; the tests reach it as localhost.
local_path() { sed "s|^[^/]*/|localhost:$PORT/|" <<<"$1"; }

for ns in interop root/interop root/PG_InterOp; do
    wbem ein "$HOST/$ns:CIM_Namespace"
    expect_equal "$ns: CIM_Namespace names every namespace" "interop root root/PG_InterOp root/interop root/snia" \
        "$(grep -o ',Name="[^"]*"' <<<"$OUT" | cut -d'"' -f2 | sort | xargs)"
done
wbem ein "$HOST/root:__Namespace"
expect_equal "__Namespace in root: its children" "PG_InterOp interop snia" \
    "$(grep -o 'Name="[^"]*"' <<<"$OUT" | cut -d'"' -f2 | sort | xargs)"
wbem -nl ei "$HOST/interop:CIM_ObjectManager"
expect_contains "one object manager" "$OUT" '-Name="cimhost"'
expect_contains "its brand and version, where clients look for them" "$OUT" '-Description="cimhost version 1.0.0"'
wbem -nl ei "$HOST/interop:CIM_ObjectManagerCommunicationMechanism"
expect_contains "a CIM-XML mechanism for the listener" "$OUT" "-Name=\"cimxml-$SCHEME\""
expect_contains "it speaks CIM-XML 1.0" "$OUT" "-CIMXMLProtocolVersion=1"

wbem -nl ei "$HOST/interop:CIM_RegisteredProfile"
expect_contains "the Array profile" "$OUT" '-InstanceID="SNIA+Array+1.6.0"'
expect_contains "the Block Services profile" "$OUT" '-RegisteredName="Block Services"'
expect_contains "registered by SNIA (11)" "$OUT" '-RegisteredOrganization=11'
expect_equal "four profiles (two the host's own) and two subprofiles" 6 "$(grep -c '^-InstanceID=' <<<"$OUT")"
SERVER="$HOST/interop:PG_RegisteredProfile.InstanceID=\"SNIA+Server+1.2.0\""
wbem ain -ac CIM_ReferencedProfile -arc CIM_RegisteredProfile "$SERVER"
expect_contains "the Server profile refers to Profile Registration" "$OUT" '"SNIA+Profile Registration+1.0.0"'
wbem ain -ac CIM_ElementConformsToProfile "$SERVER"
expect_contains "the object manager conforms to the Server profile" "$OUT" 'interop:CIM_ObjectManager.'
ARRAY="$HOST/interop:PG_RegisteredProfile.InstanceID=\"SNIA+Array+1.6.0\""
wbem ain -ac CIM_SubProfileRequiresProfile "$ARRAY"
expect_contains "the Array profile's subprofile" "$OUT" 'PG_RegisteredSubProfile.InstanceID="SNIA+Disk Drive Lite+1.6.0"'
wbem ain -ac CIM_ElementConformsToProfile -arc CIM_ComputerSystem "$ARRAY"
expect_contains "the array's system conforms to the Array profile" "$OUT" \
    'root/snia:CIM_ComputerSystem.CreationClassName="CIM_ComputerSystem",Name="ZARVO-0001"'
expect_equal "and no other system: the controllers are not arrays" 1 "$(grep -c . <<<"$OUT")"
SYSTEM=$(local_path "$(grep -F 'Name="ZARVO-0001"' <<<"$OUT")")
wbem ain -ac CIM_ElementConformsToProfile "$BASE:CIM_ComputerSystem.CreationClassName=\"CIM_ComputerSystem\",Name=\"ZARVO-0001-SP0\""
expect_equal "a controller conforms to no profile" "0:" "$RC:$OUT"
wbem ain -ac CIM_ElementConformsToProfile "$SCHEME://$SYSTEM"
expect_contains "and back, from root/snia to OpenPegasus's interop namespace" "$OUT" \
    'root/PG_InterOp:PG_RegisteredProfile.InstanceID="SNIA+Array+1.6.0"'
wbem rin -arc CIM_ElementConformsToProfile "$SCHEME://$SYSTEM"
expect_contains "the reference between them" "$OUT" 'Zarvo_ElementConformsToProfile.ConformantStandard='
wbem ain -ac CIM_ElementConformsToProfile "$SERVICE"
expect_contains "the service leads back to Block Services" "$OUT" '"SNIA+Block Services+1.6.0"'
wbem ain -ac CIM_ElementConformsToProfile "$HOST/interop:PG_RegisteredProfile.InstanceID=\"SNIA+Block Services+1.6.0\""
expect_contains "the service conforms to Block Services" "$OUT" 'Zarvo_StorageConfigurationService.'
wbem ain -ac CIM_ElementConformsToProfile "$BASE:CIM_StoragePool.InstanceID=\"37000004\""
expect_equal "a pool conforms to no profile" "0:" "$RC:$OUT"
wbem di "$ARRAY"
expect_contains "the interop namespace is read-only" "$OUT" "CIM_ERR_NOT_SUPPORTED"
stop_cimhost
finish
