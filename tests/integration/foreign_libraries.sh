#!/usr/bin/env bash
# OpenPegasus's setup puts its lib/ on LD_LIBRARY_PATH, which holds libraries named as ours
# (libpegcommon.so, libpegprovider.so) without our symbols. cimhost, its modules and scsctl must
# still load their own. The fifth argument is the folder of such foreign libraries, the sixth scsctl.
. "$(dirname "$0")/harness.sh"
FOREIGN=$5
SCSCTL=$6
export LD_LIBRARY_PATH="$FOREIGN${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"

OUT=$("$CIMHOST" --version 2>&1)
expect_contains "cimhost runs beside another OpenPegasus's libraries" "$OUT" "cimhost "
OUT=$("$SCSCTL" --help 2>&1)
expect_contains "so does scsctl" "$OUT" "volume"
start_cimhost
wbem ein "$BASE:CIM_StoragePool"
expect_equal "and the modules it loads serve their pools" 4 "$(grep -c 'CIM_StoragePool\.' <<<"$OUT")"
stop_cimhost
finish
