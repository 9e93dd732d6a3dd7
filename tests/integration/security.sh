#!/usr/bin/env bash
# HTTPS and HTTP Basic authentication from the outside: curl trusting a CA of our own, wbemcli over
# HTTPS and HTTP, missing and wrong credentials refused and logged without the password, plain HTTP
# on the HTTPS port, and the configurations cimhost refuses to start with.
. "$(dirname "$0")/harness.sh"
PASSWD=$4
USER_NAME=alice
PASSWORD='pa ss:w0rd' # Basic credentials split at the first colon only
CRED="$USER_NAME:$PASSWORD"
umask 077 # the users files below are private unless a check makes one readable

# Runs cimhost with the given options expecting it to refuse to start with status $2 and a message
# holding $3; MESSAGE holds what it said.
refused() { # what status text options...
    local what=$1 status=$2 text=$3
    shift 3
    timeout 20 "$CIMHOST" --port any --schema "$SCHEMA_DIR" --providers "$PROVIDER_DIR" \
        --state "$WORK/state.json" "$@" >/dev/null 2>"$WORK/refusal"
    expect_equal "$what: exit status" "$status" $?
    MESSAGE=$(cat "$WORK/refusal")
    expect_contains "$what: the message" "$MESSAGE" "$text"
}

printf '%s\n%s\n' "$PASSWORD" "$PASSWORD" | "$PASSWD" "$WORK/users" add "$USER_NAME" >/dev/null || exit 1
cp "$WORK/users" "$WORK/users.open" && chmod 644 "$WORK/users.open"
{ cat "$WORK/users"; echo 'bob hunter2'; } >"$WORK/users.bad"
refused "a users file others can read" 1 "chmod 600 $WORK/users.open" --users "$WORK/users.open"
refused "a malformed users line" 1 "$WORK/users.bad:2: malformed line" --users "$WORK/users.bad"
expect_equal "the malformed line is not quoted (it may hold a password)" 0 "$(grep -c hunter2 <<<"$MESSAGE")"
refused "a public address without users" 2 "--allow-anonymous" --bind 0.0.0.0
refused "--https-port without a certificate" 2 "--cert" --https-port any

start_cimhost --bind 0.0.0.0 --allow-anonymous
expect_contains "--allow-anonymous is warned about" "$(cat "$WORK/stderr")" "WARNING: --allow-anonymous"
wbem ein "$BASE:CIM_StoragePool"
expect_equal "--allow-anonymous serves without credentials" 4 "$(grep -c 'CIM_StoragePool.InstanceID=' <<<"$OUT")"
stop_cimhost

# A CA and a certificate for 127.0.0.1 and localhost that it signs.
tls() { openssl "$@" 2>>"$WORK/openssl.log" >/dev/null || { cat "$WORK/openssl.log"; exit 1; }; }
tls req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=cimhost-test-ca -keyout "$WORK/ca.key" -out "$WORK/ca.pem"
tls req -newkey rsa:2048 -nodes -subj /CN=localhost -keyout "$WORK/server.key" -out "$WORK/server.csr"
tls x509 -req -in "$WORK/server.csr" -CA "$WORK/ca.pem" -CAkey "$WORK/ca.key" -CAcreateserial -days 2 \
    -extfile <(echo 'subjectAltName=IP:127.0.0.1,DNS:localhost') -out "$WORK/server.pem"
start_cimhost --https-port any --cert "$WORK/server.pem" --key "$WORK/server.key" --users "$WORK/users"

# POSTs body $1 to https://127.0.0.1:HTTPS_PORT/cimom as an EnumerateInstanceNames, with the curl
# options that follow; OUT holds the answer's head and body, CLIENT the peer cimhost saw.
https_post() {
    local body=$1 header options=()
    shift
    cimheaders EnumerateInstanceNames
    for header in "${CIM_HEADERS[@]}"; do options+=(-H "$header"); done
    OUT=$(curl -sS -i -m 10 --cacert "$WORK/ca.pem" "${options[@]}" --data-binary "$body" \
        -w '\n%{local_port}' "$@" "https://127.0.0.1:$HTTPS_PORT/cimom" 2>&1)
    CLIENT="127.0.0.1:${OUT##*$'\n'}"
    OUT=${OUT%$'\n'*}
}

https_post "$EIN_POOLS" -u "$CRED"
expect_contains "HTTPS with the right password" "$OUT" "HTTP/1.1 200"
expect_equal "the served request is logged with the user" 1 \
    "$(grep -cE "^$CLIENT EnumerateInstanceNames CIM_StoragePool 0 [0-9]+us user=$USER_NAME\$" "$WORK/stderr")"
expect_equal "HTTPS: the 4 pools" 4 "$(grep -o '<INSTANCENAME CLASSNAME="CIM_StoragePool">' <<<"$OUT" | wc -l)"
https_post "$EIN_POOLS"
expect_contains "no credentials" "$OUT" "HTTP/1.1 401"
expect_contains "no credentials: the challenge" "$OUT" 'WWW-Authenticate: Basic realm="cimhost"'
expect_contains "no credentials: a CIM error header" "$OUT" "CIMError: "
https_post 'not XML at all'
expect_contains "credentials are checked before the body" "$OUT" "HTTP/1.1 401"
https_post "$EIN_POOLS" -u "$USER_NAME:wrong-secret-7"
expect_contains "a wrong password" "$OUT" "HTTP/1.1 401"
expect_equal "the refusal is logged with the peer and the user" 1 \
    "$(grep -c "^$CLIENT - - HTTP 401 .* user '$USER_NAME'" "$WORK/stderr")"
expect_equal "no password is ever logged" 0 "$(grep -cE 'wrong-secret-7|pa ss' "$WORK/stderr")"

out=$(curl -sS -i -m 5 --data-binary "$EIN_POOLS" "http://127.0.0.1:$HTTPS_PORT/cimom" 2>&1)
if [ $? -ne 0 ] && ! grep -q '^HTTP/' <<<"$out"; then pass "plain HTTP on the HTTPS port gets no answer"
else fail "plain HTTP on the HTTPS port gets no answer: $out"; fi
expect_contains "the failed handshake is logged" "$(cat "$WORK/stderr")" " TLS "
https_post "$EIN_POOLS" -u "$CRED"
expect_contains "HTTPS is served after the plain HTTP attempt" "$OUT" "HTTP/1.1 200"

HTTPS_BASE="https://$CRED@localhost:$HTTPS_PORT/root/snia"
wbem -noverify ein "$HTTPS_BASE:CIM_StoragePool"
expect_equal "wbemcli over HTTPS: the 4 pools" 4 "$(grep -c 'CIM_StoragePool.InstanceID=' <<<"$OUT")"
wbem -noverify cm "$HTTPS_BASE${SERVICE#"$BASE"}" GetSparePool
expect_contains "wbemcli over HTTPS: a method call" "$OUT" "GetSparePool: 0"
wbem ein "http://$CRED@localhost:$PORT/root/snia:CIM_StoragePool"
expect_equal "wbemcli over HTTP with credentials: the 4 pools" 4 "$(grep -c 'CIM_StoragePool.InstanceID=' <<<"$OUT")"
wbem ein "$BASE:CIM_StoragePool"
expect_contains "wbemcli over HTTP without credentials is refused" "$OUT" "Username/password required"
stop_cimhost
finish
