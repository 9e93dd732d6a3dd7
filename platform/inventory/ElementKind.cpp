#include "ElementKind.h"

#include <SMIMOBuilders.h>

#include "EngineRecords.h"
#include "InstanceProperties.h"

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

// Pools, volumes and drives are described by the managed-object library's builders, the same
// that the storage configuration module uses: an element has one identity whichever module serves it.
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
        return StoragePoolInstance(includeQualifiers, propertyList, objectID);
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
        return StorageVolumeInstance(includeQualifiers, propertyList, objectID);
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
