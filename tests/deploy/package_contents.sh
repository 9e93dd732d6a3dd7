#!/usr/bin/env bash
# The Debian package CPack makes from the build tree holds the programs, the libraries and provider
# modules, the schema, the unit, the configuration (as a conffile), man pages and completion, all
# where Debian expects them; the unit starts the packaged program with the packaged configuration,
# and the man pages render without warnings. Argument: the build tree.
set -uo pipefail
BUILD=$1
WORK=$(mktemp -d "${TMPDIR:-/tmp}/package.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
FAILURES=0
pass() { echo "ok: $1"; }
fail() { echo "FAIL: $1"; FAILURES=$((FAILURES + 1)); }

cpack --config "$BUILD/CPackConfig.cmake" -G DEB -B "$WORK" >"$WORK/cpack.log" 2>&1 ||
    { cat "$WORK/cpack.log"; echo "FAIL: cpack"; exit 1; }
DEB=$(ls "$WORK"/*.deb)
CONTENTS=$(dpkg-deb -c "$DEB" | awk '{print $6}' | sed 's|^\./|/|')
while read -r path; do
    if grep -qxF -- "$path" <<<"$CONTENTS"; then pass "packaged: $path"; else fail "not packaged: $path"; fi
done <<'PATHS'
/usr/bin/cimhost
/usr/bin/cimhost-passwd
/usr/bin/scsctl
/usr/lib/cimhost/libStorageConfigurationService.so.1
/usr/lib/cimhost/libArrayInventoryProvider.so
/usr/lib/cimhost/libKVEL.so
/usr/lib/cimhost/libSMIManagedObjects.so
/usr/lib/cimhost/libpegcommon.so
/usr/lib/cimhost/libpegprovider.so
/usr/share/cimhost/schema/manifest.txt
/usr/share/cimhost/schema/root-snia/classes.mof
/usr/lib/systemd/system/cimhost.service
/etc/cimhost/cimhost.conf
/usr/share/man/man1/scsctl.1
/usr/share/man/man8/cimhost.8
/usr/share/man/man8/cimhost-passwd.8
/usr/share/bash-completion/completions/scsctl
PATHS
STRAY=$(grep -vE '^/(usr/(bin|lib/cimhost|lib/systemd/system|share/(cimhost|man|bash-completion))|etc/cimhost)(/|$)|^/((usr|etc)/((lib|share)/((systemd)/)?)?)?$' <<<"$CONTENTS")
if [ -z "$STRAY" ]; then pass "nothing else is packaged"; else fail "packaged elsewhere: $STRAY"; fi

CONTROL=$(dpkg-deb -I "$DEB")
grep -q '^ Depends: .*libssl' <<<"$CONTROL" && pass "the dependencies are computed" || fail "no Depends: $CONTROL"
dpkg-deb --ctrl-tarfile "$DEB" | tar -xO ./conffiles >"$WORK/conffiles"
[ "$(cat "$WORK/conffiles")" = /etc/cimhost/cimhost.conf ] && pass "the configuration is a conffile" ||
    fail "conffiles: $(cat "$WORK/conffiles")"

dpkg-deb -x "$DEB" "$WORK/root"
EXEC=$(grep '^ExecStart=' "$WORK/root/usr/lib/systemd/system/cimhost.service")
[ "$EXEC" = "ExecStart=/usr/bin/cimhost --config /etc/cimhost/cimhost.conf" ] && pass "the unit starts the packaged cimhost" ||
    fail "the unit: $EXEC"
for setting in DynamicUser=yes StateDirectory=cimhost ProtectSystem=strict NoNewPrivileges=yes; do
    grep -qx "$setting" "$WORK/root/usr/lib/systemd/system/cimhost.service" && pass "the unit has $setting" ||
        fail "the unit lacks $setting"
done
if command -v systemd-analyze >/dev/null; then
    # Only what the package would install (the program, the man pages) may be missing here.
    PROBLEMS=$(systemd-analyze verify "$WORK/root/usr/lib/systemd/system/cimhost.service" 2>&1 |
        grep -vE "Command 'man |Command /usr/bin/cimhost is not executable")
    [ -z "$PROBLEMS" ] && pass "systemd-analyze verify" || fail "systemd-analyze verify: $PROBLEMS"
fi
for page in "$WORK"/root/usr/share/man/man*/*; do
    WARNINGS=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$WARNINGS" ] && pass "$(basename "$page") renders cleanly" || fail "$(basename "$page"): $WARNINGS"
done
# The packaged configuration is one cimhost reads: every line it sets is an option.
"$WORK/root/usr/bin/cimhost" --config "$WORK/root/etc/cimhost/cimhost.conf" --print-config >"$WORK/printed" 2>&1 &&
    pass "cimhost reads the packaged configuration" || fail "the packaged configuration: $(cat "$WORK/printed")"
grep -qx 'state="/var/lib/cimhost/state.json"' "$WORK/printed" && pass "the state goes to the state directory" ||
    fail "state: $(grep state "$WORK/printed")"

[ "$FAILURES" -eq 0 ] || { echo "$FAILURES check(s) failed"; exit 1; }
echo "all checks passed"
