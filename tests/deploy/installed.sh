#!/usr/bin/env bash
# cmake --install into a temporary prefix, then from the installed files only: cimhost finds its
# schema and provider modules beside itself and reads the installed configuration, the README's
# scsctl walkthrough runs against it, and bash completion offers commands and the server's volumes.
# Arguments: the build tree, the source tree.
set -uo pipefail
BUILD=$1
SOURCE=$2
PREFIX=$(mktemp -d "${TMPDIR:-/tmp}/installed.XXXXXX")
CIMHOST_PID=
cleanup() {
    [ -n "$CIMHOST_PID" ] && kill -KILL "$CIMHOST_PID" 2>/dev/null
    rm -rf "$PREFIX"
}
trap cleanup EXIT
FAILURES=0
pass() { echo "ok: $1"; }
fail() { echo "FAIL: $1"; FAILURES=$((FAILURES + 1)); }

cmake --install "$BUILD" --prefix "$PREFIX/usr" >"$PREFIX/install.log" 2>&1 ||
    { cat "$PREFIX/install.log"; echo "FAIL: cmake --install"; exit 1; }
# Nothing of the build or source tree is reachable from here on.
[ -z "$(grep -rlF "$BUILD" "$PREFIX/usr/etc" "$PREFIX/usr/lib/systemd" 2>/dev/null)" ] && pass "no build path in what was installed" ||
    fail "a build path was installed"

# Installed, cimhost finds its schema and modules without options; the configuration's state path
# is replaced on the command line, which wins over the file.
"$PREFIX/usr/bin/cimhost" --config "$PREFIX/usr/etc/cimhost/cimhost.conf" --port any --state "$PREFIX/state.json" \
    --time-scale 10 2>"$PREFIX/stderr" &
CIMHOST_PID=$!
PORT=
for _ in $(seq 200); do # start-up takes well under a second; this allows 20
    PORT=$(sed -n 's|^cimhost: listening on http://.*:||p' "$PREFIX/stderr")
    [ -n "$PORT" ] && break
    kill -0 "$CIMHOST_PID" 2>/dev/null || break
    sleep 0.1
done
[ -n "$PORT" ] || { cat "$PREFIX/stderr"; echo "FAIL: the installed cimhost did not start"; exit 1; }
pass "the installed cimhost starts from its configuration"
SCSCTL="$PREFIX/usr/bin/scsctl"
OUT=$("$SCSCTL" --url "http://127.0.0.1:$PORT" pools 2>&1)
grep -q "37000004  Base" <<<"$OUT" && pass "the installed scsctl lists the pools" || fail "pools: $OUT"
[ -s "$PREFIX/state.json" ] && pass "--state on the command line wins over the file" || fail "no state in $PREFIX"

# bash completion, as bash calls it.
. "$PREFIX/usr/share/bash-completion/completions/scsctl"
complete_line() { # words...: COMPREPLY for the last one
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMPREPLY=()
    PATH="$PREFIX/usr/bin:$PATH" _scsctl
    echo "${COMPREPLY[*]}"
}
[ "$(complete_line scsctl vol)" = "volumes volume" ] && pass "completion: commands" ||
    fail "completion: commands: $(complete_line scsctl vol)"
[ "$(complete_line scsctl volume create x 1GiB --layout raid)" = "raid0 raid1 raid5 raid6" ] &&
    pass "completion: layouts" || fail "completion: layouts: $(complete_line scsctl volume create x 1GiB --layout raid)"
WORDS=$(complete_line scsctl --url "http://127.0.0.1:$PORT" volume delete "")
grep -qw db-mirror <<<"$WORDS" && grep -qw 3A000004 <<<"$WORDS" && pass "completion: the server's volumes" ||
    fail "completion: the server's volumes: $WORDS"
kill -TERM "$CIMHOST_PID"
wait "$CIMHOST_PID"
CIMHOST_PID=

# The README's scsctl walkthrough, on the installed programs, schema and modules.
SCSCTL_README="$SOURCE/README.md" bash "$SOURCE/tests/integration/scsctl_walkthrough.sh" "$PREFIX/usr/bin/cimhost" \
    "$PREFIX/usr/share/cimhost/schema" "$PREFIX/usr/lib/cimhost" "$SCSCTL" >"$PREFIX/walkthrough.log" 2>&1 &&
    pass "the README's scsctl walkthrough on the installed files" ||
    { cat "$PREFIX/walkthrough.log"; fail "the README's scsctl walkthrough on the installed files"; }

[ "$FAILURES" -eq 0 ] || { echo "$FAILURES check(s) failed"; exit 1; }
echo "all checks passed"
