// In-process harness for the provider module: the module loaded with dlopen, providers made
// through its entry point, a simulated engine on a manual clock, recording response handlers, a
// CIM server handle the test controls, and a capture of standard output split into trace lines.
#ifndef SCS_TEST_ModuleHarness_h
#define SCS_TEST_ModuleHarness_h

#include <atomic>
#include <algorithm>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <Pegasus/Common/ResponseHandler.h>
#include <Pegasus/Provider/CIMOMHandleRep.h>
#include <Pegasus/Provider/CIMProvider.h>
#include <Pegasus/Provider/CIMInstanceProvider.h>
#include <Pegasus/Provider/CIMAssociationProvider.h>
#include <Pegasus/Provider/CIMMethodProvider.h>

#include <KVELClock.h>
#include <KVELEngine.h>
#include <SMIEventServices.h>

namespace scs_test
{

using namespace Pegasus;

std::string str(const String& s);
// The value of the path's key of that name (names compare ignoring case); "<none>" without one.
std::string keyOf(const CIMObjectPath& path, const char* name);
// The CIMException that `call` throws; fails the test (and answers a default one) when none is.
CIMException cimExceptionFrom(const std::function<void()>& call);

// Every call a handler receives, in order: "processing", "deliver", "param:<name>", "complete".
class RecordingHandler : public virtual ResponseHandler
{
public:
    std::vector<std::string> calls;
    void processing() override { calls.push_back("processing"); }
    void complete() override { calls.push_back("complete"); }
};

// A handler of instances, paths or objects that keeps what it is given.
template <class Handler, class T> class Recorder : public RecordingHandler, public Handler
{
public:
    Array<T> delivered;
    void deliver(const T& item) override
    {
        calls.push_back("deliver");
        delivered.append(item);
    }
    void deliver(const Array<T>& items) override
    {
        for (Uint32 i = 0; i < items.size(); ++i)
            deliver(items[i]);
    }
};
using InstanceRecorder = Recorder<InstanceResponseHandler, CIMInstance>;
using PathRecorder = Recorder<ObjectPathResponseHandler, CIMObjectPath>;
using ObjectRecorder = Recorder<ObjectResponseHandler, CIMObject>;

class MethodRecorder : public RecordingHandler, public MethodResultResponseHandler
{
public:
    Array<CIMParamValue> outputs;
    std::vector<CIMValue> returnValues;
    void deliverParamValue(const CIMParamValue& value) override;
    void deliverParamValue(const Array<CIMParamValue>& values) override;
    void deliver(const CIMValue& value) override;

    // The output parameter of that name; fails the test when it is missing.
    CIMValue output(const char* name) const;
    std::vector<std::string> outputNames() const;
    bool hasOutput(const char* name) const
    {
        const std::vector<std::string> names = outputNames();
        return std::find(names.begin(), names.end(), name) != names.end();
    }
    // The one return value; fails the test unless exactly one was delivered.
    CIMValue returnValue() const;
};

using PlainRecorder = RecordingHandler; // for operations that deliver nothing

// One trace line split into its pieces.
struct TraceLine
{
    std::string marker, rest; // rest = indent + text
    std::string file;         // of the file-line field
    int line = 0;
    // Whether the text, after some indent, is exactly `text`.
    bool hasText(const std::string& text) const;
};

// Captures std::cout while alive.
class TraceCapture
{
public:
    TraceCapture();
    ~TraceCapture();
    std::vector<TraceLine> lines() const;
    std::vector<TraceLine> matching(const std::function<bool(const TraceLine&)>& wanted) const;
    // Lines whose text (after the indent) is exactly `text`.
    std::vector<TraceLine> find(const std::string& text) const
    {
        return matching([&](const TraceLine& line) { return line.hasText(text); });
    }
    // Lines whose text contains `fragment`.
    std::vector<TraceLine> containing(const std::string& fragment) const
    {
        return matching([&](const TraceLine& line) { return line.rest.find(fragment) != std::string::npos; });
    }
    // Success when exactly one line has the text `text`; the failure shows what was traced.
    ::testing::AssertionResult hasOnce(const std::string& text) const;
    std::string raw() const { return _buffer.str(); }

private:
    std::ostringstream _buffer;
    std::streambuf* _saved;
};

// The server side of CIMOMHandle: enumerateInstances records its arguments in `calls` (as
// "namespace class deepInheritance localOnly includeQualifiers includeClassOrigin (properties)"),
// runs `failure` when set (to throw whatever the test wants) and answers `instances`; every other
// call is refused.
class TestCimomRep : public CIMOMHandleRep
{
public:
    std::vector<std::string> calls;
    Array<CIMInstance> instances;
    std::function<void()> failure;

    using Ctx = const OperationContext&;
    using Ns = const CIMNamespaceName&;
    using Name = const CIMName&;
    using Path = const CIMObjectPath&;
    using Props = const CIMPropertyList&;
    Array<CIMInstance> enumerateInstances(Ctx, Ns nameSpace, Name className, Boolean deepInheritance,
                                          Boolean localOnly, Boolean includeQualifiers,
                                          Boolean includeClassOrigin, Props propertyList) override;
    // clang-format off
#define SCS_REFUSED override { throw CIMNotSupportedException("test handle"); }
    CIMClass getClass(Ctx, Ns, Name, Boolean, Boolean, Boolean, Props) SCS_REFUSED
    Array<CIMClass> enumerateClasses(Ctx, Ns, Name, Boolean, Boolean, Boolean, Boolean) SCS_REFUSED
    Array<CIMName> enumerateClassNames(Ctx, Ns, Name, Boolean) SCS_REFUSED
    void createClass(Ctx, Ns, const CIMClass&) SCS_REFUSED
    void modifyClass(Ctx, Ns, const CIMClass&) SCS_REFUSED
    void deleteClass(Ctx, Ns, Name) SCS_REFUSED
    CIMInstance getInstance(Ctx, Ns, Path, Boolean, Boolean, Boolean, Props) SCS_REFUSED
    Array<CIMObjectPath> enumerateInstanceNames(Ctx, Ns, Name) SCS_REFUSED
    CIMObjectPath createInstance(Ctx, Ns, const CIMInstance&) SCS_REFUSED
    void modifyInstance(Ctx, Ns, const CIMInstance&, Boolean, Props) SCS_REFUSED
    void deleteInstance(Ctx, Ns, Path) SCS_REFUSED
    Array<CIMObject> execQuery(Ctx, Ns, const String&, const String&) SCS_REFUSED
    Array<CIMObject> associators(Ctx, Ns, Path, Name, Name, const String&, const String&, Boolean, Boolean,
                                 Props) SCS_REFUSED
    Array<CIMObjectPath> associatorNames(Ctx, Ns, Path, Name, Name, const String&, const String&) SCS_REFUSED
    Array<CIMObject> references(Ctx, Ns, Path, Name, const String&, Boolean, Boolean, Props) SCS_REFUSED
    Array<CIMObjectPath> referenceNames(Ctx, Ns, Path, Name, const String&) SCS_REFUSED
    CIMValue getProperty(Ctx, Ns, Path, Name) SCS_REFUSED
    void setProperty(Ctx, Ns, Path, Name, const CIMValue&) SCS_REFUSED
    CIMValue invokeMethod(Ctx, Ns, Path, Name, const Array<CIMParamValue>&, Array<CIMParamValue>&) SCS_REFUSED
    // clang-format on
#undef SCS_REFUSED
};

// A manual clock that also jumps by itself at a chosen later reading (see jumpClockAt), so that an
// engine task ends between two engine calls of one provider operation.
struct TestClock : KVELManualClock
{
    using KVELManualClock::KVELManualClock;
    MPU_TIME now() const override
    {
        if (readingsBeforeJump.fetch_sub(1) == 1) const_cast<TestClock*>(this)->advance(jump);
        return KVELManualClock::now();
    }
    mutable std::atomic<int> readingsBeforeJump{0};
    MPU_TIME jump = 0;
};

// Loads the module once per process and gives each test a fresh engine on a test clock.
class ModuleTest : public ::testing::Test
{
protected:
    static const MPU_TIME START_TIME; // 2026-03-01T12:00:00Z

    void SetUp() override;
    void TearDown() override;

    typedef CIMProvider* (*CreateProvider)(const String&);
    static CreateProvider entryPoint();

    // A provider made through the entry point, seen through one of its interfaces, and
    // initialised with the test handle. The fixture terminates it at the end of the test (and
    // deletes it, unless it deletes itself there as the job provider does).
    template <class P> P* provider(const char* name)
    {
        CIMProvider* made = entryPoint()(String(name));
        P* typed = dynamic_cast<P*>(made);
        EXPECT_NE(typed, nullptr) << name;
        if (!typed) return nullptr;
        made->initialize(_cimom);
        _made.push_back(
            {made, providersDeleteThemselves || String::equalNoCase(name, "ConcreteJobProvider")});
        return typed;
    }

    // Set by fixtures of modules whose every provider deletes itself in terminate().
    bool providersDeleteThemselves = false;
    // Set before SetUp to give the engine a durable state file in a folder of its own. Once
    // removeStateFolder() has taken the folder away, every change answers KVEL_RC_STATE_NOT_SAVED.
    bool durableState = false;
    void removeStateFolder();

    KVELEngine& engine() { return *_engine; }
    void advance(MPU_TIME micros) { _clock->advance(micros); }
    // The `reading`-th reading of the clock from now on (1 is the next) and every later one read
    // `micros` more; 0 cancels a jump still to come.
    void jumpClockAt(int reading, MPU_TIME micros)
    {
        _clock->jump = micros;
        _clock->readingsBeforeJump = reading;
    }

    TestCimomRep* cimomRep() { return _rep; }
    // Where the engine makes its persistence transfer files.
    const std::string& ramdiskDirectory() const { return _ramdisk; }
    OperationContext context;

    // Engine queries used by many tests.
    std::vector<Uint32> objects(CLASSID_e classID);
    std::vector<Uint32> objects(CLASSID_e classID, const std::function<bool(Uint32)>& wanted);
    std::vector<Uint32> volumes() // real volumes, not setting records
    {
        return objects(CLASSID_VOLUME, [this](Uint32 id) { return !volume(id)->IsSetting; });
    }
    std::vector<Uint32> settings()
    {
        return objects(CLASSID_VOLUME, [this](Uint32 id) { return volume(id)->IsSetting; });
    }
    std::vector<Uint32> drivesInPool(Uint32 poolID)
    {
        return objects(CLASSID_DRIVE,
                       [this, poolID](Uint32 id) { return drive(id)->PoolObjectID == poolID; });
    }
    template <class Record> std::unique_ptr<Record> record(CLASSID_e classID, Uint32 id)
    {
        return std::unique_ptr<Record>(dynamic_cast<Record*>(_engine->getObject(classID, id)));
    }
    std::unique_ptr<KVELVolume> volume(Uint32 id) { return record<KVELVolume>(CLASSID_VOLUME, id); }
    std::unique_ptr<KVELTask> task(Uint32 id) { return record<KVELTask>(CLASSID_TASK, id); }
    std::unique_ptr<KVELDrive> drive(Uint32 id) { return record<KVELDrive>(CLASSID_DRIVE, id); }
    // Starts a media scan of the volume; returns its task.
    Uint32 startScan(Uint32 volumeID);

    // Paths a client would send.
    static CIMObjectPath keyedPath(const char* className,
                                   std::initializer_list<std::pair<const char*, String>> keys);
    static CIMObjectPath idPath(const char* className, const std::string& instanceID)
    {
        return keyedPath(className, {{"InstanceID", instanceID.c_str()}});
    }
    static CIMObjectPath devicePath(const char* className, const std::string& deviceID);
    static CIMObjectPath systemRef(const std::string& name)
    {
        return keyedPath("CIM_ComputerSystem",
                         {{"CreationClassName", "CIM_ComputerSystem"}, {"Name", name.c_str()}});
    }
    static CIMObjectPath servicePath(const char* className = "Zarvo_StorageConfigurationService");
    static CIMObjectPath volumeRef(Uint32 id) { return devicePath("CIM_StorageVolume", hex(id)); }
    static CIMObjectPath driveRef(Uint32 id) { return devicePath("CIM_DiskDrive", hex(id)); }
    static CIMObjectPath poolRef(Uint32 id) { return idPath("CIM_StoragePool", hex(id)); }
    static CIMObjectPath settingRef(Uint32 id) { return idPath("CIM_StorageSetting", hex(id)); }
    CIMObjectPath jobRef(Uint32 taskID);
    // Upper case as keys are served; "%x" as trace lines write IDs.
    static std::string hex(Uint32 id, const char* format = "%X");

private:
    std::shared_ptr<TestClock> _clock;
    KVELEngine* _engine = nullptr;
    TestCimomRep* _rep = nullptr;
    CIMOMHandle _cimom;
    struct MadeProvider
    {
        CIMProvider* provider;
        bool deletesItself;
    };
    std::vector<MadeProvider> _made;
    std::string _ramdisk;
    std::string _stateFolder;
};

} // namespace scs_test

#endif
