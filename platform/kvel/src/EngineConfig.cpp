#include <climits>
#include <cstdlib>
#include <unistd.h>
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

const Uint32 MAX_TIME_SCALE = 10000; // job date-times reach the year 9999 after about 290 days at this pace

// KVEL_TIME_SCALE: 1 when unset or empty, 0 when it is not a whole number from 1 to MAX_TIME_SCALE.
Uint32 environmentTimeScale()
{
    std::string text = environment("KVEL_TIME_SCALE");
    if (text.empty()) return 1;
    Uint32 factor = 0;
    for (char digit : text)
    {
        if (digit < '0' || digit > '9') return 0;
        factor = factor * 10 + Uint32(digit - '0');
        if (factor > MAX_TIME_SCALE) return 0;
    }
    return factor;
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

std::string machineHostName()
{
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "localhost";
    return name;
}

} // namespace kvelsim

KVELEngineConfig KVELEngineConfig::fromEnvironment()
{
    KVELEngineConfig config;
    config.arrayDescriptionFile = environment("KVEL_ARRAY");
    config.stateFile = environment("KVEL_STATE");
    config.hostName = environment("KVEL_HOST_NAME");
    for (char c : config.hostName)
        if (c <= ' ' || c == '/' || c == 0x7f || config.hostName.size() > 255)
            throw Exception(
                String(("KVEL_HOST_NAME must be a host name, not '" + config.hostName + "'").c_str()));
    config.ramdiskDirectory = kvelsim::environmentRamdiskDirectory();
    if (!kvelsim::environmentSlot(config.controllerSlot))
    {
        std::string message = "KVEL_SLOT must be 0 or 1, not '" + environment("KVEL_SLOT") + "'";
        throw Exception(String(message.c_str()));
    }
    const Uint32 timeScale = environmentTimeScale();
    if (timeScale == 0)
    {
        std::string message =
            "KVEL_TIME_SCALE must be a whole number from 1 to " + std::to_string(MAX_TIME_SCALE);
        message += ", not '" + environment("KVEL_TIME_SCALE") + "'";
        throw Exception(String(message.c_str()));
    }
    if (timeScale > 1) config.clock = std::make_shared<KVELScaledClock>(timeScale);
    return config;
}

PEGASUS_NAMESPACE_END
