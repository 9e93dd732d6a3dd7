// The schema cimhost starts with: it must compile, give the service class the 31 methods with
// the parameter names and types the module reads (the server types untyped client parameters
// from them), declare every property the instance builders produce, and register the module.
#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <Pegasus/Common/CIMClass.h>
#include <Pegasus/Common/CIMType.h>

#include "ClassRepository.h"
#include "SchemaManifest.h"
#include "ProviderRegistry.h"

using namespace Pegasus;

namespace
{

const CIMNamespaceName SNIA("root/snia");
const CIMNamespaceName INTEROP("root/PG_InterOp");

std::string schemaDir()
{
    if (const char* env = std::getenv("SCS_SCHEMA_DIR"); env && *env) return env;
#ifdef SCS_SCHEMA_DIR
    return SCS_SCHEMA_DIR;
#else
    const std::string source(__FILE__); // <root>/tests/server/test_schema.cpp
    return source.substr(0, source.rfind('/')) + "/../../schema";
#endif
}

std::string text(const String& s)
{
    return std::string(s.getCString());
}

// A boolean qualifier's value; false when the element does not carry it.
template <class Element> bool flag(const Element& element, const char* qualifier)
{
    const Uint32 index = element.findQualifier(CIMName(qualifier));
    if (index == PEG_NOT_FOUND) return false;
    Boolean value = false;
    element.getQualifier(index).getValue().get(value);
    return value;
}

template <class Element> std::vector<std::string> strings(const Element& element, const char* qualifier)
{
    std::vector<std::string> result;
    const Uint32 index = element.findQualifier(CIMName(qualifier));
    if (index != PEG_NOT_FOUND)
    {
        Array<String> values;
        element.getQualifier(index).getValue().get(values);
        for (Uint32 i = 0; i < values.size(); ++i)
            result.push_back(text(values[i]));
    }
    return result;
}

std::string direction(const CIMConstParameter& parameter)
{
    const bool in = flag(parameter, "In");
    const bool out = flag(parameter, "Out");
    return in && out ? "IN,OUT" : in ? "IN" : out ? "OUT" : "none";
}

class SchemaTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        _repository = std::make_unique<cimhost::ClassRepository>();
        try
        {
            cimhost::loadSchema(*_repository, schemaDir());
        }
        catch (const std::exception& e)
        {
            _compileError = e.what();
        }
    }
    static void TearDownTestSuite() { _repository.reset(); }

    void SetUp() override { ASSERT_EQ(_compileError, "") << "the schema does not load"; }

    static const cimhost::ClassRepository& repository() { return *_repository; }

    static CIMClass resolved(const char* name, const CIMNamespaceName& ns = SNIA)
    {
        return _repository->resolvedClass(ns, CIMName(name));
    }

    static CIMConstMethod method(const CIMClass& cls, const char* name)
    {
        const Uint32 index = cls.findMethod(CIMName(name));
        return index == PEG_NOT_FOUND ? CIMConstMethod() : cls.getMethod(index);
    }

    // Every class of a namespace, resolved.
    static std::vector<CIMClass> allClasses(const CIMNamespaceName& ns)
    {
        std::vector<CIMClass> result;
        for (const CIMName& name : _repository->subclassNames(ns, CIMName(), true))
            result.push_back(_repository->resolvedClass(ns, name));
        return result;
    }

private:
    static std::unique_ptr<cimhost::ClassRepository> _repository;
    static std::string _compileError;
};

std::unique_ptr<cimhost::ClassRepository> SchemaTest::_repository;
std::string SchemaTest::_compileError;

// The dispatch table of the service provider, with the return type each method delivers.
const std::map<std::string, CIMType> SERVICE_METHODS = {
    {"CreateOrModifyStoragePool", CIMTYPE_UINT32},
    {"CreateOrModifyElementFromStoragePool", CIMTYPE_UINT32},
    {"DeleteStoragePool", CIMTYPE_UINT32},
    {"ReturnToStoragePool", CIMTYPE_UINT32},
    {"CreateOrModifyElementFromElements", CIMTYPE_UINT32},
    {"CreateVolume", CIMTYPE_UINT32},
    {"ReconfigureVolume", CIMTYPE_UINT32},
    {"GetMaxiumumVolumeSize", CIMTYPE_UINT32},
    {"RebuildStorageElement", CIMTYPE_UINT32},
    {"ScanStorageElement", CIMTYPE_UINT32},
    {"InitializeStorageDevice", CIMTYPE_UINT32},
    {"RemoveStorageDevice", CIMTYPE_UINT32},
    {"TransferDrive", CIMTYPE_UINT32},
    {"TransferDriveByRef", CIMTYPE_UINT32},
    {"InitiateShutdown", CIMTYPE_SINT32},
    {"CompleteShutdown", CIMTYPE_SINT32},
    {"ForceControllerFailover", CIMTYPE_SINT32},
    {"InitiateFirmwareUpgrade", CIMTYPE_SINT32},
    {"CompleteFirmwareUpgrade", CIMTYPE_SINT32},
    {"SetDiskLineMode", CIMTYPE_UINT32},
    {"SuspendTask", CIMTYPE_UINT32},
    {"ResumeTask", CIMTYPE_UINT32},
    {"AbortTask", CIMTYPE_UINT32},
    {"RescheduleTask", CIMTYPE_UINT32},
    {"DeleteTask", CIMTYPE_UINT32},
    {"ReadPersistenceData", CIMTYPE_UINT32},
    {"WritePersistenceData", CIMTYPE_UINT32},
    {"GetUnavailablePool", CIMTYPE_SINT32},
    {"GetAvailablePool", CIMTYPE_SINT32},
    {"GetSparePool", CIMTYPE_SINT32},
    {"GetBasePool", CIMTYPE_SINT32},
};

TEST_F(SchemaTest, VendorServiceOffersExactlyTheDispatchedMethodsWithTheirReturnTypes)
{
    const CIMClass vendor = resolved("Zarvo_StorageConfigurationService");
    ASSERT_FALSE(vendor.isUninitialized());
    EXPECT_EQ(vendor.getMethodCount(), SERVICE_METHODS.size());
    for (const auto& [name, returnType] : SERVICE_METHODS)
    {
        const CIMConstMethod m = method(vendor, name.c_str());
        ASSERT_FALSE(m.isUninitialized()) << name;
        EXPECT_EQ(text(m.getName().getString()), name) << "spelling differs";
        EXPECT_EQ(cimTypeToString(m.getType()), std::string(cimTypeToString(returnType))) << name;
    }

    // The standard class offers the five standard methods, which the vendor class inherits.
    const CIMClass standard = resolved("CIM_StorageConfigurationService");
    ASSERT_FALSE(standard.isUninitialized());
    EXPECT_EQ(standard.getMethodCount(), 5u);
    for (const char* name : {"CreateOrModifyStoragePool", "CreateOrModifyElementFromStoragePool",
                             "DeleteStoragePool", "ReturnToStoragePool", "CreateOrModifyElementFromElements"})
    {
        ASSERT_FALSE(method(standard, name).isUninitialized()) << name;
        const CIMConstMethod inherited = method(vendor, name);
        EXPECT_TRUE(inherited.getPropagated()) << name;
        EXPECT_EQ(text(inherited.getClassOrigin().getString()), "CIM_StorageConfigurationService") << name;
    }
    EXPECT_TRUE(method(vendor, "GetMaximumVolumeSize").isUninitialized())
        << "only the misspelt name is served";
}

struct ParameterSignature
{
    const char* method;
    const char* name;
    CIMType type;
    bool array;
    const char* referenceClass; // for references
    const char* direction;
};

const ParameterSignature PARAMETERS[] = {
    {"CreateOrModifyElementFromStoragePool", "ElementName", CIMTYPE_STRING, false, "", "IN"},
    {"CreateOrModifyElementFromStoragePool", "Size", CIMTYPE_UINT64, false, "", "IN,OUT"},
    {"CreateOrModifyElementFromStoragePool", "Goal", CIMTYPE_REFERENCE, false, "CIM_StorageSetting", "IN"},
    {"CreateOrModifyElementFromStoragePool", "InPool", CIMTYPE_REFERENCE, false, "CIM_StoragePool", "IN"},
    {"CreateOrModifyElementFromStoragePool", "TheElement", CIMTYPE_REFERENCE, false, "CIM_LogicalElement",
     "IN,OUT"},
    {"CreateOrModifyElementFromStoragePool", "Job", CIMTYPE_REFERENCE, false, "CIM_ConcreteJob", "OUT"},
    {"CreateOrModifyElementFromElements", "InElements", CIMTYPE_REFERENCE, true, "CIM_LogicalElement", "IN"},
    {"CreateOrModifyElementFromElements", "Goal", CIMTYPE_REFERENCE, false, "CIM_StorageSetting", "IN"},
    {"CreateOrModifyElementFromElements", "Size", CIMTYPE_UINT64, false, "", "IN,OUT"},
    {"CreateOrModifyElementFromElements", "TheElement", CIMTYPE_REFERENCE, false, "CIM_LogicalElement",
     "IN,OUT"},
    {"ReturnToStoragePool", "TheElement", CIMTYPE_REFERENCE, false, "CIM_LogicalElement", "IN"},
    {"GetMaxiumumVolumeSize", "ChunkSize", CIMTYPE_UINT32, false, "", "IN"},
    {"GetMaxiumumVolumeSize", "StripeWidth", CIMTYPE_UINT8, false, "", "IN"},
    {"GetMaxiumumVolumeSize", "MirrorCount", CIMTYPE_UINT8, false, "", "IN"},
    {"GetMaxiumumVolumeSize", "Pool", CIMTYPE_REFERENCE, false, "CIM_StoragePool", "IN"},
    {"GetMaxiumumVolumeSize", "VolumeOrganization", CIMTYPE_UINT16, false, "", "IN"},
    {"GetMaxiumumVolumeSize", "StorageDevice", CIMTYPE_REFERENCE, true, "CIM_DiskDrive", "IN"},
    {"GetMaxiumumVolumeSize", "MaxVolumeSize", CIMTYPE_UINT64, false, "", "OUT"},
    {"CreateVolume", "ElementName", CIMTYPE_STRING, false, "", "IN"},
    {"CreateVolume", "Size", CIMTYPE_UINT64, false, "", "IN,OUT"},
    {"CreateVolume", "StorageVolume", CIMTYPE_REFERENCE, false, "CIM_StorageVolume", "OUT"},
    {"ReconfigureVolume", "Volume", CIMTYPE_REFERENCE, false, "CIM_StorageVolume", "IN"},
    {"ReconfigureVolume", "ShadowVolume", CIMTYPE_REFERENCE, false, "CIM_StorageVolume", "OUT"},
    {"ScanStorageElement", "ScanType", CIMTYPE_UINT16, false, "", "IN"},
    {"ScanStorageElement", "Name", CIMTYPE_STRING, false, "", "IN"},
    {"ScanStorageElement", "ScheduledTaskPriority", CIMTYPE_UINT32, false, "", "IN"},
    {"ScanStorageElement", "ScheduledTaskStartTime", CIMTYPE_DATETIME, false, "", "IN"},
    {"ScanStorageElement", "PeriodicityType", CIMTYPE_UINT16, false, "", "IN"},
    {"InitializeStorageDevice", "ElementType", CIMTYPE_UINT16, false, "", "IN"},
    {"InitializeStorageDevice", "StorageDevice", CIMTYPE_REFERENCE, false, "CIM_ManagedSystemElement", "IN"},
    {"RebuildStorageElement", "StorageElement", CIMTYPE_REFERENCE, false, "CIM_StorageExtent", "IN"},
    {"TransferDrive", "Pool", CIMTYPE_UINT32, false, "", "IN"},
    {"TransferDrive", "Drive", CIMTYPE_UINT32, false, "", "IN"},
    {"TransferDriveByRef", "Pool", CIMTYPE_REFERENCE, false, "CIM_StoragePool", "IN"},
    {"TransferDriveByRef", "Drive", CIMTYPE_REFERENCE, false, "CIM_DiskDrive", "IN"},
    {"InitiateShutdown", "Restart", CIMTYPE_BOOLEAN, false, "", "IN"},
    {"InitiateFirmwareUpgrade", "ImageSize", CIMTYPE_UINT32, false, "", "IN"},
    {"CompleteFirmwareUpgrade", "Environment", CIMTYPE_UINT32, false, "", "IN"},
    {"SetDiskLineMode", "DiskLineMode", CIMTYPE_UINT16, false, "", "IN"},
    {"SuspendTask", "Job", CIMTYPE_REFERENCE, false, "CIM_ConcreteJob", "IN"},
    {"RescheduleTask", "Job", CIMTYPE_REFERENCE, false, "CIM_ConcreteJob", "IN"},
    {"RescheduleTask", "ScheduledTaskStartTime", CIMTYPE_DATETIME, false, "", "IN"},
    {"RescheduleTask", "Periodicity", CIMTYPE_UINT16, false, "", "IN"},
    {"WritePersistenceData", "Data", CIMTYPE_STRING, false, "", "IN"},
    {"WritePersistenceData", "PersistenceSetting", CIMTYPE_UINT16, false, "", "IN"},
    {"ReadPersistenceData", "Data", CIMTYPE_STRING, false, "", "OUT"},
    {"GetBasePool", "Controller", CIMTYPE_REFERENCE, false, "CIM_ComputerSystem", "IN"},
    {"GetBasePool", "Pool", CIMTYPE_REFERENCE, false, "CIM_StoragePool", "OUT"},
    {"GetSparePool", "Pool", CIMTYPE_REFERENCE, false, "CIM_StoragePool", "OUT"},
};

TEST_F(SchemaTest, ParametersTheModuleReadsAndDeliversHaveItsNamesTypesAndDirections)
{
    const CIMClass vendor = resolved("Zarvo_StorageConfigurationService");
    ASSERT_FALSE(vendor.isUninitialized());
    for (const ParameterSignature& want : PARAMETERS)
    {
        SCOPED_TRACE(std::string(want.method) + "." + want.name);
        const CIMConstMethod m = method(vendor, want.method);
        ASSERT_FALSE(m.isUninitialized());
        const Uint32 index = m.findParameter(CIMName(want.name));
        ASSERT_NE(index, PEG_NOT_FOUND);
        const CIMConstParameter p = m.getParameter(index);
        EXPECT_EQ(text(p.getName().getString()), want.name) << "the module matches names case-sensitively";
        EXPECT_EQ(cimTypeToString(p.getType()), std::string(cimTypeToString(want.type)));
        EXPECT_EQ(bool(p.isArray()), want.array);
        EXPECT_EQ(text(p.getReferenceClassName().getString()), want.referenceClass);
        EXPECT_EQ(direction(p), want.direction);
    }

    const CIMConstMethod createSetting = method(resolved("CIM_StorageCapabilities"), "CreateSetting");
    ASSERT_FALSE(createSetting.isUninitialized());
    const Uint32 newSetting = createSetting.findParameter(CIMName("NewSetting"));
    ASSERT_NE(newSetting, PEG_NOT_FOUND);
    EXPECT_EQ(direction(createSetting.getParameter(newSetting)), "IN,OUT");
    EXPECT_EQ(text(createSetting.getParameter(newSetting).getReferenceClassName().getString()),
              "CIM_StorageSetting");
}

// Rules that hold for every method of the service, so that a method added later keeps them.
TEST_F(SchemaTest, EveryServiceParameterHasADirectionAndJobStartingMethodsReturnTheJob)
{
    const CIMClass vendor = resolved("Zarvo_StorageConfigurationService");
    ASSERT_FALSE(vendor.isUninitialized());
    for (Uint32 i = 0; i < vendor.getMethodCount(); ++i)
    {
        const CIMConstMethod m = vendor.getMethod(i);
        const std::string name = text(m.getName().getString());
        std::set<std::string> seen;
        bool outJob = false;
        for (Uint32 j = 0; j < m.getParameterCount(); ++j)
        {
            const CIMConstParameter p = m.getParameter(j);
            const std::string parameter = text(p.getName().getString());
            EXPECT_TRUE(seen.insert(parameter).second) << name << " repeats " << parameter;
            EXPECT_NE(p.findQualifier(CIMName("In")), PEG_NOT_FOUND)
                << name << "." << parameter << ": IN not explicit";
            EXPECT_NE(direction(p), "none") << name << "." << parameter;
            if (parameter == "Job" && flag(p, "Out")) outJob = true;
        }
        const std::vector<std::string> codes = strings(m, "ValueMap");
        const bool startsJobs = std::find(codes.begin(), codes.end(), "4096") != codes.end();
        EXPECT_EQ(startsJobs, outJob) << name << ": return code 4096 and an OUT Job go together";
    }
}

TEST_F(SchemaTest, ServedClassesAreConcreteAndKeyedAsTheirPathsAre)
{
    const std::vector<std::string> device = {"SystemCreationClassName", "SystemName", "CreationClassName",
                                             "DeviceID"};
    const std::vector<std::string> service = {"SystemCreationClassName", "SystemName", "CreationClassName",
                                              "Name"};
    const std::map<std::string, std::vector<std::string>> keys = {
        {"CIM_StorageConfigurationService", service},
        {"Zarvo_StorageConfigurationService", service},
        {"CIM_ConcreteJob", {"InstanceID"}},
        {"CIM_StorageVolume", device},
        {"CIM_DiskDrive", device},
        {"CIM_StoragePool", {"InstanceID"}},
        {"CIM_StorageSetting", {"InstanceID"}},
        {"CIM_StorageCapabilities", {"InstanceID"}},
        {"CIM_ComputerSystem", {"CreationClassName", "Name"}},
        {"CIM_AffectedJobElement", {"AffectedElement", "AffectingElement"}},
        {"CIM_OwningJobElement", {"OwningElement", "OwnedElement"}},
        {"CIM_AllocatedFromStoragePool", {"Antecedent", "Dependent"}},
        {"CIM_HostedStoragePool", {"GroupComponent", "PartComponent"}},
    };
    for (const auto& [className, expected] : keys)
    {
        SCOPED_TRACE(className);
        const CIMClass cls = resolved(className.c_str());
        ASSERT_FALSE(cls.isUninitialized());
        EXPECT_FALSE(cls.isAbstract());
        std::set<std::string> actual;
        for (Uint32 i = 0; i < cls.getPropertyCount(); ++i)
            if (flag(cls.getProperty(i), "Key"))
                actual.insert(text(cls.getProperty(i).getName().getString()));
        EXPECT_EQ(actual, std::set<std::string>(expected.begin(), expected.end()));
    }
    EXPECT_TRUE(resolved("CIM_ManagedElement").isAbstract());
    EXPECT_TRUE(resolved("CIM_Job").isAbstract());
}

TEST_F(SchemaTest, AssociationsReferenceTheRightClassesThroughTheirHierarchy)
{
    struct Reference
    {
        const char* association;
        const char* role;
        const char* referenceClass;
    };
    const Reference references[] = {
        {"CIM_AffectedJobElement", "AffectedElement", "CIM_ManagedElement"},
        {"CIM_AffectedJobElement", "AffectingElement", "CIM_Job"},
        {"CIM_OwningJobElement", "OwningElement", "CIM_ManagedElement"},
        {"CIM_OwningJobElement", "OwnedElement", "CIM_Job"},
        {"CIM_AllocatedFromStoragePool", "Antecedent", "CIM_StoragePool"},
        {"CIM_AllocatedFromStoragePool", "Dependent", "CIM_LogicalElement"},
        {"CIM_HostedStoragePool", "GroupComponent", "CIM_System"},
        {"CIM_HostedStoragePool", "PartComponent", "CIM_StoragePool"},
    };
    for (const Reference& r : references)
    {
        SCOPED_TRACE(std::string(r.association) + "." + r.role);
        const CIMClass cls = resolved(r.association);
        ASSERT_FALSE(cls.isUninitialized());
        EXPECT_TRUE(cls.isAssociation());
        const Uint32 index = cls.findProperty(CIMName(r.role));
        ASSERT_NE(index, PEG_NOT_FOUND);
        EXPECT_EQ(cls.getProperty(index).getType(), CIMTYPE_REFERENCE);
        EXPECT_EQ(text(cls.getProperty(index).getReferenceClassName().getString()), r.referenceClass);
    }
    const cimhost::ClassRepository& repo = repository();
    EXPECT_TRUE(repo.isA(SNIA, CIMName("CIM_HostedStoragePool"), CIMName("CIM_Component")));
    EXPECT_TRUE(repo.isA(SNIA, CIMName("CIM_AllocatedFromStoragePool"), CIMName("CIM_Dependency")));
    EXPECT_TRUE(repo.isA(SNIA, CIMName("CIM_ConcreteJob"), CIMName("CIM_ManagedElement")));
    EXPECT_TRUE(repo.isA(SNIA, CIMName("CIM_StorageVolume"), CIMName("CIM_LogicalElement")));
    EXPECT_TRUE(repo.isA(SNIA, CIMName("CIM_DiskDrive"), CIMName("CIM_ManagedSystemElement")));
    EXPECT_FALSE(repo.isA(SNIA, CIMName("CIM_DiskDrive"), CIMName("CIM_StorageExtent")));
}

// What the managed-object library's builders put into instances; a strict server refuses a
// property its class does not declare, or one of another type.
TEST_F(SchemaTest, EveryPropertyTheInstanceBuildersProduceIsDeclaredWithItsType)
{
    struct Built
    {
        const char* className;
        std::vector<std::pair<const char*, CIMType>> properties;
    };
    const std::vector<Built> built = {
        {"CIM_ConcreteJob",
         {{"InstanceID", CIMTYPE_STRING},
          {"Name", CIMTYPE_STRING},
          {"ElementName", CIMTYPE_STRING},
          {"Description", CIMTYPE_STRING},
          {"JobState", CIMTYPE_UINT16},
          {"JobStatus", CIMTYPE_STRING},
          {"OperationalStatus", CIMTYPE_UINT16},
          {"PercentComplete", CIMTYPE_UINT16},
          {"Priority", CIMTYPE_UINT32},
          {"LocalOrUtcTime", CIMTYPE_UINT16},
          {"TimeSubmitted", CIMTYPE_DATETIME},
          {"StartTime", CIMTYPE_DATETIME},
          {"TimeOfLastStateChange", CIMTYPE_DATETIME},
          {"ElapsedTime", CIMTYPE_DATETIME},
          {"DeleteOnCompletion", CIMTYPE_BOOLEAN},
          {"TimeBeforeRemoval", CIMTYPE_DATETIME},
          {"ErrorCode", CIMTYPE_UINT16},
          {"ErrorDescription", CIMTYPE_STRING},
          {"ScheduledStartTime", CIMTYPE_DATETIME},
          {"JobRunTimes", CIMTYPE_UINT32},
          {"PeriodicityType", CIMTYPE_UINT16},
          {"Periodicity", CIMTYPE_UINT16},
          {"RunCount", CIMTYPE_UINT32}}},
        {"CIM_DiskDrive",
         {{"DeviceID", CIMTYPE_STRING},
          {"ElementName", CIMTYPE_STRING},
          {"Name", CIMTYPE_STRING},
          {"Description", CIMTYPE_STRING},
          {"OperationalStatus", CIMTYPE_UINT16},
          {"DefaultBlockSize", CIMTYPE_UINT64},
          {"MaxMediaSize", CIMTYPE_UINT64}}},
        {"CIM_StorageVolume",
         {{"DeviceID", CIMTYPE_STRING},
          {"ElementName", CIMTYPE_STRING},
          {"Name", CIMTYPE_STRING},
          {"OperationalStatus", CIMTYPE_UINT16},
          {"BlockSize", CIMTYPE_UINT64},
          {"NumberOfBlocks", CIMTYPE_UINT64},
          {"ConsumableBlocks", CIMTYPE_UINT64},
          {"DataRedundancy", CIMTYPE_UINT16},
          {"PackageRedundancy", CIMTYPE_UINT16},
          {"NoSinglePointOfFailure", CIMTYPE_BOOLEAN},
          {"ExtentStripeLength", CIMTYPE_UINT16},
          {"ExtentInterleaveDepth", CIMTYPE_UINT64},
          {"IsBasedOnUnderlyingRedundancy", CIMTYPE_BOOLEAN},
          {"IsComposite", CIMTYPE_BOOLEAN},
          {"Primordial", CIMTYPE_BOOLEAN}}},
        {"CIM_StoragePool",
         {{"InstanceID", CIMTYPE_STRING},
          {"PoolID", CIMTYPE_STRING},
          {"ElementName", CIMTYPE_STRING},
          {"OperationalStatus", CIMTYPE_UINT16},
          {"TotalManagedSpace", CIMTYPE_UINT64},
          {"RemainingManagedSpace", CIMTYPE_UINT64},
          {"Primordial", CIMTYPE_BOOLEAN}}},
        {"CIM_StorageSetting",
         {{"InstanceID", CIMTYPE_STRING},
          {"ElementName", CIMTYPE_STRING},
          {"ChangeableType", CIMTYPE_UINT16},
          {"DataRedundancyGoal", CIMTYPE_UINT16},
          {"DataRedundancyMin", CIMTYPE_UINT16},
          {"DataRedundancyMax", CIMTYPE_UINT16},
          {"PackageRedundancyGoal", CIMTYPE_UINT16},
          {"PackageRedundancyMin", CIMTYPE_UINT16},
          {"PackageRedundancyMax", CIMTYPE_UINT16},
          {"ExtentStripeLength", CIMTYPE_UINT16},
          {"ExtentStripeLengthMin", CIMTYPE_UINT16},
          {"ExtentStripeLengthMax", CIMTYPE_UINT16},
          {"UserDataStripeDepth", CIMTYPE_UINT64},
          {"UserDataStripeDepthMin", CIMTYPE_UINT64},
          {"UserDataStripeDepthMax", CIMTYPE_UINT64},
          {"NoSinglePointOfFailure", CIMTYPE_BOOLEAN},
          {"ParityLayout", CIMTYPE_UINT16}}},
    };
    const std::set<std::string> arrays = {"OperationalStatus"};
    for (const Built& b : built)
    {
        const CIMClass cls = resolved(b.className);
        ASSERT_FALSE(cls.isUninitialized()) << b.className;
        for (const auto& [name, type] : b.properties)
        {
            SCOPED_TRACE(std::string(b.className) + "." + name);
            const Uint32 index = cls.findProperty(CIMName(name));
            ASSERT_NE(index, PEG_NOT_FOUND);
            EXPECT_EQ(cimTypeToString(cls.getProperty(index).getType()), std::string(cimTypeToString(type)));
            EXPECT_EQ(bool(cls.getProperty(index).isArray()), arrays.count(name) == 1);
        }
    }
}

// An enumeration whose ValueMap and Values differ in length shows clients the wrong names.
TEST_F(SchemaTest, EveryValueMapHasOneValuePerEntry)
{
    auto check = [](const auto& element, const std::string& where)
    {
        const std::vector<std::string> map = strings(element, "ValueMap");
        const std::vector<std::string> values = strings(element, "Values");
        if (!map.empty() && !values.empty())
        {
            EXPECT_EQ(map.size(), values.size()) << where;
        }
    };
    for (const CIMNamespaceName& ns : {SNIA, INTEROP})
        for (const CIMClass& cls : allClasses(ns))
        {
            const std::string className = text(cls.getClassName().getString());
            for (Uint32 i = 0; i < cls.getPropertyCount(); ++i)
                check(cls.getProperty(i), className + "." + text(cls.getProperty(i).getName().getString()));
            for (Uint32 i = 0; i < cls.getMethodCount(); ++i)
            {
                const CIMConstMethod m = cls.getMethod(i);
                const std::string where = className + "." + text(m.getName().getString());
                check(m, where);
                for (Uint32 j = 0; j < m.getParameterCount(); ++j)
                    check(m.getParameter(j), where + "." + text(m.getParameter(j).getName().getString()));
            }
        }
}

TEST_F(SchemaTest, RegistrationNamesTheModulesTheirProvidersAndTheirCapabilities)
{
    const std::vector<CIMInstance> modules =
        repository().declaredInstances(INTEROP, CIMName("PG_ProviderModule"));
    ASSERT_EQ(modules.size(), 2u) << "the storage module and the inventory module";
    auto value = [](const CIMInstance& instance, const char* name)
    {
        const Uint32 index = instance.findProperty(CIMName(name));
        String s;
        if (index != PEG_NOT_FOUND) instance.getProperty(index).getValue().get(s);
        return text(s);
    };
    for (const CIMInstance& module : modules)
    {
        EXPECT_EQ(value(module, "InterfaceType"), "C++Default");
        EXPECT_EQ(value(module, "InterfaceVersion"), "2.1.0");
        // One agent process, so one simulated array, for both modules under an out-of-process server.
        EXPECT_EQ(value(module, "ModuleGroupName"), "ZarvoArray");
    }
    EXPECT_EQ(repository().declaredInstances(INTEROP, CIMName("PG_Provider")).size(), 4u + 16u);

    const cimhost::ProviderRegistry registry = cimhost::ProviderRegistry::fromRepository(repository());
    std::map<std::string, std::string> locations;
    for (const auto& module : registry.modules())
        locations[module.name] = module.location;
    EXPECT_EQ(locations, (std::map<std::string, std::string>{
                             {"StorageConfigurationServiceModule", "StorageConfigurationService"},
                             {"ArrayInventoryModule", "ArrayInventoryProvider"}}));

    struct Expected
    {
        std::string module, provider;
        bool instance, association, method;
    };
    const std::string scs = "StorageConfigurationServiceModule", inventory = "ArrayInventoryModule";
    const std::map<std::string, Expected> expected = {
        {"CIM_StorageConfigurationService", {scs, "StorageConfigurationServiceProvider", false, false, true}},
        {"Zarvo_StorageConfigurationService",
         {scs, "StorageConfigurationServiceProvider", true, false, true}},
        {"CIM_ConcreteJob", {scs, "ConcreteJobProvider", true, false, false}},
        {"CIM_AffectedJobElement", {scs, "AffectedJobElementProvider", true, true, false}},
        {"CIM_OwningJobElement", {scs, "OwningJobElementProvider", true, true, false}},
        {"CIM_StoragePool", {inventory, "StoragePoolProvider", true, false, false}},
        {"CIM_StorageVolume", {inventory, "StorageVolumeProvider", true, false, false}},
        {"CIM_DiskDrive", {inventory, "DiskDriveProvider", true, false, false}},
        {"CIM_ComputerSystem", {inventory, "ComputerSystemProvider", true, false, false}},
        {"CIM_StorageSetting", {inventory, "StorageSettingProvider", true, false, false}},
        {"CIM_StorageSettingWithHints", {inventory, "StorageSettingProvider", true, false, false}},
        {"CIM_StorageCapabilities", {inventory, "StorageCapabilitiesProvider", true, false, true}},
        {"CIM_AllocatedFromStoragePool", {inventory, "AllocatedFromStoragePoolProvider", true, true, false}},
        {"CIM_HostedStoragePool", {inventory, "HostedStoragePoolProvider", true, true, false}},
        {"CIM_ElementCapabilities", {inventory, "ElementCapabilitiesProvider", true, true, false}},
        {"CIM_ConcreteComponent", {inventory, "ConcreteComponentProvider", true, true, false}},
        {"CIM_StorageConfigurationCapabilities",
         {inventory, "StorageConfigurationCapabilitiesProvider", true, false, false}},
        {"Zarvo_StorageVolumeSetting", {inventory, "VolumeSettingProvider", true, false, false}},
        {"CIM_HostedService", {inventory, "HostedServiceProvider", true, true, false}},
        {"CIM_SystemDevice", {inventory, "SystemDeviceProvider", true, true, false}},
        {"CIM_ComponentCS", {inventory, "ComponentCSProvider", true, true, false}},
        {"CIM_ElementSettingData", {inventory, "ElementSettingDataProvider", true, true, false}},
    };
    ASSERT_EQ(registry.capabilities().size(), expected.size());
    for (const cimhost::ProviderCapability& c : registry.capabilities())
    {
        const std::string className = text(c.className.getString());
        SCOPED_TRACE(className);
        const auto it = expected.find(className);
        ASSERT_NE(it, expected.end());
        EXPECT_EQ(c.moduleName, it->second.module);
        EXPECT_EQ(c.providerName, it->second.provider);
        EXPECT_EQ(c.instance, it->second.instance);
        EXPECT_EQ(c.association, it->second.association);
        EXPECT_EQ(c.method, it->second.method);
        ASSERT_EQ(c.namespaces.size(), 1u);
        EXPECT_EQ(text(c.namespaces[0].getString()), "root/snia");
        EXPECT_EQ(bool(resolved(className.c_str()).isAssociation()), c.association);
    }
}

} // namespace
