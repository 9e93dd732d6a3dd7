#!/usr/bin/env bash
# The module's dynamic symbol table defines one function, PegasusCreateProvider, and nothing
# else of its own (no class, catalogue or helper symbols); its SONAME is libStorageConfigurationService.so.1.
set -euo pipefail
module="$1"
soname=$(objdump -p "$module" | awk '/SONAME/ {print $2}')
if [ "$soname" != "libStorageConfigurationService.so.1" ]; then
    echo "SONAME is '$soname'"; exit 1
fi
defined=$(nm -D --defined-only "$module" | awk '{print $3}' | sort)
if [ "$defined" != "PegasusCreateProvider" ]; then
    echo "defined dynamic symbols:"; echo "$defined"; exit 1
fi
echo "exports: $defined; SONAME $soname"
