#include "ModuleHarness.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include <KVELiPtr.h>
#include <ProviderTraceServices.h>

namespace scs_test
{

std::string str(const String& s)
{
    return std::string(static_cast<const char*>(s.getCString()));
}

std::string keyOf(const CIMObjectPath& path, const char* name)
{
    const Array<CIMKeyBinding>& keys = path.getKeyBindings();
    for (Uint32 i = 0; i < keys.size(); ++i)
        if (keys[i].getName().equal(CIMName(name))) return str(keys[i].getValue());
    return "<none>";
}

CIMException cimExceptionFrom(const std::function<void()>& call)
{
    try
    {
        call();
    }
    catch (const CIMException& e)
    {
        return e;
    }
    ADD_FAILURE() << "no CIMException was thrown";
    return CIMException();
}

// ---- handlers -----------------------------------------------------------------------------------

void MethodRecorder::deliverParamValue(const CIMParamValue& value)
{
    calls.push_back("param:" + str(value.getParameterName()));
    outputs.append(value);
}
void MethodRecorder::deliverParamValue(const Array<CIMParamValue>& values)
{
    for (Uint32 i = 0; i < values.size(); ++i)
        deliverParamValue(values[i]);
}
void MethodRecorder::deliver(const CIMValue& value)
{
    calls.push_back("deliver");
    returnValues.push_back(value);
}

CIMValue MethodRecorder::output(const char* name) const
{
    for (Uint32 i = 0; i < outputs.size(); ++i)
        if (outputs[i].getParameterName() == name) return outputs[i].getValue();
    ADD_FAILURE() << "no output parameter " << name;
    return CIMValue();
}

std::vector<std::string> MethodRecorder::outputNames() const
{
    std::vector<std::string> names;
    for (Uint32 i = 0; i < outputs.size(); ++i)
        names.push_back(str(outputs[i].getParameterName()));
    return names;
}

CIMValue MethodRecorder::returnValue() const
{
    EXPECT_EQ(returnValues.size(), 1u) << "return values delivered";
    return returnValues.empty() ? CIMValue() : returnValues.back();
}

// ---- trace capture --------------------------------------------------------------------------------

bool TraceLine::hasText(const std::string& text) const
{
    if (rest.size() < text.size() || rest.compare(rest.size() - text.size(), text.size(), text) != 0)
        return false;
    size_t indent = rest.size() - text.size();
    return indent % 2 == 0 && rest.find_first_not_of(' ') >= indent;
}

TraceCapture::TraceCapture() : _saved(std::cout.rdbuf(_buffer.rdbuf())) {}

TraceCapture::~TraceCapture()
{
    std::cout.rdbuf(_saved);
}

// Layout of a line: timestamp " " pid " " file-line field (30) marker (5) ": " indent text. The
// timestamp and pid fields are the trace services' own tests' concern.
std::vector<TraceLine> TraceCapture::lines() const
{
    std::vector<TraceLine> result;
    std::istringstream in(_buffer.str());
    for (std::string text; std::getline(in, text);)
    {
        size_t marker = text.find(":----: ");
        if (marker == std::string::npos) marker = text.find(":ERR!: ");
        const size_t end = marker == std::string::npos || marker == 0
                               ? std::string::npos
                               : text.find_last_not_of(' ', marker - 1);
        const size_t start = end == std::string::npos ? end : text.rfind(' ', end);
        const size_t colon = start == std::string::npos ? start : text.rfind(':', end);
        if (colon == std::string::npos || colon <= start)
        {
            ADD_FAILURE() << "not a trace line: " << text;
            continue;
        }
        result.push_back(TraceLine{text.substr(marker, 5), text.substr(marker + 7),
                                   text.substr(start + 1, colon - start - 1),
                                   std::atoi(text.c_str() + colon + 1)});
    }
    return result;
}

std::vector<TraceLine> TraceCapture::matching(const std::function<bool(const TraceLine&)>& wanted) const
{
    std::vector<TraceLine> found;
    for (const TraceLine& line : lines())
        if (wanted(line)) found.push_back(line);
    return found;
}

::testing::AssertionResult TraceCapture::hasOnce(const std::string& text) const
{
    size_t found = find(text).size();
    if (found == 1) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << found << " lines of '" << text << "' in:\n" << raw();
}

// ---- the server handle ----------------------------------------------------------------------------

Array<CIMInstance> TestCimomRep::enumerateInstances(Ctx, Ns nameSpace, Name className,
                                                    Boolean deepInheritance, Boolean localOnly,
                                                    Boolean includeQualifiers, Boolean includeClassOrigin,
                                                    Props propertyList)
{
    std::ostringstream call;
    call << str(nameSpace.getString()) << " " << str(className.getString()) << " " << deepInheritance << " "
         << localOnly << " " << includeQualifiers << " " << includeClassOrigin << " ("
         << str(propertyList.toString()) << ")";
    calls.push_back(call.str());
    if (failure) failure();
    return instances;
}

// ---- fixture --------------------------------------------------------------------------------------

const MPU_TIME ModuleTest::START_TIME = 1772366400ULL * 1000000ULL;

ModuleTest::CreateProvider ModuleTest::entryPoint()
{
    static CreateProvider create = []
    {
        void* module = dlopen(SCS_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        if (!module)
        {
            std::fprintf(stderr, "dlopen: %s\n", dlerror());
            std::abort();
        }
        return reinterpret_cast<CreateProvider>(dlsym(module, "PegasusCreateProvider"));
    }();
    return create;
}

void ModuleTest::SetUp()
{
    char pattern[] = "/tmp/scs-module-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    _ramdisk = pattern;
    _clock = std::make_shared<TestClock>(START_TIME);
    KVELEngineConfig config;
    config.clock = _clock;
    config.ramdiskDirectory = _ramdisk;
    config.controllerSlot = 0;
    if (durableState)
    {
        char folder[] = "/tmp/scs-module-state-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        _stateFolder = folder;
        config.stateFile = _stateFolder + "/array.json";
    }
    _engine = KVELEngine::createInstance(config);
    _rep = new TestCimomRep;
    _cimom = CIMOMHandleRep::makeHandle(_rep);
    ProviderTraceServices::ptsCancelTraceSuppressForPid();
    SMIEventServices::clearRecordedEvents();
}

void ModuleTest::TearDown()
{
    for (MadeProvider& made : _made)
    {
        made.provider->terminate();
        if (!made.deletesItself) delete made.provider;
    }
    _made.clear();
    for (const std::string& folder : {_ramdisk, _stateFolder})
        if (!folder.empty()) std::filesystem::remove_all(folder);
}

void ModuleTest::removeStateFolder()
{
    ASSERT_FALSE(_stateFolder.empty()) << "the engine has no durable state";
    std::filesystem::remove_all(_stateFolder);
}

std::vector<Uint32> ModuleTest::objects(CLASSID_e classID)
{
    Array<Uint32> ids = _engine->enumerateObjects(classID);
    return std::vector<Uint32>(ids.getData(), ids.getData() + ids.size());
}

Uint32 ModuleTest::startScan(Uint32 volumeID)
{
    KVELTask record;
    EXPECT_EQ(_engine->scanVolume(volumeID, &record), Uint32(KVEL_RC_SUCCESS));
    return record.getTaskID();
}

std::vector<Uint32> ModuleTest::objects(CLASSID_e classID, const std::function<bool(Uint32)>& wanted)
{
    std::vector<Uint32> found;
    for (Uint32 id : objects(classID))
        if (wanted(id)) found.push_back(id);
    return found;
}

std::string ModuleTest::hex(Uint32 id, const char* format)
{
    char text[16];
    std::snprintf(text, sizeof text, format, id);
    return text;
}

CIMObjectPath ModuleTest::keyedPath(const char* className,
                                    std::initializer_list<std::pair<const char*, String>> keys)
{
    Array<CIMKeyBinding> bindings;
    for (const auto& key : keys)
        bindings.append(CIMKeyBinding(CIMName(key.first), key.second, CIMKeyBinding::STRING));
    return CIMObjectPath("", CIMNamespaceName("root/snia"), CIMName(className), bindings);
}

CIMObjectPath ModuleTest::devicePath(const char* className, const std::string& deviceID)
{
    return keyedPath(className, {{"SystemCreationClassName", "CIM_ComputerSystem"},
                                 {"SystemName", KVELEngine::_ZarvoSystemNamePtr},
                                 {"CreationClassName", className},
                                 {"DeviceID", deviceID.c_str()}});
}

CIMObjectPath ModuleTest::servicePath(const char* className)
{
    return keyedPath(className, {{"SystemCreationClassName", "CIM_ComputerSystem"},
                                 {"SystemName", KVELEngine::_ZarvoSystemNamePtr},
                                 {"CreationClassName", className},
                                 {"Name", KVELEngine::_ZarvoSystemNamePtr}});
}

CIMObjectPath ModuleTest::jobRef(Uint32 taskID)
{
    std::unique_ptr<KVELTask> record = task(taskID);
    EXPECT_TRUE(record) << "no task " << taskID;
    return idPath("CIM_ConcreteJob", record ? str(ManagedObject::binToHex(record->Key)) : "");
}

} // namespace scs_test
