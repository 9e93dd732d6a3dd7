#include <thread>
#include <vector>
#include <gtest/gtest.h>
#include <Pegasus/Common/CIMClass.h>
#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMParamValue.h>
#include <Pegasus/Common/CIMPropertyList.h>
#include <Pegasus/Common/Exception.h>

using namespace Pegasus;

namespace
{

CIMQualifier keyQualifier(Boolean isKey = true)
{
    return CIMQualifier("Key", CIMValue(isKey));
}

CIMInstance diskInstance()
{
    CIMInstance i("Test_Disk");
    i.addProperty(CIMProperty("DeviceID", CIMValue(String("d\"1"))));
    i.addProperty(CIMProperty("Slot", CIMValue(Uint32(7))));
    i.addProperty(CIMProperty("Label", CIMValue(String("boot")), 0, CIMName(), "Test_Device")
                      .addQualifier(CIMQualifier("Description", CIMValue(String("text")))));
    i.addQualifier(CIMQualifier("Version", CIMValue(String("1.0"))));
    return i;
}

CIMPropertyList listOf(std::initializer_list<const char*> names)
{
    Array<CIMName> array;
    for (const char* name : names)
        array.append(name);
    return CIMPropertyList(array);
}

} // namespace

TEST(CIMHandles, ReferenceCountsSurviveConcurrentCopies)
{
    CIMInstance shared = diskInstance();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; t++)
    {
        threads.emplace_back(
            [shared]
            {
                for (int n = 0; n < 2000; n++)
                {
                    CIMObject object(shared);
                    CIMConstInstance view(object);
                    CIMProperty property = CIMInstance(object).getProperty(0);
                    (void)property;
                }
            });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(shared.getPropertyCount(), 3u);
}

TEST(CIMProperty, TypeRulesAtConstructionAndOnSetValue)
{
    Array<Uint8> three(3);
    EXPECT_NO_THROW(CIMProperty("A", CIMValue(three), 3));
    EXPECT_THROW(CIMProperty("A", CIMValue(three), 4), TypeMismatchException);
    EXPECT_THROW(CIMProperty("A", CIMValue(Uint8(1)), 1), TypeMismatchException);
    EXPECT_THROW(CIMProperty("R", CIMValue(CIMTYPE_REFERENCE, true)), TypeMismatchException);
    EXPECT_THROW(CIMProperty("A", CIMValue(String("x")), 0, "Test_Disk"), TypeMismatchException);

    // The type is fixed even while the value is null; CIMValue() is a null boolean.
    CIMProperty untyped("A", CIMValue());
    EXPECT_THROW(untyped.setValue(CIMValue(String("x"))), TypeMismatchException);
    untyped.setValue(CIMValue(false));
    CIMProperty typed("B", CIMValue(CIMTYPE_STRING, false));
    EXPECT_THROW(typed.setValue(CIMValue(Uint32(1))), TypeMismatchException);
    EXPECT_THROW(typed.setValue(CIMValue(Array<String>(1))), TypeMismatchException);
    typed.setValue(CIMValue(String("ok")));
    EXPECT_EQ(typed.getValue(), CIMValue(String("ok")));
    CIMProperty sized("C", CIMValue(three), 3);
    EXPECT_THROW(sized.setValue(CIMValue(Array<Uint8>(2))), TypeMismatchException);
}

TEST(CIMInstance, PropertiesAreNamedOnceAndThePathKeepsTheClass)
{
    CIMInstance inst = diskInstance();
    EXPECT_THROW(inst.addProperty(CIMProperty("DEVICEID", CIMValue(String("x")))), AlreadyExistsException);
    EXPECT_THROW(inst.removeProperty(3), IndexOutOfBoundsException);
    EXPECT_THROW(CIMClass{CIMObject(inst)}, DynamicCastFailedException);
    EXPECT_THROW(inst.setPath(CIMObjectPath("Test_Other.DeviceID=\"x\"")), TypeMismatchException);
    inst.setPath(CIMObjectPath("//h/root/test:TEST_DISK.DeviceID=\"x\""));
    EXPECT_EQ(inst.getClassName().getString(), String("Test_Disk"));
}

TEST(CIMInstance, CloneIsDeepAndIdenticalComparesStructure)
{
    CIMInstance inst = diskInstance();
    CIMInstance copy = inst.clone();
    EXPECT_TRUE(copy.identical(inst));
    copy.getProperty(2).getQualifier(0).setValue(CIMValue(String("other")));
    EXPECT_EQ(inst.getProperty(2).getQualifier(0).getValue(), CIMValue(String("text")));
    EXPECT_FALSE(copy.identical(inst));

    // Property order and name case do not matter; values and qualifiers do.
    CIMInstance reordered("test_disk");
    for (Uint32 i = inst.getPropertyCount(); i-- > 0;)
        reordered.addProperty(inst.getProperty(i).clone());
    reordered.addQualifier(CIMQualifier("VERSION", CIMValue(String("1.0"))));
    EXPECT_TRUE(reordered.identical(inst));
    reordered.getProperty(0).setClassOrigin("Test_Other");
    EXPECT_FALSE(reordered.identical(inst));
}

TEST(CIMInstance, InstanceFilterDropsQualifiersClassOriginsAndUnlistedProperties)
{
    CIMInstance kept = diskInstance();
    kept.instanceFilter(true, true, CIMPropertyList());
    EXPECT_TRUE(kept.identical(diskInstance()));

    CIMInstance inst = diskInstance();
    inst.instanceFilter(false, false, listOf({"LABEL", "slot"}));
    EXPECT_EQ(inst.getQualifierCount(), 0u);
    ASSERT_EQ(inst.getPropertyCount(), 2u);
    EXPECT_EQ(inst.findProperty("DeviceID"), PEG_NOT_FOUND);
    CIMProperty label = inst.getProperty(inst.findProperty("Label"));
    EXPECT_EQ(label.getQualifierCount(), 0u);
    EXPECT_TRUE(label.getClassOrigin().isNull());
    EXPECT_EQ(label.getValue(), CIMValue(String("boot")));

    CIMInstance none = diskInstance();
    none.instanceFilter(true, true, listOf({}));
    EXPECT_EQ(none.getPropertyCount(), 0u);
    EXPECT_EQ(none.getQualifierCount(), 1u);
}

TEST(CIMClass, BooleanQualifiersKeysAndBuildPath)
{
    // class Test_Disk { [Key] string DeviceID; [Key] uint32 Slot; [Description] string Label = "none"; }
    CIMClass c("Test_Disk", "Test_Device");
    c.addProperty(CIMProperty("DeviceID", CIMValue(CIMTYPE_STRING, false)).addQualifier(keyQualifier()));
    c.addProperty(CIMProperty("Label", CIMValue(String("none")), 0, CIMName(), "Test_Device")
                      .addQualifier(CIMQualifier("Description", CIMValue(String("text")))));
    c.addProperty(CIMProperty("Slot", CIMValue(CIMTYPE_UINT32, false)).addQualifier(keyQualifier()));
    EXPECT_FALSE(c.isAssociation());
    c.addQualifier(CIMQualifier("ASSOCIATION", CIMValue(true)));
    c.addQualifier(CIMQualifier("Abstract", CIMValue(false)));
    EXPECT_TRUE(c.isAssociation());
    EXPECT_FALSE(c.isAbstract());
    EXPECT_FALSE(CIMClass("X").addQualifier(CIMQualifier("Abstract", CIMValue(String("true")))).isAbstract());

    Array<CIMName> keys;
    keys.append("Stale");
    c.getKeyNames(keys);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0], CIMName("DeviceID"));
    EXPECT_EQ(keys[1], CIMName("Slot"));
    EXPECT_TRUE(c.hasKeys());
    CIMClass keyless("Test_Keyless");
    keyless.addProperty(CIMProperty("NotKey", CIMValue(Uint8(1))).addQualifier(keyQualifier(false)));
    EXPECT_FALSE(keyless.hasKeys());

    const Array<CIMKeyBinding> bindings = diskInstance().buildPath(c).getKeyBindings();
    ASSERT_EQ(bindings.size(), 2u);
    EXPECT_EQ(bindings[0].getName(), CIMName("DeviceID"));
    EXPECT_EQ(bindings[0].getValue(), String("d\"1"));
    EXPECT_EQ(bindings[0].getType(), CIMKeyBinding::STRING);
    EXPECT_EQ(bindings[1].getValue(), String("7"));
    EXPECT_EQ(bindings[1].getType(), CIMKeyBinding::NUMERIC);

    CIMInstance missingKey("Test_Disk");
    missingKey.addProperty(CIMProperty("DeviceID", CIMValue(String("x"))));
    EXPECT_THROW(missingKey.buildPath(c), CIMException);
    EXPECT_EQ(CIMInstance("Test_Keyless").buildPath(keyless).getKeyBindings().size(), 0u);
}

TEST(CIMClass, MethodsAndParametersAreNamedLists)
{
    CIMMethod m("CreateVolume", CIMTYPE_UINT32);
    m.addParameter(CIMParameter("Size", CIMTYPE_UINT64));
    m.addParameter(CIMParameter("Pool", CIMTYPE_REFERENCE, false, 0, "Test_Pool"));
    EXPECT_THROW(m.addParameter(CIMParameter("size", CIMTYPE_STRING)), AlreadyExistsException);
    EXPECT_THROW(CIMParameter("P", CIMTYPE_STRING, false, 2), TypeMismatchException);
    EXPECT_THROW(CIMParameter("P", CIMTYPE_STRING, false, 0, "Test_Pool"), TypeMismatchException);

    CIMClass c("Test_Service");
    c.addMethod(m);
    EXPECT_THROW(c.addMethod(CIMMethod("createvolume", CIMTYPE_STRING)), AlreadyExistsException);
    EXPECT_EQ(c.findMethod("CREATEVOLUME"), 0u);
    EXPECT_EQ(c.findMethod("Other"), PEG_NOT_FOUND);
    EXPECT_THROW(c.getMethod(1), IndexOutOfBoundsException);
    c.getMethod(0).removeParameter(0);
    EXPECT_EQ(m.getParameterCount(), 1u); // the class holds the method itself, not a copy
}

TEST(CIMPropertyList, NullEmptyAndListedStates)
{
    CIMPropertyList list;
    EXPECT_TRUE(list.isNull());
    EXPECT_EQ(list.toString(), String("NULL"));
    EXPECT_TRUE(list.useThisProperty("Anything"));
    EXPECT_FALSE(list.contains("Anything"));

    list.set(Array<CIMName>());
    EXPECT_FALSE(list.isNull());
    EXPECT_EQ(list.toString(), String("EMPTY"));
    EXPECT_FALSE(list.useThisProperty("Anything"));

    CIMPropertyList copy = list;
    list.set(listOf({"Size", "Name"}).getPropertyNameArray());
    EXPECT_EQ(list.toString(), String("Size, Name"));
    EXPECT_EQ(copy.toString(), String("EMPTY")); // copy-on-write
    EXPECT_TRUE(list.contains("SIZE"));
    EXPECT_TRUE(list.useThisProperty("name"));
}
