#include <SMIMOBuilders.h>

#include "BuilderSupport.h"

PEGASUS_NAMESPACE_BEGIN

namespace
{

const char* const DRIVE_CLASS = "CIM_DiskDrive";

CIMValue driveStatus(KVELDrive::DriveStateEnum state)
{
    switch (state)
    {
    case KVELDrive::DRIVE_STATE_ONLINE:
        return smimo::operationalStatus({smimo::OS_OK});
    case KVELDrive::DRIVE_STATE_DOWN:
        return smimo::operationalStatus({smimo::OS_STOPPED});
    case KVELDrive::DRIVE_STATE_INITIALIZING:
        return smimo::operationalStatus({smimo::OS_IN_SERVICE});
    case KVELDrive::DRIVE_STATE_FAILED:
        return smimo::operationalStatus({smimo::OS_ERROR});
    }
    return smimo::operationalStatus({smimo::OS_UNKNOWN});
}

std::unique_ptr<KVELDrive> fetchDrive(Uint32 driveID)
{
    return smimo::fetchRecord<KVELDrive>(CLASSID_DRIVE, driveID, "Disk drive");
}

} // namespace

DiskDrivePath::DiskDrivePath(Uint32 driveID)
    : CIMObjectPath(smimo::devicePath(DRIVE_CLASS, fetchDrive(driveID)->getObjectID()))
{
}

DiskDriveInstance::DiskDriveInstance(Boolean includeQualifiers, const CIMPropertyList& propertyList,
                                     Uint32 driveID)
    : CIMInstance(CIMName(DRIVE_CLASS))
{
    const std::unique_ptr<KVELDrive> drive = fetchDrive(driveID);
    const CIMObjectPath path = smimo::devicePath(DRIVE_CLASS, driveID);
    smimo::InstanceFiller filler(*this, includeQualifiers, propertyList);

    filler.addKeys(path);
    String elementName("Disk drive in slot ");
    elementName.appendPrintf("%u", Uint32(drive->Slot));
    filler.add("ElementName", CIMValue(elementName));
    filler.add("Name", CIMValue(drive->SerialNumber.empty() ? smimo::hexID(driveID)
                                                            : String(drive->SerialNumber.c_str())));
    filler.add("Description", CIMValue(String((drive->Vendor + " " + drive->Model).c_str())));
    filler.add("OperationalStatus", driveStatus(drive->State));
    filler.add("DefaultBlockSize", CIMValue(smimo::BLOCK_SIZE));
    // MaxMediaSize counts kilobytes of 1000 bytes.
    filler.add("MaxMediaSize", CIMValue(Uint64(drive->CapacityBlocks * smimo::BLOCK_SIZE / 1000)));
    setPath(path);
}

PEGASUS_NAMESPACE_END
