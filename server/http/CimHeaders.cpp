#include "CimHeaders.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/Exception.h>

namespace cimhost
{
namespace
{

const char CIM_MAPPING_URI[] = "http://www.dmtf.org/cim/mapping/http/v1.0";

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Header values are parsed in place: a request's headers are read on every request.
std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::string_view();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string_view unquoted(std::string_view text)
{
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
    return text;
}

// Whether text is `lower` (written in lower case) but for the case of its letters.
bool sameNoCase(std::string_view text, std::string_view lower)
{
    return text.size() == lower.size() &&
           std::equal(text.begin(), text.end(), lower.begin(),
                      [](unsigned char c, char l) { return std::tolower(c) == l; });
}

// Calls each(part) with every trimmed part of text between separators, in order, while it
// returns true; returns false when it stopped early.
template <class Each> bool forEachPart(std::string_view text, char separator, Each each)
{
    for (;;)
    {
        const auto end = text.find(separator);
        if (!each(trimmed(text.substr(0, end)))) return false;
        if (end == std::string_view::npos) return true;
        text.remove_prefix(end + 1);
    }
}

bool keysMatch(const Pegasus::Array<Pegasus::CIMKeyBinding>& x,
               const Pegasus::Array<Pegasus::CIMKeyBinding>& y)
{
    if (x.size() != y.size()) return false;
    // Both arrays are sorted by name. The header gives a key's type only by its written form,
    // so a key the body typed differently is compared by its text.
    for (Pegasus::Uint32 i = 0; i < x.size(); ++i)
    {
        if (!x[i].getName().equal(y[i].getName())) return false;
        if (!(x[i] == y[i]) && !Pegasus::String::equal(x[i].getValue(), y[i].getValue())) return false;
    }
    return true;
}

} // namespace

bool uriDecode(const std::string& encoded, std::string& decoded)
{
    decoded.clear();
    decoded.reserve(encoded.size());
    for (size_t i = 0; i < encoded.size(); ++i)
    {
        if (encoded[i] != '%')
        {
            decoded.push_back(encoded[i]);
            continue;
        }
        if (i + 2 >= encoded.size()) return false;
        const int high = hexDigit(encoded[i + 1]);
        const int low = hexDigit(encoded[i + 2]);
        if (high < 0 || low < 0) return false;
        decoded.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return true;
}

bool isXmlUtf8ContentType(const std::string& contentType)
{
    bool first = true;
    return forEachPart(contentType, ';',
                       [&first](std::string_view part)
                       {
                           if (first)
                           {
                               first = false;
                               return sameNoCase(part, "application/xml") || sameNoCase(part, "text/xml");
                           }
                           const auto equals = part.find('=');
                           if (equals == std::string_view::npos) return false;
                           if (!sameNoCase(trimmed(part.substr(0, equals)), "charset")) return true;
                           const std::string_view value = unquoted(trimmed(part.substr(equals + 1)));
                           return sameNoCase(value, "utf-8") || sameNoCase(value, "utf8");
                       });
}

std::string cimMappingNamespace(const std::string& manHeader)
{
    // The first "ns=" of a CIM mapping extension decides; a mapping without one lets the next speak.
    std::string digits;
    bool decided = false;
    forEachPart(manHeader, ',',
                [&](std::string_view extension)
                {
                    bool first = true;
                    forEachPart(extension, ';',
                                [&](std::string_view part)
                                {
                                    if (first)
                                    {
                                        first = false;
                                        return sameNoCase(unquoted(part), CIM_MAPPING_URI);
                                    }
                                    if (part.size() < 4 || !sameNoCase(part.substr(0, 3), "ns=")) return true;
                                    const std::string_view text = trimmed(part.substr(3));
                                    if (!text.empty() && text.size() <= 2 &&
                                        std::all_of(text.begin(), text.end(),
                                                    [](unsigned char c) { return std::isdigit(c) != 0; }))
                                        digits = std::string(text);
                                    decided = true;
                                    return false;
                                });
                    return !decided;
                });
    return digits;
}

bool objectHeaderMatches(const std::string& cimObject, const CimRequest& request)
{
    try
    {
        if (request.kind == OperationKind::Intrinsic)
        {
            const Pegasus::CIMNamespaceName nameSpace(Pegasus::String(cimObject.c_str()));
            return !request.nameSpace.isNull() && nameSpace.equal(request.nameSpace);
        }
        const Pegasus::CIMObjectPath path(Pegasus::String(cimObject.c_str()));
        const Pegasus::CIMObjectPath& target = request.target;
        return !path.getNameSpace().isNull() && path.getNameSpace().equal(target.getNameSpace()) &&
               path.getClassName().equal(target.getClassName()) &&
               keysMatch(path.getKeyBindings(), target.getKeyBindings());
    }
    catch (const Pegasus::Exception&)
    {
        return false; // not a namespace name or object path at all
    }
}

} // namespace cimhost
