#include <cstdlib>
#include <Pegasus/Common/Exception.h>
#include <KVELEngine.h>
#include "EngineEnvironment.h"

PEGASUS_NAMESPACE_BEGIN

namespace
{
std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}
} // namespace

namespace kvelsim
{

std::string environmentRamdiskDirectory()
{
    std::string directory = environment("KVEL_RAMDISK_DIR");
    if (directory.empty()) directory = environment("TMPDIR");
    return directory.empty() ? "/tmp" : directory;
}

bool environmentSlot(Uint32& slot)
{
    std::string text = environment("KVEL_SLOT");
    slot = 0;
    if (text.empty() || text == "0") return true;
    if (text == "1")
    {
        slot = 1;
        return true;
    }
    return false;
}

} // namespace kvelsim

KVELEngineConfig KVELEngineConfig::fromEnvironment()
{
    KVELEngineConfig config;
    config.arrayDescriptionFile = environment("KVEL_ARRAY");
    config.stateFile = environment("KVEL_STATE");
    config.ramdiskDirectory = kvelsim::environmentRamdiskDirectory();
    if (!kvelsim::environmentSlot(config.controllerSlot))
    {
        std::string message = "KVEL_SLOT must be 0 or 1, not '" + environment("KVEL_SLOT") + "'";
        throw Exception(String(message.c_str()));
    }
    return config;
}

PEGASUS_NAMESPACE_END
