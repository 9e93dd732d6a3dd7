// The pools' capabilities: their element kind and their provider.
#include "StorageCapabilitiesProvider.h"

#include <memory>

#include <Pegasus/Common/CIMParamValue.h>
#include <Pegasus/Common/CIMType.h>
#include <Pegasus/Common/ResponseHandler.h>
#include <Pegasus/Provider/ProviderException.h>
#include <KVELDrive.h>
#include <KVELiPtr.h>
#include <SMIMOBuilders.h>

#include "EngineRecords.h"
#include "InstanceProperties.h"
#include "PoolCapabilities.h"

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

namespace
{

const char* const CAPABILITIES_CLASS = "CIM_StorageCapabilities";
const Uint16 ELEMENT_TYPE_STORAGE_POOL = 5;
const Uint16 SETTING_TYPE_DEFAULT = 2;
const Uint16 SETTING_TYPE_GOAL = 3;
const Uint32 CREATE_SETTING_SUCCESS = 0;
const Uint32 CREATE_SETTING_INVALID_PARAMETER = 5;

std::unique_ptr<KVELPool> requirePool(Uint32 poolID)
{
    std::unique_ptr<KVELPool> pool = fetchRecord<KVELPool>(CLASSID_STORAGEPOOL, poolID);
    if (!pool)
        throw CIMObjectNotFoundException(String("Storage pool 0x") +
                                         KVELiPtr(poolID).getKeyString(KVELiPtr::RADIX_16) +
                                         String(" does not exist"));
    return pool;
}

CIMObjectPath capabilitiesPath(Uint32 poolID)
{
    Array<CIMKeyBinding> keys;
    keys.append(CIMKeyBinding(CIMName("InstanceID"), KVELiPtr(poolID).getKeyString(KVELiPtr::RADIX_16),
                              CIMKeyBinding::STRING));
    return CIMObjectPath(String(KVELEngine::_ZarvoHostNamePtr), CIMNamespaceName("root/snia"),
                         CIMName(CAPABILITIES_CLASS), keys);
}

// One per pool, under the pool's object ID.
class StorageCapabilitiesKind : public ElementKind
{
public:
    StorageCapabilitiesKind()
        : ElementKind(CAPABILITIES_CLASS, "InstanceID", {"CIM_Capabilities", "CIM_ManagedElement"})
    {
    }
    Array<Uint32> objectIDs() const override { return engine().enumerateObjects(CLASSID_STORAGEPOOL); }
    CIMObjectPath path(Uint32 poolID) const override
    {
        requirePool(poolID);
        return capabilitiesPath(poolID);
    }
    CIMInstance instance(Uint32 poolID, Boolean includeQualifiers,
                         const CIMPropertyList& propertyList) const override
    {
        const std::unique_ptr<KVELPool> pool = requirePool(poolID);
        const PoolCapabilities capabilities = poolCapabilities(poolID);
        const KVELVolume& layout = capabilities.defaultLayout;
        const CIMObjectPath path = capabilitiesPath(poolID);

        CIMInstance instance{CIMName(CAPABILITIES_CLASS)};
        InstanceProperties properties(instance, includeQualifiers, propertyList);
        properties.addKey("InstanceID", CIMValue(path.getKeyBindings()[0].getValue()));
        properties.add("ElementName", CIMValue(String("Layouts of the pool ") + String(pool->Name.c_str())));
        properties.add("ElementType", CIMValue(ELEMENT_TYPE_STORAGE_POOL));
        properties.add("NoSinglePointOfFailure", CIMValue(Boolean(capabilities.noSinglePointOfFailure)));
        properties.add("NoSinglePointOfFailureDefault", CIMValue(Boolean(layout.NoSinglePointOfFailure)));
        properties.add("DataRedundancyMin", CIMValue(Uint16(1)));
        properties.add("DataRedundancyMax", CIMValue(capabilities.dataRedundancyMax));
        properties.add("DataRedundancyDefault", CIMValue(Uint16(layout.DataRedundancy)));
        properties.add("PackageRedundancyMin", CIMValue(Uint16(0)));
        properties.add("PackageRedundancyMax", CIMValue(capabilities.packageRedundancyMax));
        properties.add("PackageRedundancyDefault", CIMValue(Uint16(layout.PackageRedundancy)));
        properties.add("ExtentStripeLengthDefault", CIMValue(Uint16(layout.StripeWidth)));
        // The default layout has no parity.
        properties.add("ParityLayoutDefault", CIMValue(CIMTYPE_UINT16, false));
        properties.add("UserDataStripeDepthDefault", CIMValue(Uint64(layout.ChunkSize) * 512));
        instance.setPath(path);
        return instance;
    }
};

} // namespace

const ElementKind& storageCapabilities()
{
    static const StorageCapabilitiesKind kind;
    return kind;
}

void StorageCapabilitiesProvider::invokeMethod(const OperationContext&, const CIMObjectPath& objectReference,
                                               const CIMName& methodName,
                                               const Array<CIMParamValue>& inParameters,
                                               MethodResultResponseHandler& handler)
{
    if (!methodName.equal(CIMName("CreateSetting")))
        throw CIMMethodNotFoundException(methodName.getString() + String(" is not a method of ") +
                                         String(CAPABILITIES_CLASS));
    handler.processing();
    const Uint32 poolID = requireObjectID(objectReference);
    const std::unique_ptr<KVELPool> pool = requirePool(poolID);

    Uint16 settingType = SETTING_TYPE_DEFAULT;
    for (Uint32 i = 0; i < inParameters.size(); ++i)
    {
        if (!CIMName(inParameters[i].getParameterName()).equal(CIMName("SettingType"))) continue;
        const CIMValue& value = inParameters[i].getValue();
        if (value.isNull()) continue;
        if (value.isArray() || value.getType() != CIMTYPE_UINT16)
            throw CIMInvalidParameterException("SettingType must be a uint16 value");
        value.get(settingType);
    }
    if (settingType != SETTING_TYPE_DEFAULT && settingType != SETTING_TYPE_GOAL)
    {
        handler.deliver(CIMValue(CREATE_SETTING_INVALID_PARAMETER));
        handler.complete();
        return;
    }

    KVELVolume layout = poolCapabilities(poolID).defaultLayout;
    layout.Name = "New setting for the pool " + pool->Name;
    if (layout.Name.size() > 64) layout.Name = "New volume setting";
    Uint32 settingID = KVEL_NULL_OBJECT_ID;
    const Uint32 rc = engine().createSetting(layout, settingID);
    if (rc != KVEL_RC_SUCCESS)
        throw CIMOperationFailedException(String("The array made no setting: ") + engineText(rc));
    handler.deliverParamValue(
        CIMParamValue(String("NewSetting"), CIMValue(CIMObjectPath(StorageSettingPath(settingID))), true));
    handler.deliver(CIMValue(CREATE_SETTING_SUCCESS));
    handler.complete();
}

} // namespace inventory

PEGASUS_NAMESPACE_END
