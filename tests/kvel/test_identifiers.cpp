// Result code texts, hexadecimal text, object pointers, records and the engine configuration.
#include <cstdlib>
#include <set>
#include <string>
#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Provider/ProviderException.h>
#include <KVELMessageHeader.h>
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
    EXPECT_EQ(KVELErrorCodes::getIndex(44), KVELErrorCodes::getIndex(100000));
    EXPECT_STREQ("unknown engine result code", KVELErrorCodes::getTextForIndex(KVELErrorCodes::getIndex(44)));
    EXPECT_STREQ("unknown engine result code", KVELErrorCodes::getTextForIndex(9999));
    EXPECT_STREQ("insufficient free capacity in the pool", KVELErrorCodes::getTextForIndex(13));
}

TEST(kvelIdentifiers, HexadecimalTextOfKeysAndBuffers)
{
    EXPECT_EQ(KVELKey({0x0A, 0x1B, 0xFF}), ManagedObject::hexToBin("0a1BfF"));
    EXPECT_EQ(KVELKey({0x0A, 0x1B}), ManagedObject::hexToBin(String("0A1B")));
    EXPECT_TRUE(ManagedObject::hexToBin("0A1").empty());
    EXPECT_TRUE(ManagedObject::hexToBin("0G").empty());
    EXPECT_TRUE(ManagedObject::hexToBin(static_cast<const char*>(nullptr)).empty());
    EXPECT_EQ("00A0FF", text(ManagedObject::binToHex({0x00, 0xA0, 0xFF})));
    const Uint8 buffer[] = {0x0A, 0x1B, 0xC3};
    EXPECT_EQ("0A1BC3", text(KVELMessageHeader::hexifiedString(buffer, 3)));
    EXPECT_EQ("", text(KVELMessageHeader::hexifiedString(buffer, 0)));
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

    KVELiPtr pointer(0x3A000005);
    EXPECT_EQ(CLASSID_VOLUME, pointer.getClassID());
    EXPECT_EQ("3A000005", text(pointer.getKeyString(KVELiPtr::RADIX_16)));
    EXPECT_EQ("973078533", text(pointer.getKeyString(KVELiPtr::RADIX_10)));
    EXPECT_EQ("5", text(KVELiPtr(5).getKeyString(KVELiPtr::RADIX_16)));
    EXPECT_EQ(0x38000001u, Uint32(KVELObjectID(String("38000001"))));
    EXPECT_EQ(KVEL_NULL_OBJECT_ID, KVELObjectID("zz").getObjectID());
    EXPECT_EQ(0x38000001u, KVELiPtr(String("0x38000001"), KVELiPtr::RADIX_16).getIPtr());
}

class kvelComputerSystems : public KvelEngineTest
{
protected:
    static CIMObjectPath pathNamed(const char* key, const char* name)
    {
        Array<CIMKeyBinding> keys;
        keys.append(CIMKeyBinding(CIMName("CreationClassName"), "CIM_ComputerSystem", CIMKeyBinding::STRING));
        keys.append(CIMKeyBinding(CIMName(key), name, CIMKeyBinding::STRING));
        return CIMObjectPath("", CIMNamespaceName("root/snia"), CIMName("CIM_ComputerSystem"), keys);
    }
};

TEST_F(kvelComputerSystems, NamesMapToTheArrayAndItsBlades)
{
    EXPECT_EQ(0x39000001u, KVELiPtrComputerSystem(pathNamed("Name", "zarvo-0001")).getIPtr());
    EXPECT_EQ(KVELiPtrComputerSystem::makeBlade(1).getIPtr(),
              KVELiPtrComputerSystem(pathNamed("name", "ZARVO-0001-sp1")).getIPtr());
    EXPECT_EQ(0x39000002u, KVELiPtrComputerSystem::makeBlade(0).getIPtr());
    EXPECT_EQ(KVEL_NULL_OBJECT_ID, KVELiPtrComputerSystem::makeBlade(2).getIPtr());
    EXPECT_EQ("ZARVO-0001-SP0", text(KVELiPtrComputerSystem::bladeName(0)));
    EXPECT_THROW(KVELiPtrComputerSystem(pathNamed("Name", "OTHER-SP0")), CIMInvalidParameterException);
    EXPECT_THROW(KVELiPtrComputerSystem(pathNamed("Tag", "ZARVO-0001")), CIMInvalidParameterException);
    Array<Uint32> systems = engine->enumerateObjects(CLASSID_COMPUTERSYSTEM);
    ASSERT_EQ(3u, systems.size());
    EXPECT_EQ(0x39000003u, systems[2]);
    EXPECT_EQ(nullptr, engine->getObject(CLASSID_COMPUTERSYSTEM, systems[0]));
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
