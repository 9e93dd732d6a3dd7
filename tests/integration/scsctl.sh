#!/usr/bin/env bash
# scsctl against a fresh cimhost: every reading command as a table and as JSON, and the exit
# status of each kind of failure.
# Arguments after the harness's three: scsctl, cimhost-passwd.
. "$(dirname "$0")/harness.sh"
SCSCTL=$4
PASSWD=$5
command -v jq >/dev/null || { echo "jq is not installed (scripts/setup installs it)"; exit 1; }
umask 077
printf 'sesame\n' | "$PASSWD" "$WORK/users" add admin >/dev/null || exit 1
start_cimhost --users "$WORK/users"
TLS=()
[ "$SCHEME" = https ] && TLS=(--cacert "$WORK/tls-cert.pem")
URL="$SCHEME://localhost:$PORT"
export SCSCTL_PASSWORD=sesame

# Runs scsctl with standard input not a terminal; OUT holds what it printed, RC its exit status.
ctl() {
    OUT=$("$SCSCTL" --url "$URL" "${TLS[@]}" --user admin "$@" </dev/null 2>&1)
    RC=$?
}
expect_status() { # what status
    expect_equal "$1: exit status" "$2" "$RC"
}
json_true() { # what jq-filter (on OUT)
    if jq -e "$2" <<<"$OUT" >/dev/null 2>&1; then pass "$1"; else fail "$1: $2 is not true of:"$'\n'"$OUT"; fi
}

# --- reading ---
for command in system pools volumes drives settings jobs; do
    ctl "$command"
    expect_status "$command as a table" 0
    ctl --json "$command"
    expect_status "$command as JSON" 0
    json_true "$command as JSON: an array of objects with id and name" \
        'type == "array" and all(.[]; has("id") and has("name"))'
done
ctl pools
expect_contains "the pool table has its header" "$OUT" "ID        NAME           SIZE      FREE"
expect_contains "the base pool in IEC units" "$OUT" "37000004  Base         12 TiB"
ctl drives --json
json_true "drives give size_bytes" 'all(.[]; .size_bytes == 1099511627000)'
ctl volumes --json
json_true "volumes give size_bytes and layout" \
    'any(.[]; .name == "vm-dparity" and .size_bytes == 1099511627776 and .layout == "double-parity")'
ctl volume show db-mirror
expect_contains "a volume in detail, with its pool" "$OUT" "pool_name:   Base"

# --- failures and their exit status ---
ctl job show 99
expect_status "a job that does not exist" 1
expect_contains "a CIM error names the operation, status and description" "$OUT" \
    'GetInstance root/snia:CIM_ConcreteJob.InstanceID="99": CIM_ERR_NOT_FOUND: '
ctl frobnicate
expect_status "an unknown command" 2
OUT=$("$SCSCTL" --url "http://127.0.0.1:1" pools 2>&1)
RC=$?
expect_status "no server" 3
OUT=$(SCSCTL_PASSWORD=wrong "$SCSCTL" --url "$URL" "${TLS[@]}" --user admin pools 2>&1)
RC=$?
expect_status "a wrong password" 3
if [ "$SCHEME" = https ]; then
    OUT=$("$SCSCTL" --url "$URL" --user admin pools 2>&1)
    RC=$?
    expect_status "an untrusted certificate" 3
    OUT=$("$SCSCTL" --url "$URL" --insecure --user admin pools 2>&1)
    RC=$?
    expect_status "--insecure" 0
fi

stop_cimhost
finish
