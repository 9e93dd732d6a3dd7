// Result code texts, object pointers and the engine configuration.
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

TEST(kvelIdentifiers, ObjectPointersInDecimalStayWithin32Bits)
{
    EXPECT_EQ(4294967295u, KVELiPtr::parse("4294967295", KVELiPtr::RADIX_10));
    for (const char* bad : {"4294967296", "3A", ""})
        EXPECT_EQ(KVEL_NULL_OBJECT_ID, KVELiPtr::parse(bad, KVELiPtr::RADIX_10)) << bad;
}

TEST(kvelIdentifiers, ConfigurationFromTheEnvironment)
{
    ::setenv("KVEL_ARRAY", "/a.json", 1);
    ::setenv("KVEL_STATE", "/s.json", 1);
    ::setenv("KVEL_RAMDISK_DIR", "/rd", 1);
    ::setenv("KVEL_SLOT", "1", 1);
    KVELEngineConfig config = KVELEngineConfig::fromEnvironment();
    EXPECT_EQ("/a.json", config.arrayDescriptionFile);
    EXPECT_EQ("/s.json", config.stateFile);
    EXPECT_EQ("/rd", config.ramdiskDirectory);
    EXPECT_EQ(1u, config.controllerSlot);
    EXPECT_FALSE(config.clock);
    ::setenv("KVEL_SLOT", "2", 1);
    EXPECT_THROW(KVELEngineConfig::fromEnvironment(), Exception);
    for (const char* name : {"KVEL_ARRAY", "KVEL_STATE", "KVEL_RAMDISK_DIR", "KVEL_SLOT"})
        ::unsetenv(name);
    EXPECT_EQ("", KVELEngineConfig::fromEnvironment().stateFile);
    EXPECT_EQ(0u, KVELEngineConfig::fromEnvironment().controllerSlot);
}

} // namespace
