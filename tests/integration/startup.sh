#!/usr/bin/env bash
# cimhost's command line and start-up failures: usage, a schema that does not compile, a module
# that does not load, an address in use; the trace file and --trace off.
. "$(dirname "$0")/harness.sh"

out=$("$CIMHOST" --help)
expect_equal "--help exits 0" 0 $?
expect_contains "--help lists the options" "$out" "--max-request-bytes"
out=$("$CIMHOST" --version)
expect_contains "--version" "$out" "cimhost "
"$CIMHOST" --port 70000 2>"$WORK/usage"
expect_equal "an invalid port is a usage error" 2 $?
expect_contains "the invalid value is named" "$(cat "$WORK/usage")" "--port"
"$CIMHOST" --time-scale 0 2>"$WORK/usage"
expect_equal "a time scale below 1 is a usage error" 2 $?
expect_contains "the invalid time scale is named" "$(cat "$WORK/usage")" "--time-scale"
"$CIMHOST" --no-such-option 2>/dev/null
expect_equal "an unknown option is a usage error" 2 $?

# A configuration file sets any option; --print-config writes one that reads back the same.
"$CIMHOST" --print-config >"$WORK/printed.conf"
expect_equal "--print-config exits 0" 0 $?
"$CIMHOST" --config "$WORK/printed.conf" --print-config >"$WORK/reprinted.conf"
expect_equal "the printed configuration reads back the same" "$(cat "$WORK/printed.conf")" "$(cat "$WORK/reprinted.conf")"
printf 'max-connections = 7\nbind = "::1"\n' >"$WORK/set.conf"
out=$("$CIMHOST" --config "$WORK/set.conf" --bind 127.0.0.1 --print-config)
expect_contains "a configured option is in effect" "$out" "max-connections=7"
expect_contains "the command line wins over the file" "$out" 'bind="127.0.0.1"'
while IFS='|' read -r line words; do
    printf '%s\n' "$line" >"$WORK/bad.conf"
    "$CIMHOST" --config "$WORK/bad.conf" 2>"$WORK/usage" >/dev/null
    expect_equal "configuration '$line': a usage error" 2 $?
    expect_contains "configuration '$line': named" "$(cat "$WORK/usage")" "$words"
done <<'TABLE'
time-scale = 0|--time-scale
no-such-option = 1|no-such-option
TABLE
"$CIMHOST" --config "$WORK/missing.conf" 2>"$WORK/usage"
expect_equal "a missing configuration file is a usage error" 2 $?
expect_contains "the missing file is named" "$(cat "$WORK/usage")" "missing.conf"

mkdir "$WORK/badschema"
printf 'class Broken\n{\n    string Name\n};\n' >"$WORK/badschema/schema.mof"
printf 'root/snia schema.mof\n' >"$WORK/badschema/manifest.txt"
"$CIMHOST" --port any --schema "$WORK/badschema" --providers "$PROVIDER_DIR" 2>"$WORK/mof"
expect_equal "a schema error exits 1" 1 $?
if grep -qE "^cimhost: $WORK/badschema/schema.mof:[34]: " "$WORK/mof"; then
    pass "a schema error names the file and line"
else
    fail "a schema error names the file and line: $(cat "$WORK/mof")"
fi

"$CIMHOST" --port any --schema "$SCHEMA_DIR" --providers "$WORK" 2>"$WORK/load"
expect_equal "a module that does not load exits 1" 1 $?
expect_contains "the module is named" "$(head -n 1 "$WORK/load")" "cimhost: "
expect_contains "the module file is named" "$(cat "$WORK/load")" "StorageConfigurationService"

start_cimhost
"$CIMHOST" --port "$PORT" --schema "$SCHEMA_DIR" --providers "$PROVIDER_DIR" --state "$WORK/other.json" 2>"$WORK/inuse"
expect_equal "a port in use exits 1" 1 $?
expect_contains "the address is named" "$(cat "$WORK/inuse")" "127.0.0.1:$PORT"
wbem ein "$BASE:CIM_ConcreteJob"
expect_equal "the first cimhost still serves" 0 "$RC"
# Trace lines of concurrent requests reach the --trace-file whole, within a second or two, not
# only at exit.
clients=()
for _ in 1 2 3 4; do
    for _ in $(seq 10); do wbemcli -nl gi "$SERVICE" >/dev/null 2>&1; done &
    clients+=($!)
done
wait "${clients[@]}"
for _ in $(seq 50); do
    grep -q "Leaving StorageConfigurationServiceProvider::getInstance" "$WORK/trace.log" 2>/dev/null && break
    sleep 0.1
done
expect_contains "the trace file is written while serving" "$(cat "$WORK/trace.log")" "Leaving StorageConfigurationServiceProvider::getInstance"
stop_cimhost
line='^[0-9-]{10} [0-9:.]{15} +[0-9]+ .{30}:(----|ERR!): '
expect_equal "every trace line is whole" "" "$(grep -vE "$line" "$WORK/trace.log" | head -n 3)"
expect_equal "40 getInstance entered and left" "40 40" \
    "$(grep -c 'Entering StorageConfigurationServiceProvider::getInstance' "$WORK/trace.log") $(grep -c 'Leaving StorageConfigurationServiceProvider::getInstance' "$WORK/trace.log")"

rm -f "$WORK/trace.log"
start_cimhost --trace off >"$WORK/stdout"
wbem -nl gi "$SERVICE"
expect_equal "--trace off: gi still succeeds" 0 "$RC"
stop_cimhost
expect_equal "--trace off: no trace on standard output or in the file" "" "$(cat "$WORK/stdout" "$WORK/trace.log" 2>/dev/null)"
finish
