// In-process harness for the provider module: the module loaded with dlopen, providers made
// through its entry point, a simulated engine on a manual clock, recording response handlers, a
// CIM server handle the test controls, and a capture of standard output split into trace lines.
#ifndef SCS_TEST_ModuleHarness_h
#define SCS_TEST_ModuleHarness_h

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

// Every call a handler receives, in order: "processing", "deliver", "param:<name>", "complete".
class RecordingHandler : public virtual ResponseHandler
{
public:
    std::vector<std::string> calls;
    void processing() override { calls.push_back("processing"); }
    void complete() override { calls.push_back("complete"); }
};

class InstanceRecorder : public RecordingHandler, public InstanceResponseHandler
{
public:
    Array<CIMInstance> instances;
    void deliver(const CIMInstance& instance) override;
    void deliver(const Array<CIMInstance>& instances) override;
};

class PathRecorder : public RecordingHandler, public ObjectPathResponseHandler
{
public:
    Array<CIMObjectPath> paths;
    void deliver(const CIMObjectPath& path) override;
    void deliver(const Array<CIMObjectPath>& paths) override;
};

class ObjectRecorder : public RecordingHandler, public ObjectResponseHandler
{
public:
    Array<CIMObject> objects;
    void deliver(const CIMObject& object) override;
    void deliver(const Array<CIMObject>& objects) override;
};

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
    bool hasOutput(const char* name) const;
    std::vector<std::string> outputNames() const;
    // The one return value; fails the test unless exactly one was delivered.
    CIMValue returnValue() const;
};

class PlainRecorder : public RecordingHandler
{
};

// One trace line split into its pieces.
struct TraceLine
{
    std::string timestamp, pid, fileLine, marker, rest; // rest = indent + text
    std::string file;
    int line = 0;
    // The text without the indent (leading pairs of blanks, as many as the scope depth).
    std::string textAt(int depth) const;
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
    // Lines whose text (after the indent) is exactly `text`.
    std::vector<TraceLine> find(const std::string& text) const;
    // Lines whose text contains `fragment`.
    std::vector<TraceLine> containing(const std::string& fragment) const;
    std::string raw() const { return _buffer.str(); }

private:
    std::ostringstream _buffer;
    std::streambuf* _saved;
};

// The server side of CIMOMHandle: enumerateInstances records its arguments, runs `failure` when
// set (to throw whatever the test wants) and answers `instances`; every other call is refused.
class TestCimomRep : public CIMOMHandleRep
{
public:
    struct EnumerateCall
    {
        CIMNamespaceName nameSpace;
        CIMName className;
        bool deepInheritance, localOnly, includeQualifiers, includeClassOrigin;
        CIMPropertyList propertyList;
    };
    std::vector<EnumerateCall>* calls = nullptr;
    Array<CIMInstance> instances;
    std::function<void()> failure;

#define SCS_REFUSED(...)                                                                                     \
    {                                                                                                        \
        throw CIMNotSupportedException("test handle");                                                       \
    }
    CIMClass getClass(const OperationContext&, const CIMNamespaceName&, const CIMName&, Boolean, Boolean,
                      Boolean, const CIMPropertyList&) override
        SCS_REFUSED() Array<CIMClass> enumerateClasses(const OperationContext&, const CIMNamespaceName&,
                                                       const CIMName&, Boolean, Boolean, Boolean,
                                                       Boolean) override
        SCS_REFUSED() Array<CIMName> enumerateClassNames(const OperationContext&, const CIMNamespaceName&,
                                                         const CIMName&, Boolean) override
        SCS_REFUSED() void createClass(const OperationContext&, const CIMNamespaceName&,
                                       const CIMClass&) override
        SCS_REFUSED() void modifyClass(const OperationContext&, const CIMNamespaceName&,
                                       const CIMClass&) override
        SCS_REFUSED() void deleteClass(const OperationContext&, const CIMNamespaceName&,
                                       const CIMName&) override SCS_REFUSED() CIMInstance
        getInstance(const OperationContext&, const CIMNamespaceName&, const CIMObjectPath&, Boolean, Boolean,
                    Boolean, const CIMPropertyList&) override
        SCS_REFUSED() Array<CIMInstance> enumerateInstances(const OperationContext& context,
                                                            const CIMNamespaceName& nameSpace,
                                                            const CIMName& className, Boolean deepInheritance,
                                                            Boolean localOnly, Boolean includeQualifiers,
                                                            Boolean includeClassOrigin,
                                                            const CIMPropertyList& propertyList) override;
    Array<CIMObjectPath> enumerateInstanceNames(const OperationContext&, const CIMNamespaceName&,
                                                const CIMName&) override SCS_REFUSED() CIMObjectPath
        createInstance(const OperationContext&, const CIMNamespaceName&, const CIMInstance&) override
        SCS_REFUSED() void modifyInstance(const OperationContext&, const CIMNamespaceName&,
                                          const CIMInstance&, Boolean, const CIMPropertyList&) override
        SCS_REFUSED() void deleteInstance(const OperationContext&, const CIMNamespaceName&,
                                          const CIMObjectPath&) override
        SCS_REFUSED() Array<CIMObject> execQuery(const OperationContext&, const CIMNamespaceName&,
                                                 const String&, const String&) override
        SCS_REFUSED() Array<CIMObject> associators(const OperationContext&, const CIMNamespaceName&,
                                                   const CIMObjectPath&, const CIMName&, const CIMName&,
                                                   const String&, const String&, Boolean, Boolean,
                                                   const CIMPropertyList&) override
        SCS_REFUSED() Array<CIMObjectPath> associatorNames(const OperationContext&, const CIMNamespaceName&,
                                                           const CIMObjectPath&, const CIMName&,
                                                           const CIMName&, const String&,
                                                           const String&) override
        SCS_REFUSED() Array<CIMObject> references(const OperationContext&, const CIMNamespaceName&,
                                                  const CIMObjectPath&, const CIMName&, const String&,
                                                  Boolean, Boolean, const CIMPropertyList&) override
        SCS_REFUSED() Array<CIMObjectPath> referenceNames(const OperationContext&, const CIMNamespaceName&,
                                                          const CIMObjectPath&, const CIMName&,
                                                          const String&) override SCS_REFUSED() CIMValue
        getProperty(const OperationContext&, const CIMNamespaceName&, const CIMObjectPath&,
                    const CIMName&) override
        SCS_REFUSED() void setProperty(const OperationContext&, const CIMNamespaceName&, const CIMObjectPath&,
                                       const CIMName&, const CIMValue&) override SCS_REFUSED() CIMValue
        invokeMethod(const OperationContext&, const CIMNamespaceName&, const CIMObjectPath&, const CIMName&,
                     const Array<CIMParamValue>&, Array<CIMParamValue>&) override SCS_REFUSED()
#undef SCS_REFUSED
};

// Loads the module once per process and gives each test a fresh engine on a manual clock.
class ModuleTest : public ::testing::Test
{
protected:
    static const MPU_TIME START_TIME; // 2026-03-01T12:00:00Z

    void SetUp() override;
    void TearDown() override;

    typedef CIMProvider* (*CreateProvider)(const String&);
    static CreateProvider entryPoint();
    static std::string modulePath();

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
    KVELManualClock& clock() { return *_clock; }
    void advance(MPU_TIME micros) { _clock->advance(micros); }

    TestCimomRep* cimomRep() { return _rep; }
    // Where the engine makes its persistence transfer files.
    const std::string& ramdiskDirectory() const { return _ramdisk; }
    OperationContext context;
    std::vector<TestCimomRep::EnumerateCall> enumerateCalls;

    // Engine queries used by many tests.
    std::vector<Uint32> objects(CLASSID_e classID);
    std::vector<Uint32> volumes();  // real volumes, not setting records
    std::vector<Uint32> settings(); // volume setting records
    std::vector<Uint32> drivesInPool(Uint32 poolID);
    std::unique_ptr<KVELVolume> volume(Uint32 id);
    std::unique_ptr<KVELTask> task(Uint32 id);
    std::unique_ptr<KVELDrive> drive(Uint32 id);

    // Paths a client would send.
    CIMObjectPath servicePath(const char* className = "Zarvo_StorageConfigurationService");
    CIMObjectPath volumeRef(Uint32 id);
    CIMObjectPath driveRef(Uint32 id);
    CIMObjectPath poolRef(Uint32 id);
    CIMObjectPath settingRef(Uint32 id);
    CIMObjectPath jobRef(Uint32 taskID);
    std::string hex(Uint32 id);

private:
    std::shared_ptr<KVELManualClock> _clock;
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
