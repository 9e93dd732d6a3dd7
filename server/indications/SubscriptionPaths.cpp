#include "SubscriptionPaths.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

namespace cimhost
{

namespace
{

using Pegasus::CIMKeyBinding;
using Pegasus::CIMObjectPath;

CIMObjectPath withHostAndNamespace(const CIMObjectPath& path, const Pegasus::String& host,
                                   const Pegasus::CIMNamespaceName& nameSpace)
{
    Pegasus::Array<CIMKeyBinding> keys = path.getKeyBindings();
    for (Pegasus::Uint32 i = 0; i < keys.size(); ++i)
        if (keys[i].getType() == CIMKeyBinding::REFERENCE)
            keys[i].setValue(
                withHostAndNamespace(CIMObjectPath(keys[i].getValue()), host, nameSpace).toString());
    return CIMObjectPath(host, nameSpace, path.getClassName(), keys);
}

std::string folded(const Pegasus::String& text)
{
    std::string out(text.getCString());
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

} // namespace

CIMObjectPath localPath(const CIMObjectPath& path)
{
    return withHostAndNamespace(path, Pegasus::String(), Pegasus::CIMNamespaceName());
}

CIMObjectPath servedPath(const CIMObjectPath& path, const Pegasus::String& host,
                         const Pegasus::CIMNamespaceName& nameSpace)
{
    return withHostAndNamespace(path, host, nameSpace);
}

std::string pathKey(const CIMObjectPath& path)
{
    std::vector<std::pair<std::string, std::string>> keys;
    const Pegasus::Array<CIMKeyBinding>& bindings = path.getKeyBindings();
    for (Pegasus::Uint32 i = 0; i < bindings.size(); ++i)
    {
        const CIMKeyBinding& key = bindings[i];
        std::string value;
        switch (key.getType())
        {
        case CIMKeyBinding::REFERENCE:
            value = "(" + pathKey(CIMObjectPath(key.getValue())) + ")";
            break;
        case CIMKeyBinding::BOOLEAN:
            value = folded(key.getValue());
            break;
        default:
            value = '"';
            for (char c : std::string(key.getValue().getCString()))
            {
                if (c == '"' || c == '\\') value += '\\';
                value += c;
            }
            value += '"';
        }
        keys.emplace_back(folded(key.getName().getString()), value);
    }
    std::sort(keys.begin(), keys.end());
    std::string out = folded(path.getClassName().getString());
    for (const auto& [name, value] : keys)
        out += "," + name + "=" + value;
    return out;
}

} // namespace cimhost
