// Engine settings that come from the process environment.
#ifndef KVEL_EngineEnvironment_h
#define KVEL_EngineEnvironment_h

#include <string>
#include <KVELTypes.h>

PEGASUS_NAMESPACE_BEGIN

namespace kvelsim
{

// KVEL_RAMDISK_DIR, else TMPDIR, else /tmp.
std::string environmentRamdiskDirectory();
// KVEL_SLOT as 0 or 1; false when it is set to anything else.
bool environmentSlot(Uint32& slot);
// The name of the machine the engine runs on (gethostname), "localhost" when it has none.
std::string machineHostName();

} // namespace kvelsim

PEGASUS_NAMESPACE_END

#endif
