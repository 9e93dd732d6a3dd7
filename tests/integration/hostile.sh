#!/usr/bin/env bash
# Hostile requests against one cimhost: each is answered with its refusal (or CIM error) at once,
# and a normal request right after it is served. A half-sent head does not hold the host up and is
# closed by the header timeout.
. "$(dirname "$0")/harness.sh"
start_cimhost --header-timeout 1

# Sends standard input over a new connection and prints what comes back until cimhost closes it,
# for at most $1 seconds (2): our side stays open, so an answer that waits for more input is late.
raw() {
    python3 -c '
import socket, sys, time
s = socket.create_connection(("127.0.0.1", int(sys.argv[1])))
end, data = time.monotonic() + float(sys.argv[2]), b""
try:
    s.sendall(sys.stdin.buffer.read())
    while time.monotonic() < end:
        s.settimeout(end - time.monotonic())
        chunk = s.recv(65536)
        if not chunk: break
        data += chunk
except OSError: pass
sys.stdout.write(data.decode("latin-1"))' "$PORT" "${1:-2}"
}
# A POST /cimom head with Connection: close and the given header lines.
request_head() {
    printf 'POST /cimom HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n'
    printf '%s\r\n' "$@"
    printf '\r\n'
}
# Sends body $1 with the given header lines and its Content-Length; ANSWER holds what came back.
post() {
    local body=$1
    shift
    ANSWER=$({ request_head "$@" "Content-Length: ${#body}"; printf '%s' "$body"; } | raw "${WAIT:-2}")
}
# Checks that ANSWER has status $2, and that a normal request is served next.
answered() { # what status
    expect_equal "$1: status" "HTTP/1.1 $2" "$(sed -n '1s/^\(HTTP\/1.1 [0-9]*\).*/\1/p' <<<"$ANSWER")"
    wbem ein "$BASE:CIM_StoragePool"
    expect_equal "$1: a normal request is served next" 4 "$(grep -c 'CIM_StoragePool.InstanceID=' <<<"$OUT")"
}

cimheaders EnumerateInstanceNames
# The requests below differ from this one, answered 200, only in what makes them hostile.
post "$EIN_POOLS" "${CIM_HEADERS[@]}"
answered "a well-formed request through the same client" 200
expect_equal "the well-formed request: 4 pools" 4 "$(grep -o '<INSTANCENAME ' <<<"$ANSWER" | wc -l)"

# Not XML, with valid CIM headers: 400 with CIMError: request-not-valid (it is not an XML document at all).
post 'this is not XML' "${CIM_HEADERS[@]}"
answered "a body that is not XML" 400
expect_contains "a body that is not XML: the CIM error" "$ANSWER" "CIMError: request-not-valid"
# No Content-Type: 400.
post "$EIN_POOLS" "${CIM_HEADERS[@]:1}"
answered "no Content-Type" 400
# A declared body of 4294967290 bytes, not sent: 413 at once (within raw's 2 seconds).
ANSWER=$(request_head "${CIM_HEADERS[@]}" 'Content-Length: 4294967290' | raw)
answered "Content-Length 4294967290" 413
# A negative Content-Length: 400 at once.
ANSWER=$(request_head "${CIM_HEADERS[@]}" 'Content-Length: -5' | raw)
answered "Content-Length -5" 400
# 200,000 nested elements in a valid envelope: 400 with CIMError: request-not-valid.
nested=$(printf '%200000s' '' | sed 's/ /<VALUE.ARRAY>/g')$(printf '%200000s' '' | sed 's| |</VALUE.ARRAY>|g')
WAIT=20 post "$(cimxml EnumerateInstanceNames "<IPARAMVALUE NAME=\"ClassName\">$nested</IPARAMVALUE>")" \
    "${CIM_HEADERS[@]}"
answered "200,000 nested elements" 400
expect_contains "200,000 nested elements: the CIM error" "$ANSWER" "CIMError: request-not-valid"
# An intrinsic method that does not exist: 200 with CIM_ERR_NOT_SUPPORTED (7).
cimheaders FrobnicateInstances
post "$(cimxml FrobnicateInstances '')" "${CIM_HEADERS[@]}"
answered "an unknown intrinsic method" 200
expect_contains "an unknown intrinsic method: CIM_ERR_NOT_SUPPORTED" "$ANSWER" '<ERROR CODE="7"'
# A request head of more than 64 KiB: 431.
cimheaders EnumerateInstanceNames
post "$EIN_POOLS" "${CIM_HEADERS[@]}" "X-Filler: $(printf '%070000d' 0)"
answered "a 70 KB request head" 431

# Half a request head, then nothing: normal requests are served meanwhile; the header timeout
# (1 s) answers 408 and closes the connection.
exec {half}<>"/dev/tcp/127.0.0.1/$PORT"
printf 'POST /cimom HTTP/1.1\r\nHost: localhost\r\n' >&"$half"
wbem ein "$BASE:CIM_StoragePool"
expect_equal "served while a head is half sent" 4 "$(grep -c 'CIM_StoragePool.InstanceID=' <<<"$OUT")"
ANSWER=$(timeout 5 cat <&"$half")
expect_equal "the half-sent head's connection is closed within 5 s" 0 $?
expect_contains "the half-sent head is answered 408" "$ANSWER" "HTTP/1.1 408"
exec {half}<&-

for status in 400 413 431 408; do # refusals are logged with the peer and the reason
    [ "$(grep -cE "^127\.0\.0\.1:[0-9]+ - - HTTP $status [0-9]+us [a-z]" "$WORK/stderr")" -ge 1 ] ||
        fail "no access-log line for the $status refusal"
done
stop_cimhost
finish
