// Result code texts and the engine configuration (object pointers beyond 32 bits are the inventory
// tests', read from a served path).
#include <cstdlib>
#include <set>
#include <string>
#include <Pegasus/Common/Exception.h>
#include <KVELiPtr.h>
#include "KvelTestSupport.h"

using namespace Pegasus;
using namespace kveltest;

namespace
{

TEST(kvelIdentifiers, EveryResultCodeHasItsOwnText)
{
    std::set<std::string> texts;
    for (Uint32 code = 0; code <= KVEL_RC_OUT_OF_ORDER; ++code)
    {
        EXPECT_EQ(code, KVELErrorCodes::getIndex(code));
        texts.insert(KVELErrorCodes::getTextForIndex(code));
    }
    EXPECT_EQ(44u, texts.size());
    EXPECT_STREQ("unknown engine result code",
                 KVELErrorCodes::getTextForIndex(KVELErrorCodes::getIndex(100000)));
    EXPECT_STREQ("unknown engine result code", KVELErrorCodes::getTextForIndex(9999));
}

// cimhost hands its state and array files to the engine through KVEL_STATE and KVEL_ARRAY, which
// the integration and stress tests use; the other two variables are read here.
TEST(kvelIdentifiers, ConfigurationFromTheEnvironment)
{
    ::setenv("KVEL_RAMDISK_DIR", "/rd", 1);
    ::setenv("KVEL_SLOT", "1", 1);
    KVELEngineConfig config = KVELEngineConfig::fromEnvironment();
    EXPECT_EQ("/rd", config.ramdiskDirectory);
    EXPECT_EQ(1u, config.controllerSlot);
    ::setenv("KVEL_SLOT", "2", 1);
    EXPECT_THROW(KVELEngineConfig::fromEnvironment(), Exception);
    ::unsetenv("KVEL_RAMDISK_DIR");
    ::unsetenv("KVEL_SLOT");
    EXPECT_EQ(0u, KVELEngineConfig::fromEnvironment().controllerSlot);
}

} // namespace
