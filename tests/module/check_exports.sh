#!/usr/bin/env bash
# A provider module's dynamic symbol table defines one function, PegasusCreateProvider, and nothing
# else of its own (no class, catalogue or helper symbols), and carries the SONAME servers load.
set -euo pipefail
module="$1"
expected_soname="$2"
soname=$(objdump -p "$module" | awk '/SONAME/ {print $2}')
if [ "$soname" != "$expected_soname" ]; then
    echo "SONAME is '$soname', not '$expected_soname'"; exit 1
fi
defined=$(nm -D --defined-only "$module" | awk '{print $3}' | sort)
if [ "$defined" != "PegasusCreateProvider" ]; then
    echo "defined dynamic symbols:"; echo "$defined"; exit 1
fi
echo "exports: $defined; SONAME '$soname'"
