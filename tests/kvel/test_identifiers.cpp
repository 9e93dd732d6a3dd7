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
std::string text(const String& s)
{
    return static_cast<const char*>(s.getCString());
}

TEST(kvelIdentifiers, EveryResultCodeHasItsOwnText)
{
    std::set<std::string> texts;
    for (Uint32 code = 0; code <= KVEL_RC_OUT_OF_ORDER; ++code)
    {
        EXPECT_EQ(code, KVELErrorCodes::getIndex(code));
        texts.insert(KVELErrorCodes::getTextForIndex(code));
    }
    EXPECT_EQ(44u, texts.size());
    EXPECT_STREQ("unknown engine result code", KVELErrorCodes::getTextForIndex(KVELErrorCodes::getIndex(100000)));
    EXPECT_STREQ("unknown engine result code", KVELErrorCodes::getTextForIndex(9999));
}

TEST(kvelIdentifiers, ObjectPointerTextForms)
{
    for (const char* form : {"3A000005", "3a000005", "0x3A000005", "0X3a000005", "003A000005"})
        EXPECT_EQ(0x3A000005u, KVELiPtr(form, KVELiPtr::RADIX_16).getIPtr()) << form;
    for (const char* bad : {"", "0x", "3A00000G", "1FFFFFFFF", " 3A000005", "-1"})
        EXPECT_EQ(KVEL_NULL_OBJECT_ID, KVELiPtr::parse(bad, KVELiPtr::RADIX_16)) << bad;
    EXPECT_EQ(KVEL_NULL_OBJECT_ID, KVELiPtr::parse(nullptr, KVELiPtr::RADIX_16));
    EXPECT_EQ(4294967295u, KVELiPtr::parse("4294967295", KVELiPtr::RADIX_10));
    EXPECT_EQ(KVEL_NULL_OBJECT_ID, KVELiPtr::parse("4294967296", KVELiPtr::RADIX_10));
    EXPECT_EQ(KVEL_NULL_OBJECT_ID, KVELiPtr::parse("3A", KVELiPtr::RADIX_10));

    EXPECT_EQ("973078533", text(KVELiPtr(0x3A000005).getKeyString(KVELiPtr::RADIX_10)));
    EXPECT_EQ("5", text(KVELiPtr(5).getKeyString(KVELiPtr::RADIX_16)));
    EXPECT_EQ(KVEL_NULL_OBJECT_ID, KVELObjectID("zz").getObjectID());
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
