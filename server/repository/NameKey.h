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

inline std::string utf8(const Pegasus::String& text)
{
    return std::string(static_cast<const char*>(text.getCString()));
}

} // namespace cimhost

#endif
