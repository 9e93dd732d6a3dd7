// A property's ValueMap and Values qualifiers, read as pairs: ("9", "SNIA:Array"), ...
#ifndef CIMHOST_ValueMap_h
#define CIMHOST_ValueMap_h

#include <string>
#include <utility>
#include <vector>

#include <Pegasus/Common/CIMClass.h>
#include <Pegasus/Common/CIMProperty.h>

namespace cimhost
{

// Empty when the class, the property or either qualifier is missing.
inline std::vector<std::pair<std::string, std::string>> valueMap(const Pegasus::CIMConstClass& cimClass,
                                                                 const char* property)
{
    std::vector<std::pair<std::string, std::string>> pairs;
    const Pegasus::Uint32 index =
        cimClass.isUninitialized() ? Pegasus::PEG_NOT_FOUND : cimClass.findProperty(Pegasus::CIMName(property));
    if (index == Pegasus::PEG_NOT_FOUND) return pairs;
    const Pegasus::CIMConstProperty declared = cimClass.getProperty(index);
    const Pegasus::Uint32 map = declared.findQualifier(Pegasus::CIMName("ValueMap"));
    const Pegasus::Uint32 values = declared.findQualifier(Pegasus::CIMName("Values"));
    if (map == Pegasus::PEG_NOT_FOUND || values == Pegasus::PEG_NOT_FOUND) return pairs;
    Pegasus::Array<Pegasus::String> keys, texts;
    declared.getQualifier(map).getValue().get(keys);
    declared.getQualifier(values).getValue().get(texts);
    for (Pegasus::Uint32 i = 0; i < keys.size() && i < texts.size(); ++i)
        pairs.emplace_back(std::string(keys[i].getCString()), std::string(texts[i].getCString()));
    return pairs;
}

} // namespace cimhost

#endif
