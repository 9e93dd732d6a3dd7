#include "ElementKind.h"

#include <SMIMOBuilders.h>

#include "EngineRecords.h"
#include "InstanceProperties.h"
#include "VolumeIdentifier.h"

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

namespace
{

bool contains(const std::vector<CIMName>& names, const CIMName& name)
{
    for (const CIMName& candidate : names)
        if (candidate.equal(name)) return true;
    return false;
}

} // namespace

ElementKind::ElementKind(const char* className, const char* keyName, const std::vector<const char*>& lineage,
                         const std::vector<const char*>& aliases)
    : _className(className), _keyName(keyName)
{
    for (const char* name : lineage)
        _lineage.push_back(CIMName(name));
    for (const char* name : aliases)
        _aliases.push_back(CIMName(name));
}

ElementKind::~ElementKind() {}

bool ElementKind::isA(const CIMName& className) const
{
    return _className.equal(className) || contains(_lineage, className);
}

bool ElementKind::names(const CIMName& className) const
{
    return _className.equal(className) || contains(_aliases, className);
}

Uint32 ElementKind::objectIDOf(const CIMObjectPath& path) const
{
    return names(path.getClassName()) ? keyObjectID(path, _keyName) : KVEL_NULL_OBJECT_ID;
}

namespace
{

// DMTF values of CIM_StoragePool.Usage.
const Uint16 POOL_USAGE_OTHER = 1;
const Uint16 POOL_USAGE_UNRESTRICTED = 2;
const Uint16 POOL_USAGE_RESERVED_FOR_SYSTEM = 3;
const Uint16 POOL_USAGE_RESERVED_FOR_SPARING = 8;

// Only the base pool is concrete: volumes are made in it. The other three hold raw drives
// (primordial), each for one purpose of the array's own.
void addPoolUsage(Uint32 poolID, InstanceProperties& properties)
{
    switch (poolID)
    {
    case KVELPool::BASE_POOL_ID:
        properties.add("Usage", CIMValue(POOL_USAGE_UNRESTRICTED));
        break;
    case KVELPool::SPARE_POOL_ID:
        properties.add("Usage", CIMValue(POOL_USAGE_RESERVED_FOR_SPARING));
        break;
    case KVELPool::AVAILABLE_POOL_ID: // drives the array gives to the base pool
        properties.add("Usage", CIMValue(POOL_USAGE_RESERVED_FOR_SYSTEM));
        break;
    default:
        properties.add("Usage", CIMValue(POOL_USAGE_OTHER));
        properties.add("OtherUsageDescription", CIMValue(String("Failed and downed drives")));
        break;
    }
}

// Pools, volumes and drives are described by the managed-object library's builders.
class StoragePoolKind : public ElementKind
{
public:
    StoragePoolKind()
        : ElementKind(
              "CIM_StoragePool", "InstanceID",
              {"CIM_ResourcePool", "CIM_LogicalElement", "CIM_ManagedSystemElement", "CIM_ManagedElement"})
    {
    }
    Array<Uint32> objectIDs() const override { return engine().enumerateObjects(CLASSID_STORAGEPOOL); }
    CIMObjectPath path(Uint32 objectID) const override { return StoragePoolPath(objectID); }
    CIMInstance instance(Uint32 objectID, Boolean includeQualifiers,
                         const CIMPropertyList& propertyList) const override
    {
        CIMInstance pool = StoragePoolInstance(includeQualifiers, propertyList, objectID);
        InstanceProperties properties(pool, includeQualifiers, propertyList);
        addPoolUsage(objectID, properties);
        return pool;
    }
};

// The superclasses of a device, after its own intermediate classes.
std::vector<const char*> deviceLineage(const char* intermediate)
{
    return {intermediate,         "CIM_LogicalDevice",        "CIM_EnabledLogicalElement",
            "CIM_LogicalElement", "CIM_ManagedSystemElement", "CIM_ManagedElement"};
}

class StorageVolumeKind : public ElementKind
{
public:
    StorageVolumeKind() : ElementKind("CIM_StorageVolume", "DeviceID", deviceLineage("CIM_StorageExtent")) {}
    Array<Uint32> objectIDs() const override { return volumeRecordIDs(false); }
    CIMObjectPath path(Uint32 objectID) const override { return StorageVolumePath(objectID); }
    CIMInstance instance(Uint32 objectID, Boolean includeQualifiers,
                         const CIMPropertyList& propertyList) const override
    {
        CIMInstance volume = StorageVolumeInstance(includeQualifiers, propertyList, objectID);
        InstanceProperties properties(volume, includeQualifiers, propertyList);
        properties.replace(
            "Name", CIMValue(String(volumeNaaName(KVELEngine::_ZarvoSystemNamePtr, objectID).c_str())));
        properties.add("NameFormat", CIMValue(VOLUME_NAME_FORMAT_NAA));
        properties.add("NameNamespace", CIMValue(VOLUME_NAME_NAMESPACE_VPD83_TYPE3));
        return volume;
    }
};

class DiskDriveKind : public ElementKind
{
public:
    DiskDriveKind() : ElementKind("CIM_DiskDrive", "DeviceID", deviceLineage("CIM_MediaAccessDevice")) {}
    Array<Uint32> objectIDs() const override { return engine().enumerateObjects(CLASSID_DRIVE); }
    CIMObjectPath path(Uint32 objectID) const override { return DiskDrivePath(objectID); }
    CIMInstance instance(Uint32 objectID, Boolean includeQualifiers,
                         const CIMPropertyList& propertyList) const override
    {
        return DiskDriveInstance(includeQualifiers, propertyList, objectID);
    }
};

} // namespace

const ElementKind& storagePools()
{
    static const StoragePoolKind kind;
    return kind;
}

const ElementKind& storageVolumes()
{
    static const StorageVolumeKind kind;
    return kind;
}

const ElementKind& diskDrives()
{
    static const DiskDriveKind kind;
    return kind;
}

} // namespace inventory

PEGASUS_NAMESPACE_END
