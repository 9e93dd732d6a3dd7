// Hexadecimal text of byte strings: task keys and message buffers.
#include <string>
#include <KVELMessageHeader.h>
#include <ManagedObject.h>

PEGASUS_NAMESPACE_BEGIN

namespace
{
const char DIGITS[] = "0123456789ABCDEF";

int digitValue(Uint32 c)
{
    if (c >= '0' && c <= '9') return int(c - '0');
    if (c >= 'a' && c <= 'f') return int(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return int(c - 'A' + 10);
    return -1;
}

template <typename Text> KVELKey decode(const Text& text, Uint32 length)
{
    KVELKey key;
    if (length % 2 != 0) return key;
    key.reserve(length / 2);
    for (Uint32 i = 0; i < length; i += 2)
    {
        int high = digitValue(Uint32(text[i]));
        int low = digitValue(Uint32(text[i + 1]));
        if (high < 0 || low < 0) return KVELKey();
        key.push_back(Uint8(high * 16 + low));
    }
    return key;
}

String encode(const Uint8* bytes, Uint32 length)
{
    std::string text;
    text.reserve(size_t(length) * 2);
    for (Uint32 i = 0; i < length; ++i)
    {
        text.push_back(DIGITS[bytes[i] >> 4]);
        text.push_back(DIGITS[bytes[i] & 0x0F]);
    }
    return String(text.c_str(), Uint32(text.size()));
}
} // namespace

KVELKey ManagedObject::hexToBin(const String& text)
{
    return decode(text, text.size());
}

KVELKey ManagedObject::hexToBin(const char* text)
{
    if (!text) return KVELKey();
    return decode(reinterpret_cast<const unsigned char*>(text), Uint32(std::char_traits<char>::length(text)));
}

String ManagedObject::binToHex(const KVELKey& key)
{
    return encode(key.data(), Uint32(key.size()));
}

String KVELMessageHeader::hexifiedString(const Uint8* buffer, Uint32 length)
{
    if (!buffer) return String();
    return encode(buffer, length);
}

PEGASUS_NAMESPACE_END
