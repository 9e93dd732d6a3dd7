// The name by which hosts tell the array's volumes apart: a SCSI NAA identifier, as a LUN reports
// it in its device identification page.
#ifndef SMIMO_VolumeIdentifier_h
#define SMIMO_VolumeIdentifier_h

#include <string>

#include <Pegasus/Common/Config.h>

PEGASUS_NAMESPACE_BEGIN

namespace smimo
{

// DMTF values of CIM_StorageVolume.NameFormat and NameNamespace for such a name: format NAA, in
// the namespace of device identification designators of type 3 (NAA).
const Uint16 VOLUME_NAME_FORMAT_NAA = 9;
const Uint16 VOLUME_NAME_NAMESPACE_VPD83_TYPE3 = 2;

// 16 upper-case hexadecimal digits, the same for a volume for as long as it exists and across
// restarts, and different for every volume of the array and, but for a 1 in 2^28 chance, of any
// other array.
std::string volumeNaaName(const std::string& systemName, Uint32 volumeID);

} // namespace smimo

PEGASUS_NAMESPACE_END

#endif
