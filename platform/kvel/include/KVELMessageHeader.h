#ifndef KVEL_KVELMessageHeader_h
#define KVEL_KVELMessageHeader_h

#include <Pegasus/Common/String.h>
#include <KVELTypes.h>

PEGASUS_NAMESPACE_BEGIN

class KVEL_LINKAGE KVELMessageHeader
{
public:
    // The bytes as upper-case hexadecimal text, two characters per byte ("0A1B").
    static String hexifiedString(const Uint8* buffer, Uint32 length);
};

PEGASUS_NAMESPACE_END

#endif
