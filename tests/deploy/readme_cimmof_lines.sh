#!/usr/bin/env bash
# The README's cimmof lines load into a real OpenPegasus the same files, into the same namespaces,
# in the same order, as cimhost loads from schema/manifest.txt (all but schema/cimhost/, which
# OpenPegasus has already). Argument: the source tree.
set -euo pipefail
SOURCE=$1
readme=$(sed -n 's|^cimmof .*-n\([^ ]*\) schema/\([^ ]*\)$|\1 \2|p' "$SOURCE/README.md")
manifest=$(grep -v '^\s*\(#\|$\)' "$SOURCE/schema/manifest.txt" | awk '$2 !~ /^cimhost\// {print $1, $2}')
if [ -z "$readme" ] || [ "$readme" != "$manifest" ]; then
    printf 'FAIL: README cimmof lines:\n%s\nmanifest (without cimhost/):\n%s\n' "$readme" "$manifest"
    exit 1
fi
for file in $(awk '{print $2}' <<<"$manifest"); do
    [ -f "$SOURCE/schema/$file" ] || { echo "FAIL: schema/$file does not exist"; exit 1; }
done
echo "ok: the README loads what the manifest names:"; echo "$readme"
