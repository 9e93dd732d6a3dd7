#include <Pegasus/Common/CIMType.h>

PEGASUS_NAMESPACE_BEGIN

const char* cimTypeToString(const CIMType type)
{
    // Indexed by the enumerator value, which runs 0..16 in declaration order.
    static const char* const names[] = {"boolean", "uint8",    "sint8",     "uint16", "sint16",  "uint32",
                                        "sint32",  "uint64",   "sint64",    "real32", "real64",  "char16",
                                        "string",  "datetime", "reference", "object", "instance"};
    static_assert(sizeof(names) / sizeof(names[0]) == CIMTYPE_INSTANCE + 1, "one name per CIMType");

    // A value cast from an arbitrary integer must not index past the table.
    const Uint32 index = Uint32(type);
    return index < sizeof(names) / sizeof(names[0]) ? names[index] : "unknown";
}

PEGASUS_NAMESPACE_END
