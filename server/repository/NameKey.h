// CIM names compare ignoring case; maps of classes, namespaces and qualifiers are keyed by the
// folded UTF-8 form so lookups agree with CIMName equality.
#ifndef CIMHOST_NameKey_h
#define CIMHOST_NameKey_h

#include <string>

#include <Pegasus/Common/String.h>

namespace cimhost
{

inline std::string nameKey(const Pegasus::String& name)
{
    Pegasus::String folded(name);
    folded.toLower();
    return std::string(static_cast<const char*>(folded.getCString()));
}

// How a folded key orders against the key a name would fold to (negative: the key comes first),
// without folding a copy of the name when it is ASCII, as names on the wire are.
inline int compareKeyWithName(const std::string& key, const Pegasus::String& name)
{
    const Pegasus::Char16* units = name.getChar16Data();
    const size_t size = name.size();
    for (size_t i = 0; i < size; ++i)
        if (Pegasus::Uint16(units[i]) >= 0x80) return key.compare(nameKey(name));
    for (size_t i = 0; i < size && i < key.size(); ++i)
    {
        const Pegasus::Uint16 unit = units[i];
        const unsigned char folded =
            static_cast<unsigned char>(unit >= 'A' && unit <= 'Z' ? unit + 32 : unit);
        const unsigned char k = static_cast<unsigned char>(key[i]);
        if (k != folded) return k < folded ? -1 : 1;
    }
    return key.size() < size ? -1 : key.size() > size ? 1 : 0;
}

// A name to look up in a map keyed by nameKey() and ordered by NameKeyLess.
struct NameRef
{
    const Pegasus::String& name;
};

struct NameKeyLess
{
    using is_transparent = void;
    bool operator()(const std::string& x, const std::string& y) const { return x < y; }
    bool operator()(const std::string& key, NameRef name) const
    {
        return compareKeyWithName(key, name.name) < 0;
    }
    bool operator()(NameRef name, const std::string& key) const
    {
        return compareKeyWithName(key, name.name) > 0;
    }
};

inline std::string utf8(const Pegasus::String& text)
{
    return std::string(static_cast<const char*>(text.getCString()));
}

} // namespace cimhost

#endif
