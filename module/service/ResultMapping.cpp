#include "StorageConfigurationServiceProvider.h"

PEGASUS_NAMESPACE_BEGIN

Uint32 StorageConfigurationServiceProvider::cimrcFromKvelRc(Uint32 kvelRc)
{
    // Indexed by engine result code 0..43; every later code is an unknown error.
    static const Uint32 table[44] = {
        2, 0, 0, 0, 32769, 2, 32768, 2, 2, 2, // 0-9
        3, 2, 2, 4, 5,     5, 5,     5, 5, 5, // 10-19
        5, 5, 5, 4, 5,     4, 4,     3, 5, 4, // 20-29
        4, 4, 4, 4, 2,     2, 2,     5, 5, 5, // 30-39
        5, 4, 4, 4,                           // 40-43
    };
    return kvelRc < 44 ? table[kvelRc] : 2;
}

PEGASUS_NAMESPACE_END
