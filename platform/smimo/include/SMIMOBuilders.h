// Paths and instances of the array's objects, read from the engine. Every path carries the
// array's host name and the namespace "root/snia". Builders for an object ID that names no
// record of their class throw CIMObjectNotFoundException. Key properties carry the "Key"
// qualifier when qualifiers are asked for; a property list excludes keys like any property.
#ifndef SMIMO_SMIMOBuilders_h
#define SMIMO_SMIMOBuilders_h

#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMPropertyList.h>
#include <KVELTask.h>
#include <KVELVolume.h>
#include <SMIMOTypes.h>

PEGASUS_NAMESPACE_BEGIN

// CIM_ConcreteJob.InstanceID="<task key in upper-case hexadecimal>".
class SMIMO_LINKAGE ConcreteJobPath : public CIMObjectPath
{
public:
    explicit ConcreteJobPath(Uint32 taskID);
    // From a record already fetched; the engine is not asked.
    explicit ConcreteJobPath(const KVELTask& task);
};

// A CIM_ConcreteJob with what job-polling clients read (InstanceID, Name, ElementName,
// Description, JobState, OperationalStatus, PercentComplete, Priority, TimeSubmitted,
// StartTime, ElapsedTime, TimeOfLastStateChange, DeleteOnCompletion, TimeBeforeRemoval,
// ErrorCode/ErrorDescription when failed, and the schedule of scheduled tasks), filtered by the
// property list. The path is set.
class SMIMO_LINKAGE ConcreteJobInstance : public CIMInstance
{
public:
    ConcreteJobInstance(Boolean includeQualifiers, const CIMPropertyList& propertyList, Uint32 taskID);
    // instanceID: the job's "InstanceID" key text; a key that names no task throws
    // CIMObjectNotFoundException.
    ConcreteJobInstance(Boolean includeQualifiers, const CIMPropertyList& propertyList,
                        const String& instanceID);
    // From a record already fetched, with every property; the engine is not asked. A null task
    // throws CIMObjectNotFoundException.
    ConcreteJobInstance(Boolean includeQualifiers, const KVELTask* task);
};

// CIM_DiskDrive / CIM_StorageVolume: SystemCreationClassName="CIM_ComputerSystem",
// SystemName=<system name>, CreationClassName=<class>, DeviceID=<object ID in hexadecimal>.
class SMIMO_LINKAGE DiskDrivePath : public CIMObjectPath
{
public:
    explicit DiskDrivePath(Uint32 driveID);
};

class SMIMO_LINKAGE DiskDriveInstance : public CIMInstance
{
public:
    DiskDriveInstance(Boolean includeQualifiers, const CIMPropertyList& propertyList, Uint32 driveID);
};

class SMIMO_LINKAGE StorageVolumePath : public CIMObjectPath
{
public:
    explicit StorageVolumePath(Uint32 volumeID);
};

class SMIMO_LINKAGE StorageVolumeInstance : public CIMInstance
{
public:
    StorageVolumeInstance(Boolean includeQualifiers, const CIMPropertyList& propertyList, Uint32 volumeID);
};

// CIM_StoragePool.InstanceID="<pool object ID in hexadecimal>", e.g. "37000003".
class SMIMO_LINKAGE StoragePoolPath : public CIMObjectPath
{
public:
    explicit StoragePoolPath(Uint32 poolID);
};

// A CIM_StoragePool (InstanceID, PoolID, ElementName, TotalManagedSpace and
// RemainingManagedSpace in bytes, Primordial, OperationalStatus), filtered by the property
// list. The path is set.
class SMIMO_LINKAGE StoragePoolInstance : public CIMInstance
{
public:
    StoragePoolInstance(Boolean includeQualifiers, const CIMPropertyList& propertyList, Uint32 poolID);
};

// CIM_StorageSettingWithHints.InstanceID="<setting record ID in hexadecimal>". Only volume setting
// records (IsSetting) have one; a record that has become a volume is not found.
class SMIMO_LINKAGE StorageSettingPath : public CIMObjectPath
{
public:
    explicit StorageSettingPath(Uint32 settingID);
};

// A CIM_StorageSettingWithHints of a volume setting record: the layout goals and hints a client
// prepared for a volume creation, filtered by the property list. The path is set.
class SMIMO_LINKAGE StorageSettingInstance : public CIMInstance
{
public:
    StorageSettingInstance(Boolean includeQualifiers, const CIMPropertyList& propertyList, Uint32 settingID);
    // From a record already fetched (or changed and not yet written back); the engine is not asked.
    // A record that is not a setting record throws CIMObjectNotFoundException.
    StorageSettingInstance(Boolean includeQualifiers, const CIMPropertyList& propertyList,
                           const KVELVolume& setting);
};

PEGASUS_NAMESPACE_END

#endif
