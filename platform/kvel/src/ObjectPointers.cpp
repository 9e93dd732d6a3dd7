// Object pointers and their text forms; the computer systems of the array.
#include <cctype>
#include <charconv>
#include <cstdio>
#include <string>
#include <Pegasus/Provider/ProviderException.h>
#include <KVELEngine.h>
#include <KVELiPtr.h>

PEGASUS_NAMESPACE_BEGIN

namespace
{
const Uint32 SYSTEM_ID = 0x39000001;
const Uint32 FIRST_BLADE_ID = 0x39000002;

// The text as bytes when it is plain ASCII; anything else cannot be an object pointer.
bool asciiOf(const String& text, std::string& out)
{
    out.clear();
    for (Uint32 i = 0; i < text.size(); ++i)
    {
        Uint16 c = text[i];
        if (c == 0 || c > 0x7F) return false;
        out.push_back(char(c));
    }
    return true;
}

Uint32 parseText(const String& text, KVELiPtr::Radix radix)
{
    std::string ascii;
    return asciiOf(text, ascii) ? KVELiPtr::parse(ascii.c_str(), radix) : KVEL_NULL_OBJECT_ID;
}
} // namespace

KVELiPtr::KVELiPtr(const String& text, Radix radix) : _iptr(parseText(text, radix)) {}

KVELiPtr::KVELiPtr(const char* text, Radix radix) : _iptr(parse(text, radix)) {}

Uint32 KVELiPtr::parse(const char* text, Radix radix)
{
    if (!text) return KVEL_NULL_OBJECT_ID;
    if (radix == RADIX_16 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text += 2;
    if (!*text) return KVEL_NULL_OBJECT_ID;
    Uint64 value = 0;
    for (; *text; ++text)
    {
        char c = *text;
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (radix == RADIX_16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (radix == RADIX_16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return KVEL_NULL_OBJECT_ID;
        value = value * (radix == RADIX_16 ? 16 : 10) + Uint64(digit);
        if (value > 0xFFFFFFFFu) return KVEL_NULL_OBJECT_ID;
    }
    return Uint32(value);
}

// Every key of every instance an enumeration builds is made here: without the format parser.
String KVELiPtr::getKeyString(Radix radix) const
{
    char text[16];
    char* const end = std::to_chars(text, text + sizeof text, _iptr, radix == RADIX_16 ? 16 : 10).ptr;
    for (char* digit = text; digit != end; ++digit)
        *digit = char(std::toupper(static_cast<unsigned char>(*digit)));
    return String(text, Uint32(end - text));
}

KVELObjectID::KVELObjectID(const String& text) : _id(KVELiPtr(text, KVELiPtr::RADIX_16).getIPtr()) {}

KVELObjectID::KVELObjectID(const char* text) : _id(KVELiPtr::parse(text, KVELiPtr::RADIX_16)) {}

KVELiPtrComputerSystem::KVELiPtrComputerSystem(const CIMObjectPath& path) : KVELiPtr(KVEL_NULL_OBJECT_ID)
{
    const Array<CIMKeyBinding>& keys = path.getKeyBindings();
    for (Uint32 i = 0; i < keys.size(); ++i)
    {
        if (!keys[i].getName().equal(CIMName("Name"))) continue;
        const String& name = keys[i].getValue();
        if (String::equalNoCase(name, String(KVELEngine::_ZarvoSystemNamePtr)))
            _iptr = SYSTEM_ID;
        else if (String::equalNoCase(name, bladeName(0)))
            _iptr = FIRST_BLADE_ID;
        else if (String::equalNoCase(name, bladeName(1)))
            _iptr = FIRST_BLADE_ID + 1;
        else
            throw CIMInvalidParameterException(String("not a computer system of this array: ") + name);
        return;
    }
    throw CIMInvalidParameterException("computer system path without a Name key");
}

KVELiPtrComputerSystem KVELiPtrComputerSystem::makeBlade(Uint32 slot)
{
    return KVELiPtrComputerSystem(slot <= 1 ? FIRST_BLADE_ID + slot : KVEL_NULL_OBJECT_ID);
}

KVELiPtrComputerSystem KVELiPtrComputerSystem::makeSystem()
{
    return KVELiPtrComputerSystem(SYSTEM_ID);
}

String KVELiPtrComputerSystem::bladeName(Uint32 slot)
{
    std::string name = std::string(KVELEngine::_ZarvoSystemNamePtr) + "-SP" + std::to_string(slot);
    return String(name.c_str());
}

PEGASUS_NAMESPACE_END
