#include "CimHeaders.h"

#include <algorithm>
#include <cctype>
#include <vector>

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

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string unquoted(const std::string& text)
{
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
    return text;
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;)
    {
        const auto end = text.find(separator, start);
        parts.push_back(
            trimmed(text.substr(start, end == std::string::npos ? std::string::npos : end - start)));
        if (end == std::string::npos) return parts;
        start = end + 1;
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
    const std::vector<std::string> parts = split(contentType, ';');
    const std::string mediaType = lowered(parts.front());
    if (mediaType != "application/xml" && mediaType != "text/xml") return false;
    for (size_t i = 1; i < parts.size(); ++i)
    {
        const auto equals = parts[i].find('=');
        if (equals == std::string::npos) return false;
        const std::string name = lowered(trimmed(parts[i].substr(0, equals)));
        const std::string value = lowered(unquoted(trimmed(parts[i].substr(equals + 1))));
        if (name == "charset" && value != "utf-8" && value != "utf8") return false;
    }
    return true;
}

std::string cimMappingNamespace(const std::string& manHeader)
{
    for (const std::string& extension : split(manHeader, ','))
    {
        const std::vector<std::string> parts = split(extension, ';');
        if (lowered(unquoted(parts.front())) != CIM_MAPPING_URI) continue;
        for (size_t i = 1; i < parts.size(); ++i)
        {
            const std::string& part = parts[i];
            if (part.size() < 4 || lowered(part.substr(0, 3)) != "ns=") continue;
            const std::string digits = trimmed(part.substr(3));
            const bool numeric = !digits.empty() && digits.size() <= 2 &&
                                 std::all_of(digits.begin(), digits.end(),
                                             [](unsigned char c) { return std::isdigit(c) != 0; });
            return numeric ? digits : std::string();
        }
    }
    return std::string();
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
