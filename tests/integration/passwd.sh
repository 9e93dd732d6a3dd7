#!/usr/bin/env bash
# cimhost-passwd: a user added from standard input is listed, the file is private, a second add
# replaces the password, remove works, and empty, short or mistyped passwords and usage errors are
# refused.
set -uo pipefail

PASSWD=$1
WORK=$(mktemp -d "${TMPDIR:-/tmp}/cimhost-passwd.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
USERS=$WORK/users
FAILURES=0

check() { # what expected actual
    if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAIL: $1: expected '$2', got '$3'"; FAILURES=$((FAILURES + 1)); fi
}

umask 022
printf 'pass:word\npass:word\n' | "$PASSWD" "$USERS" add alice >/dev/null
check "add from standard input exits 0" 0 $?
check "the new file is mode 600" 600 "$(stat -c %a "$USERS")"
check "the record is a salted PBKDF2 hash" 1 "$(grep -c '^alice:pbkdf2-sha256\$210000\$' "$USERS")"
check "the password is not stored" 0 "$(grep -c 'pass:word' "$USERS")"
printf 'other-one\nother-one\n' | "$PASSWD" "$USERS" add bob >/dev/null
check "list shows the users" "alice bob" "$("$PASSWD" "$USERS" list | tr '\n' ' ' | sed 's/ $//')"

before=$(grep '^alice:' "$USERS")
out=$(printf 'new-password\nnew-password\n' | "$PASSWD" "$USERS" add alice)
check "add again says it replaced the password" "replaced the password of user alice" "$out"
[ "$before" != "$(grep '^alice:' "$USERS")" ]
check "add again changed the record" 0 $?

# Each refused password: what is piped in, and the words that say why. carol is never added.
while IFS='|' read -r input words; do
    printf '%b' "$input" | "$PASSWD" "$USERS" add carol 2>"$WORK/err" >/dev/null
    check "refused ($words): exit 1" 1 $?
    check "refused ($words): said so" 1 "$(grep -c "$words" "$WORK/err")"
done <<'TABLE'
\n\n|empty password
long-enough\n|no second line repeating the password
long-enough\nlong-enougH\n|do not match
short\nshort\n|at least 8 characters
|no password on standard input
TABLE
check "carol was not added" "alice bob" "$("$PASSWD" "$USERS" list | tr '\n' ' ' | sed 's/ $//')"
printf 'short\nshort\n' | "$PASSWD" "$USERS" add carol --force >/dev/null
check "--force takes a short password" "alice bob carol" "$("$PASSWD" "$USERS" list | tr '\n' ' ' | sed 's/ $//')"
"$PASSWD" "$USERS" remove carol >/dev/null

"$PASSWD" "$USERS" remove bob >/dev/null
check "remove exits 0" 0 $?
check "list after remove" "alice" "$("$PASSWD" "$USERS" list)"
"$PASSWD" "$USERS" remove bob 2>/dev/null
check "removing an unknown user exits 1" 1 $?
check "the file stays mode 600" 600 "$(stat -c %a "$USERS")"

chmod 644 "$USERS"
"$PASSWD" "$USERS" list 2>"$WORK/err" >/dev/null
check "a file readable by others is refused" 1 $?
check "the fix is named" 1 "$(grep -c "chmod 600 $USERS" "$WORK/err")"
"$PASSWD" "$USERS" add 2>/dev/null
check "a missing user name is a usage error" 2 $?
"$PASSWD" "$USERS" add 'a:b' </dev/null 2>/dev/null
check "an invalid user name is a usage error" 2 $?

[ "$FAILURES" -eq 0 ] || { echo "$FAILURES check(s) failed"; exit 1; }
echo "all checks passed"
