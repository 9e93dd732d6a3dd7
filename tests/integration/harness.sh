# Sourced by the end-to-end tests. Arguments of the test: the cimhost binary, the schema
# directory and the provider directory. Starts cimhost on a free loopback port with a temporary
# state, event and trace file, runs wbemcli against it and checks what it prints.
set -uo pipefail

CIMHOST=$1
SCHEMA_DIR=$2
PROVIDER_DIR=$3
WORK=$(mktemp -d "${TMPDIR:-/tmp}/cimhost-test.XXXXXX")
CIMHOST_PID=
FAILURES=0

# Under LeakSanitizer: the providers left alive by contract are not leaks (see lsan.supp).
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

command -v wbemcli >/dev/null || { echo "wbemcli is not installed (scripts/setup installs it)"; exit 1; }

cleanup() {
    if [ -n "$CIMHOST_PID" ]; then kill -KILL "$CIMHOST_PID" 2>/dev/null; fi
    rm -rf "$WORK"
}
trap cleanup EXIT

pass() { echo "ok: $1"; }
fail() {
    echo "FAIL: $1"
    FAILURES=$((FAILURES + 1))
}

expect_contains() { # what text needle
    if grep -qF -- "$3" <<<"$2"; then pass "$1"; else fail "$1: no '$3' in:"$'\n'"$2"; fi
}
expect_equal() { # what expected actual
    if [ "$2" = "$3" ]; then pass "$1"; else fail "$1: expected '$2', got '$3'"; fi
}

# CIMHOST_TEST_SCHEME=https runs a script's requests over HTTPS only (a self-signed pair, wbemcli
# -noverify): PORT and BASE then name the HTTPS listener.
SCHEME=${CIMHOST_TEST_SCHEME:-http}

# Starts cimhost with the given extra options; sets PORT, BASE and SERVICE (and HTTPS_PORT when
# --https-port is given: its listening line comes last).
start_cimhost() {
    local tls=()
    if [ "$SCHEME" = https ]; then
        [ -s "$WORK/tls-cert.pem" ] || openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=localhost \
            -keyout "$WORK/tls-key.pem" -out "$WORK/tls-cert.pem" 2>/dev/null
        tls=(--port 0 --https-port any --cert "$WORK/tls-cert.pem" --key "$WORK/tls-key.pem")
    fi
    "$CIMHOST" --port any --schema "$SCHEMA_DIR" --providers "$PROVIDER_DIR" --state "$WORK/state.json" \
        --event-file "$WORK/events.jsonl" --trace-file "$WORK/trace.log" "${tls[@]}" "$@" 2>"$WORK/stderr" &
    CIMHOST_PID=$!
    local last=http
    [[ " ${tls[*]} $* " == *" --https-port "* ]] && last=https
    for _ in $(seq 200); do # start-up takes well under a second; this allows 20
        if grep -q "^cimhost: listening on $last://" "$WORK/stderr"; then
            PORT=$(sed -n 's|^cimhost: listening on http://.*:||p' "$WORK/stderr")
            HTTPS_PORT=$(sed -n 's|^cimhost: listening on https://.*:||p' "$WORK/stderr")
            [ "$SCHEME" = https ] && PORT=$HTTPS_PORT
            BASE="$SCHEME://localhost:$PORT/root/snia"
            SERVICE="$BASE:Zarvo_StorageConfigurationService.CreationClassName=\"Zarvo_StorageConfigurationService\",Name=\"ZARVO-0001\",SystemCreationClassName=\"CIM_ComputerSystem\",SystemName=\"ZARVO-0001\""
            return 0
        fi
        if ! kill -0 "$CIMHOST_PID" 2>/dev/null; then break; fi
        sleep 0.1
    done
    echo "FAIL: cimhost did not start:"
    cat "$WORK/stderr"
    exit 1
}

# SIGTERM: cimhost answers what is in flight, terminates the providers and exits 0.
stop_cimhost() {
    kill -TERM "$CIMHOST_PID"
    wait "$CIMHOST_PID"
    local status=$?
    CIMHOST_PID=
    expect_equal "cimhost exits 0 on SIGTERM" 0 "$status"
    expect_contains "cimhost reports that it stopped" "$(cat "$WORK/stderr")" "cimhost: stopped"
}

# A CIM-XML request body: intrinsic method $1 in root/snia (or namespace $3) with the parameter
# elements $2.
cimxml() {
    local segment
    printf '%s' '<?xml version="1.0" encoding="utf-8"?><CIM CIMVERSION="2.0" DTDVERSION="2.0">' \
        '<MESSAGE ID="1" PROTOCOLVERSION="1.0"><SIMPLEREQ>'
    printf '<IMETHODCALL NAME="%s"><LOCALNAMESPACEPATH>' "$1"
    for segment in $(tr '/' ' ' <<<"${3:-root/snia}"); do printf '<NAMESPACE NAME="%s"/>' "$segment"; done
    printf '</LOCALNAMESPACEPATH>%s</IMETHODCALL></SIMPLEREQ></MESSAGE></CIM>' "$2"
}
EIN_POOLS=$(cimxml EnumerateInstanceNames \
    '<IPARAMVALUE NAME="ClassName"><CLASSNAME NAME="CIM_StoragePool"/></IPARAMVALUE>')
# CIM_HEADERS: the header lines of a request for intrinsic method $1 in root/snia (or namespace
# $2), Content-Type first.
cimheaders() {
    local nameSpace=${2:-root/snia}
    CIM_HEADERS=('Content-Type: application/xml; charset="utf-8"' 'CIMOperation: MethodCall' "CIMMethod: $1"
        "CIMObject: ${nameSpace//\//%2F}")
}

# Runs wbemcli; OUT holds what it printed, RC its exit status.
wbem() {
    if [ "$SCHEME" = https ]; then set -- -noverify "$@"; fi
    OUT=$(wbemcli "$@" 2>&1)
    RC=$?
}

finish() {
    if [ "$FAILURES" -ne 0 ]; then
        echo "$FAILURES check(s) failed; cimhost's standard error:"
        tail -n 40 "$WORK/stderr"
        exit 1
    fi
    echo "all checks passed"
}
