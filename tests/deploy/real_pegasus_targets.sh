#!/usr/bin/env bash
# The build against a real OpenPegasus must build exactly the libraries a deployment installs.
# Configures the tree against a stand-in OpenPegasus (only the files the configuration looks
# for) and compares the targets that link something, and what `cmake --install` would install,
# with that list. Arguments: the source tree, the CMake generator.
set -euo pipefail
SOURCE=$1
GENERATOR=${2:-Ninja}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/real-pegasus.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

mkdir -p "$WORK/pegasus/src/Pegasus/Common" "$WORK/home/lib"
touch "$WORK/pegasus/src/Pegasus/Common/Config.h" "$WORK/home/lib/libpegcommon.so" "$WORK/home/lib/libpegprovider.so"

cmake -S "$SOURCE" -B "$WORK/build" -G "$GENERATOR" -DPEGASUS_ROOT="$WORK/pegasus" -DPEGASUS_HOME="$WORK/home" \
    >"$WORK/configure.log" 2>&1 || { cat "$WORK/configure.log"; echo "FAIL: the configuration fails"; exit 1; }

expected="ArrayInventoryProvider KVEL SMIManagedObjects StorageConfigurationService"
linked=$(ninja -C "$WORK/build" -t targets all | sed -n 's/.*_LINKER__\([A-Za-z_-]*\)_[A-Za-z]*$/\1/p' | sort -u | xargs)
installed=$(sed -n 's|.*/lib/lib\([A-Za-z]*\)\.so.*|\1|p' "$WORK/build/cmake_install.cmake" | sort -u | xargs)

status=0
[ "$linked" = "$expected" ] || { echo "FAIL: built: '$linked', expected '$expected'"; status=1; }
[ "$installed" = "$expected" ] || { echo "FAIL: installed: '$installed', expected '$expected'"; status=1; }
# A tree that is not an OpenPegasus one is refused with a message naming what is missing.
if cmake -S "$SOURCE" -B "$WORK/wrong" -G "$GENERATOR" -DPEGASUS_ROOT="$WORK/home" -DPEGASUS_HOME="$WORK/home" \
    >"$WORK/wrong.log" 2>&1 || ! grep -q "Config.h does not exist" "$WORK/wrong.log"; then
    echo "FAIL: a wrong PEGASUS_ROOT is not refused clearly:"; cat "$WORK/wrong.log"; status=1
fi
[ $status = 0 ] && echo "ok: builds and installs exactly: $expected"
exit $status
