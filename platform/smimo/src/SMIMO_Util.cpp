#include <SMIMO_Util.h>

#include <Pegasus/Common/Exception.h>
#include <Pegasus/Provider/ProviderException.h>
#include <KVELiPtr.h>

PEGASUS_NAMESPACE_BEGIN

namespace
{

String quoted(const String& name)
{
    return String("'") + name + String("'");
}

// Key text that reads as a 32-bit hexadecimal number: the engine's reader gives 0 for text it
// rejects, so a 0 result stands for a number only when the digits are all zeros.
bool isZeroLiteral(const char* text)
{
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text += 2;
    if (*text == '\0') return false;
    for (; *text; ++text)
        if (*text != '0') return false;
    return true;
}

} // namespace

// Callers may bind it to a reference (comparisons in tests), so it needs a home.
const Uint32 SMIMO_Util::NOT_FOUND;

Uint32 SMIMO_Util::findParamIndex(const Array<CIMParamValue>& inParameters, const char* name)
{
    return name ? findParamIndex(inParameters, String(name)) : NOT_FOUND;
}

Uint32 SMIMO_Util::findParamIndex(const Array<CIMParamValue>& inParameters, const String& name)
{
    for (Uint32 i = 0; i < inParameters.size(); i++)
    {
        if (!inParameters[i].isUninitialized() &&
            String::equalNoCase(inParameters[i].getParameterName(), name))
            return i;
    }
    return NOT_FOUND;
}

CIMValue SMIMO_Util::getParamValue(const Array<CIMParamValue>& inParameters, const char* name)
{
    return getParamValue(inParameters, String(name ? name : ""));
}

CIMValue SMIMO_Util::getParamValue(const Array<CIMParamValue>& inParameters, const String& name)
{
    const Uint32 index = findParamIndex(inParameters, name);
    if (index == NOT_FOUND) throw CIMInvalidParameterException(String("Missing parameter ") + quoted(name));
    return inParameters[index].getValue();
}

String SMIMO_Util::getKeyStringValue(const CIMObjectPath& path, const CIMName& keyName)
{
    const Array<CIMKeyBinding>& keys = path.getKeyBindings();
    for (Uint32 i = 0; i < keys.size(); i++)
    {
        if (String::equalNoCase(keys[i].getName().getString(), keyName.getString()))
            return keys[i].getValue();
    }
    throw CIMInvalidParameterException(String("Object path has no key ") + quoted(keyName.getString()));
}

Uint32 SMIMO_Util::getIptrFromPath(const CIMObjectPath& path, const char* keyName)
{
    if (!keyName || !CIMName::legal(String(keyName)))
        throw CIMInvalidParameterException(String("Object path has no key ") +
                                           quoted(String(keyName ? keyName : "")));
    const String text = getKeyStringValue(path, CIMName(keyName));
    const CString bytes = text.getCString();
    const Uint32 iptr = KVELiPtr::parse(bytes, KVELiPtr::RADIX_16);
    if (iptr == KVEL_NULL_OBJECT_ID && !isZeroLiteral(bytes))
        throw CIMInvalidParameterException(String("Key ") + quoted(String(keyName)) + String(" value ") +
                                           quoted(text) + String(" is not a hexadecimal 32-bit number"));
    return iptr;
}

Uint32 SMIMO_Util::findPropertyIndexIfQualified(const CIMInstance& instance,
                                                const CIMPropertyList& propertyList, const char* name)
{
    if (instance.isUninitialized() || !name || !CIMName::legal(String(name))) return PEG_NOT_FOUND;
    const CIMName propertyName(name);
    if (!propertyList.useThisProperty(propertyName)) return PEG_NOT_FOUND;
    return instance.findProperty(propertyName);
}

PEGASUS_NAMESPACE_END
