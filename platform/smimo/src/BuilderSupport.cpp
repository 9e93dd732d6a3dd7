#include "BuilderSupport.h"

#include <Pegasus/Common/CIMFlavor.h>
#include <Pegasus/Common/CIMProperty.h>
#include <Pegasus/Common/CIMQualifier.h>
#include <KVELiPtr.h>

#include <string>

PEGASUS_NAMESPACE_BEGIN

namespace smimo
{

const char* const ARRAY_NAMESPACE = "root/snia";

// CIM timestamps count from 0000-01-01; engine time from 1970-01-01.
static const Uint64 POSIX_EPOCH_IN_CIM_MICROS = PEGASUS_UINT64_LITERAL(62167219200000000);

KVELEngine& engine()
{
    return *KVELEngine::_getInstance();
}

String hostName()
{
    const char* name = KVELEngine::_ZarvoHostNamePtr;
    return String(name ? name : "");
}

String systemName()
{
    const char* name = KVELEngine::_ZarvoSystemNamePtr;
    return String(name ? name : "");
}

String hexID(Uint32 objectID)
{
    return KVELiPtr(objectID).getKeyString(KVELiPtr::RADIX_16);
}

namespace
{

// A String of the engine's text, made again only when the text changed: the host and system
// names go into every path of an enumeration, and decoding them each time cost more than the
// rest of a volume's path.
class CachedName
{
public:
    const String& of(const char* text)
    {
        if (!text) text = "";
        if (!_made || _text != text)
        {
            _text = text;
            _name = String(text);
            _made = true;
        }
        return _name;
    }

private:
    bool _made = false;
    std::string _text;
    String _name;
};

// Kept a thread: Strings shared between threads would contend for their counts.
thread_local CachedName cachedHostName, cachedSystemName;

} // namespace

CIMObjectPath arrayPath(const CIMName& className, const Array<CIMKeyBinding>& keys)
{
    thread_local const CIMNamespaceName arrayNamespace(ARRAY_NAMESPACE);
    return CIMObjectPath(cachedHostName.of(KVELEngine::_ZarvoHostNamePtr), arrayNamespace, className, keys);
}

CIMObjectPath devicePath(const char* className, Uint32 objectID)
{
    // Names made once a thread (see cachedHostName): every volume and drive of an enumeration
    // has such a path.
    thread_local const CIMName systemCreationClassName("SystemCreationClassName"),
        systemNameKey("SystemName"), creationClassName("CreationClassName"), deviceID("DeviceID");
    thread_local const String computerSystem("CIM_ComputerSystem");
    // Devices are of two classes: the last one's name is kept.
    thread_local std::string lastClass;
    thread_local CIMName deviceClass;
    if (lastClass != className)
    {
        deviceClass = CIMName(className);
        lastClass = className;
    }
    // In the order a path keeps them (by name), which spares the path a sorted copy.
    Array<CIMKeyBinding> keys;
    keys.reserveCapacity(4);
    keys.append(CIMKeyBinding(creationClassName, deviceClass.getString(), CIMKeyBinding::STRING));
    keys.append(CIMKeyBinding(deviceID, hexID(objectID), CIMKeyBinding::STRING));
    keys.append(CIMKeyBinding(systemCreationClassName, computerSystem, CIMKeyBinding::STRING));
    keys.append(CIMKeyBinding(systemNameKey, cachedSystemName.of(KVELEngine::_ZarvoSystemNamePtr),
                              CIMKeyBinding::STRING));
    return arrayPath(deviceClass, keys);
}

CIMObjectPath instanceIDPath(const char* className, const String& instanceID)
{
    return instanceIDPath(CIMName(className), instanceID);
}

CIMObjectPath instanceIDPath(const CIMName& className, const String& instanceID)
{
    static const CIMName instanceIDKey("InstanceID");
    Array<CIMKeyBinding> keys;
    keys.append(CIMKeyBinding(instanceIDKey, instanceID, CIMKeyBinding::STRING));
    return arrayPath(className, keys);
}

CIMDateTime timestampFromMpu(MPU_TIME time)
{
    return CIMDateTime(time + POSIX_EPOCH_IN_CIM_MICROS, false);
}

CIMDateTime intervalFromMpu(MPU_TIME length)
{
    return CIMDateTime(length, true);
}

CIMValue operationalStatus(std::initializer_list<Uint16> values)
{
    return CIMValue(Array<Uint16>(values.begin(), Uint32(values.size())));
}

void InstanceFiller::addKeys(const CIMObjectPath& path)
{
    const Array<CIMKeyBinding>& keys = path.getKeyBindings();
    for (Uint32 i = 0; i < keys.size(); i++)
        _add(keys[i].getName(), CIMValue(keys[i].getValue()), true);
}

void InstanceFiller::_add(const CIMName& name, const CIMValue& value, bool isKey)
{
    if (!_propertyList.useThisProperty(name)) return;
    CIMProperty property(name, value);
    if (isKey && _includeQualifiers)
        property.addQualifier(
            CIMQualifier(CIMName("Key"), CIMValue(true),
                         CIMFlavor(CIMFlavor::DISABLEOVERRIDE) + CIMFlavor(CIMFlavor::TOSUBCLASS)));
    _instance.addProperty(property);
}

} // namespace smimo

PEGASUS_NAMESPACE_END
