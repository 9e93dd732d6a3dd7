#include "ValueFromText.h"

#include <string>
#include <vector>

#include "CimValueText.h"

namespace cimhost
{

namespace
{

std::string utf8(const Pegasus::String& text)
{
    return std::string(text.getCString());
}

} // namespace

// The conversion itself is the codec's, the one the decoder types VALUE elements with; this only
// unwraps the untyped value and checks its shape.
Pegasus::CIMValue valueFromText(const Pegasus::CIMValue& untyped, Pegasus::CIMType type, bool isArray)
{
    if (untyped.isNull()) return Pegasus::CIMValue(type, isArray);
    if (untyped.getType() != Pegasus::CIMTYPE_STRING)
        throw ValueConversionError(std::string("a ") + Pegasus::cimTypeToString(untyped.getType()) +
                                   " value cannot be read as text");
    if (untyped.isArray() != isArray)
        throw ValueConversionError(isArray ? "an array is expected, not a single value"
                                           : "a single value is expected, not an array");
    if (type == Pegasus::CIMTYPE_STRING) return untyped;
    if (type == Pegasus::CIMTYPE_OBJECT || type == Pegasus::CIMTYPE_INSTANCE)
        throw ValueConversionError(std::string("a ") + Pegasus::cimTypeToString(type) +
                                   " value cannot be given as text");
    try
    {
        if (!isArray)
        {
            Pegasus::String text;
            untyped.get(text);
            return scalarFromText(type, utf8(text));
        }
        Pegasus::Array<Pegasus::String> texts;
        untyped.get(texts);
        std::vector<std::string> items;
        items.reserve(texts.size());
        for (Pegasus::Uint32 i = 0; i < texts.size(); ++i)
            items.push_back(utf8(texts[i]));
        return arrayFromTexts(type, items);
    }
    catch (const ValueTextError& e)
    {
        throw ValueConversionError(e.what());
    }
}

} // namespace cimhost
