// The schema cimhost starts with: it must compile, give the service class the 31 methods with
// the parameter names and types the module reads (the server types untyped client parameters
// from them), declare every property the instance builders produce, and register the modules.
// The providers of each class and the profiles the integration tests check through cimhost.
#include <algorithm>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <Pegasus/Common/CIMClass.h>
#include <Pegasus/Common/CIMType.h>

#include "ClassRepository.h"
#include "ProviderRegistry.h"
#include "SchemaManifest.h"

using namespace Pegasus;

namespace
{

const CIMNamespaceName SNIA("root/snia");
const CIMNamespaceName INTEROP("root/PG_InterOp");

std::string text(const String& s)
{
    return std::string(s.getCString());
}

std::vector<std::string> words(const std::string& list)
{
    std::istringstream in(list);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// The shipped schema, compiled once; a compile error fails every test that reads it.
const cimhost::ClassRepository& schema()
{
    static const std::unique_ptr<cimhost::ClassRepository> repository = []
    {
        auto compiled = std::make_unique<cimhost::ClassRepository>();
        cimhost::loadSchema(*compiled, SCS_SCHEMA_DIR);
        return compiled;
    }();
    return *repository;
}

CIMClass resolved(const std::string& name)
{
    const CIMClass cls = schema().resolvedClass(SNIA, CIMName(name.c_str()));
    EXPECT_FALSE(cls.isUninitialized()) << name;
    return cls;
}

CIMConstMethod method(const CIMClass& cls, const std::string& name)
{
    const Uint32 index = cls.findMethod(CIMName(name.c_str()));
    return index == PEG_NOT_FOUND ? CIMConstMethod() : cls.getMethod(index);
}

// A boolean qualifier's value; false when the element does not carry it.
template <class Element> bool flag(const Element& element, const char* qualifier)
{
    const Uint32 index = element.findQualifier(CIMName(qualifier));
    Boolean value = false;
    if (index != PEG_NOT_FOUND) element.getQualifier(index).getValue().get(value);
    return value;
}

template <class Element> std::vector<std::string> strings(const Element& element, const char* qualifier)
{
    const Uint32 index = element.findQualifier(CIMName(qualifier));
    Array<String> values;
    if (index != PEG_NOT_FOUND) element.getQualifier(index).getValue().get(values);
    std::vector<std::string> result;
    for (Uint32 i = 0; i < values.size(); ++i)
        result.push_back(text(values[i]));
    return result;
}

std::string direction(const CIMConstParameter& parameter)
{
    const bool in = flag(parameter, "In"), out = flag(parameter, "Out");
    return in && out ? "IN,OUT" : in ? "IN" : out ? "OUT" : "none";
}

// "uint16", "uint16[]", or for a reference its class ("CIM_StoragePool", "CIM_DiskDrive[]").
template <class Element> std::string typeText(const Element& element)
{
    const std::string base = element.getType() == CIMTYPE_REFERENCE
                                 ? text(element.getReferenceClassName().getString())
                                 : cimTypeToString(element.getType());
    return base + (element.isArray() ? "[]" : "");
}

// The dispatch table of the service provider, by the return type each method delivers; the
// first five are the standard methods.
const char* const UINT32_METHODS =
    "CreateOrModifyStoragePool CreateOrModifyElementFromStoragePool DeleteStoragePool ReturnToStoragePool "
    "CreateOrModifyElementFromElements CreateVolume ReconfigureVolume GetMaxiumumVolumeSize "
    "RebuildStorageElement ScanStorageElement InitializeStorageDevice RemoveStorageDevice TransferDrive "
    "TransferDriveByRef SetDiskLineMode SuspendTask ResumeTask AbortTask RescheduleTask DeleteTask "
    "ReadPersistenceData WritePersistenceData";
const char* const SINT32_METHODS = "InitiateShutdown CompleteShutdown ForceControllerFailover "
                                   "InitiateFirmwareUpgrade CompleteFirmwareUpgrade GetUnavailablePool "
                                   "GetAvailablePool GetSparePool GetBasePool";

TEST(Schema, VendorServiceOffersExactlyTheDispatchedMethodsWithTheirReturnTypes)
{
    const CIMClass vendor = resolved("Zarvo_StorageConfigurationService");
    EXPECT_EQ(vendor.getMethodCount(), words(UINT32_METHODS).size() + words(SINT32_METHODS).size());
    for (const auto& [names, returnType] : {std::pair(UINT32_METHODS, "uint32"), {SINT32_METHODS, "sint32"}})
        for (const std::string& name : words(names))
        {
            const CIMConstMethod m = method(vendor, name);
            ASSERT_FALSE(m.isUninitialized()) << name;
            EXPECT_EQ(text(m.getName().getString()), name) << "spelling differs";
            EXPECT_STREQ(cimTypeToString(m.getType()), returnType) << name;
        }

    // The standard class offers the five standard methods, which the vendor class inherits.
    const CIMClass standard = resolved("CIM_StorageConfigurationService");
    EXPECT_EQ(standard.getMethodCount(), 5u);
    const std::vector<std::string> all = words(UINT32_METHODS);
    for (auto name = all.begin(); name != all.begin() + 5; ++name)
    {
        ASSERT_FALSE(method(standard, *name).isUninitialized()) << *name;
        EXPECT_TRUE(method(vendor, *name).getPropagated()) << *name;
        EXPECT_EQ(text(method(vendor, *name).getClassOrigin().getString()),
                  "CIM_StorageConfigurationService");
    }
    EXPECT_TRUE(method(vendor, "GetMaximumVolumeSize").isUninitialized())
        << "only the misspelt name is served";
}

// Per method, "Name type direction" of the parameters the module reads and delivers; a
// reference's type is its class. The methods the integration and stress tests call through a real
// host with untyped parameters (volume creation and return, scans, task control, drive methods by
// reference, the base pool, persistence writes) fail there when a type is wrong; these are the others.
const std::pair<const char*, const char*> PARAMETERS[] = {
    {"GetMaxiumumVolumeSize",
     "ChunkSize uint32 IN, StripeWidth uint8 IN, MirrorCount uint8 IN, Pool CIM_StoragePool IN, "
     "VolumeOrganization uint16 IN, StorageDevice CIM_DiskDrive[] IN, MaxVolumeSize uint64 OUT"},
    {"CreateVolume", "ElementName string IN, Size uint64 IN,OUT, StorageVolume CIM_StorageVolume OUT"},
    {"ReconfigureVolume", "Volume CIM_StorageVolume IN, ShadowVolume CIM_StorageVolume OUT"},
    {"ScanStorageElement", "ScheduledTaskPriority uint32 IN"},
    {"RebuildStorageElement", "StorageElement CIM_StorageExtent IN"},
    {"TransferDrive", "Pool uint32 IN, Drive uint32 IN"},
    {"InitiateShutdown", "Restart boolean IN"},
    {"InitiateFirmwareUpgrade", "ImageSize uint32 IN"},
    {"CompleteFirmwareUpgrade", "Environment uint32 IN"},
    {"SetDiskLineMode", "DiskLineMode uint16 IN"},
    {"RescheduleTask", "Job CIM_ConcreteJob IN, ScheduledTaskStartTime datetime IN, Periodicity uint16 IN"},
    {"ReadPersistenceData", "Data string OUT"},
};

TEST(Schema, ParametersTheModuleReadsAndDeliversHaveItsNamesTypesAndDirections)
{
    const CIMClass vendor = resolved("Zarvo_StorageConfigurationService");
    for (const auto& [methodName, signature] : PARAMETERS)
    {
        SCOPED_TRACE(methodName);
        const CIMConstMethod m = method(vendor, methodName);
        ASSERT_FALSE(m.isUninitialized());
        std::istringstream parameters(signature);
        for (std::string name, type, way; parameters >> name >> type >> way;)
        {
            if (way.back() == ',') way.pop_back();
            SCOPED_TRACE(name);
            const Uint32 index = m.findParameter(CIMName(name.c_str()));
            ASSERT_NE(index, PEG_NOT_FOUND);
            const CIMConstParameter p = m.getParameter(index);
            EXPECT_EQ(text(p.getName().getString()), name) << "the module matches names case-sensitively";
            EXPECT_EQ(typeText(p), type);
            EXPECT_EQ(direction(p), way);
        }
    }
}

// Rules that hold for every method of the service, so that a method added later keeps them.
TEST(Schema, EveryServiceParameterHasADirectionAndJobStartingMethodsReturnTheJob)
{
    const CIMClass vendor = resolved("Zarvo_StorageConfigurationService");
    for (Uint32 i = 0; i < vendor.getMethodCount(); ++i)
    {
        const CIMConstMethod m = vendor.getMethod(i);
        SCOPED_TRACE(text(m.getName().getString()));
        std::set<std::string> seen;
        bool outJob = false;
        for (Uint32 j = 0; j < m.getParameterCount(); ++j)
        {
            const CIMConstParameter p = m.getParameter(j);
            const std::string parameter = text(p.getName().getString());
            EXPECT_TRUE(seen.insert(parameter).second) << "repeats " << parameter;
            EXPECT_NE(p.findQualifier(CIMName("In")), PEG_NOT_FOUND) << parameter << ": IN not explicit";
            EXPECT_NE(direction(p), "none") << parameter;
            outJob = outJob || (parameter == "Job" && flag(p, "Out"));
        }
        const std::vector<std::string> codes = strings(m, "ValueMap");
        EXPECT_EQ(std::find(codes.begin(), codes.end(), "4096") != codes.end(), outJob)
            << "return code 4096 and an OUT Job go together";
    }
}

TEST(Schema, ServedClassesAreConcreteAndKeyedAsTheirPathsAre)
{
    const char* device = "SystemCreationClassName SystemName CreationClassName DeviceID";
    const char* service = "SystemCreationClassName SystemName CreationClassName Name";
    const std::map<std::string, std::string> keys = {
        {"CIM_StorageConfigurationService", service},
        {"Zarvo_StorageConfigurationService", service},
        {"CIM_ConcreteJob", "InstanceID"},
        {"CIM_StorageVolume", device},
        {"CIM_DiskDrive", device},
        {"CIM_StoragePool", "InstanceID"},
        {"CIM_StorageSetting", "InstanceID"},
        {"CIM_StorageCapabilities", "InstanceID"},
        {"CIM_ComputerSystem", "CreationClassName Name"},
        {"CIM_AffectedJobElement", "AffectedElement AffectingElement"},
        {"CIM_OwningJobElement", "OwningElement OwnedElement"},
        {"CIM_AllocatedFromStoragePool", "Antecedent Dependent"},
        {"CIM_HostedStoragePool", "GroupComponent PartComponent"},
    };
    for (const auto& [className, expected] : keys)
    {
        SCOPED_TRACE(className);
        const CIMClass cls = resolved(className);
        EXPECT_FALSE(cls.isAbstract());
        std::set<std::string> actual;
        for (Uint32 i = 0; i < cls.getPropertyCount(); ++i)
            if (flag(cls.getProperty(i), "Key"))
                actual.insert(text(cls.getProperty(i).getName().getString()));
        const std::vector<std::string> wanted = words(expected);
        EXPECT_EQ(actual, std::set<std::string>(wanted.begin(), wanted.end()));
    }
    EXPECT_TRUE(resolved("CIM_ManagedElement").isAbstract());
    EXPECT_TRUE(resolved("CIM_Job").isAbstract());
}

TEST(Schema, AssociationsReferenceTheRightClassesThroughTheirHierarchy)
{
    const char* const references[][3] = {
        {"CIM_AffectedJobElement", "AffectedElement", "CIM_ManagedElement"},
        {"CIM_AffectedJobElement", "AffectingElement", "CIM_Job"},
        {"CIM_OwningJobElement", "OwningElement", "CIM_ManagedElement"},
        {"CIM_OwningJobElement", "OwnedElement", "CIM_Job"},
        {"CIM_AllocatedFromStoragePool", "Antecedent", "CIM_StoragePool"},
        {"CIM_AllocatedFromStoragePool", "Dependent", "CIM_LogicalElement"},
        {"CIM_HostedStoragePool", "GroupComponent", "CIM_System"},
        {"CIM_HostedStoragePool", "PartComponent", "CIM_StoragePool"},
    };
    for (const auto& [association, role, referenceClass] : references)
    {
        SCOPED_TRACE(std::string(association) + "." + role);
        const CIMClass cls = resolved(association);
        EXPECT_TRUE(cls.isAssociation());
        const Uint32 index = cls.findProperty(CIMName(role));
        ASSERT_NE(index, PEG_NOT_FOUND);
        EXPECT_EQ(typeText(cls.getProperty(index)), referenceClass);
    }
    for (const auto& [cls, ancestor] : {std::pair("CIM_HostedStoragePool", "CIM_Component"),
                                        {"CIM_AllocatedFromStoragePool", "CIM_Dependency"},
                                        {"CIM_ConcreteJob", "CIM_ManagedElement"},
                                        {"CIM_StorageVolume", "CIM_LogicalElement"},
                                        {"CIM_DiskDrive", "CIM_ManagedSystemElement"}})
        EXPECT_TRUE(schema().isA(SNIA, CIMName(cls), CIMName(ancestor))) << cls;
    EXPECT_FALSE(schema().isA(SNIA, CIMName("CIM_DiskDrive"), CIMName("CIM_StorageExtent")));
}

// What the managed-object library's builders put into instances, by class and type; a strict
// server refuses a property its class does not declare, or one of another type.
const char* const BUILT[][3] = {
    {"CIM_ConcreteJob", "string", "InstanceID Name ElementName Description JobStatus ErrorDescription"},
    {"CIM_ConcreteJob", "uint16",
     "JobState PercentComplete LocalOrUtcTime ErrorCode PeriodicityType Periodicity"},
    {"CIM_ConcreteJob", "uint32", "Priority JobRunTimes RunCount"},
    {"CIM_ConcreteJob", "datetime",
     "TimeSubmitted StartTime TimeOfLastStateChange ElapsedTime TimeBeforeRemoval ScheduledStartTime"},
    {"CIM_ConcreteJob", "boolean", "DeleteOnCompletion"},
    {"CIM_DiskDrive", "string", "DeviceID ElementName Name Description"},
    {"CIM_DiskDrive", "uint64", "DefaultBlockSize MaxMediaSize"},
    {"CIM_StorageVolume", "string", "DeviceID ElementName Name"},
    {"CIM_StorageVolume", "uint16", "DataRedundancy PackageRedundancy ExtentStripeLength"},
    {"CIM_StorageVolume", "uint64", "BlockSize NumberOfBlocks ConsumableBlocks ExtentInterleaveDepth"},
    {"CIM_StorageVolume", "boolean",
     "NoSinglePointOfFailure IsBasedOnUnderlyingRedundancy IsComposite Primordial"},
    {"CIM_StoragePool", "string", "InstanceID PoolID ElementName"},
    {"CIM_StoragePool", "uint64", "TotalManagedSpace RemainingManagedSpace"},
    {"CIM_StoragePool", "boolean", "Primordial"},
    {"CIM_StorageSetting", "string", "InstanceID ElementName"},
    {"CIM_StorageSetting", "uint16",
     "ChangeableType DataRedundancyGoal DataRedundancyMin DataRedundancyMax PackageRedundancyGoal "
     "PackageRedundancyMin PackageRedundancyMax ExtentStripeLength ExtentStripeLengthMin "
     "ExtentStripeLengthMax "
     "ParityLayout"},
    {"CIM_StorageSetting", "uint64", "UserDataStripeDepth UserDataStripeDepthMin UserDataStripeDepthMax"},
    {"CIM_StorageSetting", "boolean", "NoSinglePointOfFailure"},
    {"CIM_ConcreteJob CIM_DiskDrive CIM_StorageVolume CIM_StoragePool", "uint16[]", "OperationalStatus"},
};

TEST(Schema, EveryPropertyTheInstanceBuildersProduceIsDeclaredWithItsType)
{
    for (const auto& [classNames, type, properties] : BUILT)
        for (const std::string& className : words(classNames))
        {
            const CIMClass cls = resolved(className);
            for (const std::string& name : words(properties))
            {
                SCOPED_TRACE(className + "." + name);
                const Uint32 index = cls.findProperty(CIMName(name.c_str()));
                ASSERT_NE(index, PEG_NOT_FOUND);
                EXPECT_EQ(typeText(cls.getProperty(index)), type);
            }
        }
}

// An enumeration whose ValueMap and Values differ in length shows clients the wrong names.
TEST(Schema, EveryValueMapHasOneValuePerEntry)
{
    auto check = [](const auto& element, const std::string& where)
    {
        const size_t map = strings(element, "ValueMap").size(), values = strings(element, "Values").size();
        EXPECT_TRUE(!map || !values || map == values) << where << ": " << map << " against " << values;
    };
    for (const CIMNamespaceName& ns : {SNIA, INTEROP})
        for (const CIMName& className : schema().subclassNames(ns, CIMName(), true))
        {
            const CIMClass cls = schema().resolvedClass(ns, className);
            const std::string where = text(className.getString()) + ".";
            for (Uint32 i = 0; i < cls.getPropertyCount(); ++i)
                check(cls.getProperty(i), where + text(cls.getProperty(i).getName().getString()));
            for (Uint32 i = 0; i < cls.getMethodCount(); ++i)
            {
                const CIMConstMethod m = cls.getMethod(i);
                check(m, where + text(m.getName().getString()));
                for (Uint32 j = 0; j < m.getParameterCount(); ++j)
                    check(m.getParameter(j), where + text(m.getName().getString()) + "." +
                                                 text(m.getParameter(j).getName().getString()));
            }
        }
}

// What a CIM server reads only from the module registration, beyond what cimhost serves by: the
// interface it loads the modules through, and one agent process, so one simulated array, for both
// modules when it runs them out of process.
TEST(Schema, ModulesAreRegisteredForTheDefaultInterfaceInOneGroup)
{
    const std::vector<CIMInstance> modules =
        schema().declaredInstances(INTEROP, CIMName("PG_ProviderModule"));
    ASSERT_EQ(modules.size(), 2u) << "the storage module and the inventory module";
    for (const CIMInstance& module : modules)
        for (const auto& [name, expected] : {std::pair("InterfaceType", "C++Default"),
                                             {"InterfaceVersion", "2.1.0"},
                                             {"ModuleGroupName", "ZarvoArray"}})
        {
            String value;
            module.getProperty(module.findProperty(CIMName(name))).getValue().get(value);
            EXPECT_EQ(text(value), expected);
        }
}

// A profile's central instances are every instance of the classes its registration lists, or,
// with none listed, those its provider's own CIM_ElementConformsToProfile subclass names: the Array
// profile must take the second road, or the controllers conform as arrays.
TEST(Schema, ProfilesFindTheirCentralInstancesByTheRuleTheirRegistrationChooses)
{
    std::map<std::string, std::string> rules;
    const cimhost::ProviderRegistry registry = cimhost::ProviderRegistry::fromRepository(schema());
    for (const cimhost::ProfileCapability& profile : registry.profiles())
    {
        std::string rule;
        for (const CIMName& conforming : profile.conformingElements)
            rule += "every " + text(conforming.getString());
        for (const cimhost::ServedClass& served : profile.conformanceClasses)
            rule +=
                "named by " + text(served.nameSpace.getString()) + ":" + text(served.className.getString());
        rules[profile.profile.name] = rule;
    }
    const std::map<std::string, std::string> expected = {
        {"Array", "named by root/snia:Zarvo_ElementConformsToProfile"},
        {"Block Services", "every CIM_StorageConfigurationService"}};
    EXPECT_EQ(rules, expected);
}

} // namespace
