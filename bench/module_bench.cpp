// The provider module's hot paths: a trace line while tracing is suppressed, each CIM operation
// of the module with tracing suppressed and traced to a file, the element-to-jobs association
// over many tasks, and persistence transfers through the handlers.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include <Pegasus/Provider/CIMAssociationProvider.h>
#include <Pegasus/Provider/CIMInstanceProvider.h>
#include <Pegasus/Provider/CIMMethodProvider.h>
#include <Pegasus/Provider/CIMOMHandle.h>

#include <KVELClock.h>
#include <KVELEngine.h>
#include <KVELMessageHeader.h>
#include <ProviderTraceServices.h>
#include <SMIMOBuilders.h>

#include "LoadedModule.h"
#include "TickingClock.h"
#include "Trace.h"

#define SCS_TRACE_FILE "ModuleBench"

using namespace Pegasus;

namespace
{

const MPU_TIME START = 1772366400ULL * 1000000ULL;

// A fresh engine over the demo array; its clock stands still, or moves on at every engine call as
// a server's does.
KVELEngine* freshEngine(Uint32 maxTasks = 256, bool ticking = false)
{
    KVELEngineConfig config;
    if (ticking)
        config.clock = std::make_shared<scs_bench::TickingClock>(START);
    else
        config.clock = std::make_shared<KVELManualClock>(START);
    config.maxTasks = maxTasks;
    config.ramdiskDirectory = "/tmp";
    return KVELEngine::createInstance(config);
}

// A provider of the loaded module seen through one of its interfaces, deleted with this.
template <class Interface> class Loaded
{
public:
    explicit Loaded(const char* name)
        : _made(scs_bench::makeProvider(SCS_MODULE_PATH, name)), _typed(dynamic_cast<Interface*>(_made.get()))
    {
    }
    Interface* operator->() const { return _typed; }

private:
    std::unique_ptr<CIMProvider> _made;
    Interface* _typed;
};

struct KeepResult : public MethodResultResponseHandler
{
    Array<CIMParamValue> outputs;
    void processing() override {}
    void complete() override {}
    void deliverParamValue(const CIMParamValue& value) override { outputs.append(value); }
    void deliverParamValue(const Array<CIMParamValue>& values) override { outputs.appendArray(values); }
    void deliver(const CIMValue&) override {}
};

// Tracing while alive: suppressed, or written to a file, the module's lines going to standard
// output as in a server that sends it to a trace file. The benchmarks that take both run traced
// with argument 1.
class TraceMode
{
public:
    explicit TraceMode(bool traced) : _traced(traced)
    {
        if (!_traced)
            ProviderTraceServices::ptsIncrementTraceSuppressForPid(1);
        else
        {
            _file.open("/tmp/module_bench_trace.log", std::ios::out | std::ios::trunc);
            _saved = std::cout.rdbuf(&_file);
        }
    }
    explicit TraceMode(benchmark::State& state) : TraceMode(state.range(0) != 0) {}
    ~TraceMode()
    {
        if (!_traced)
            ProviderTraceServices::ptsCancelTraceSuppressForPid();
        else
            std::cout.rdbuf(_saved);
    }

private:
    bool _traced;
    std::filebuf _file;
    std::streambuf* _saved = nullptr;
};

// A path with the hexadecimal key the module serves, "root/snia:<class>.<key>=\"<ID>\"".
CIMObjectPath keyedPath(const char* classAndKey, Uint32 id)
{
    char key[16];
    std::snprintf(key, sizeof key, "%X", id);
    return CIMObjectPath(String("root/snia:") + classAndKey + "=\"" + key + "\"");
}

// N scans: daily ones spread over the demo array's volumes (one runs on each, the others wait)
// on a clock that moves on at every engine call as a server's does, or immediate ones all on the
// first volume on a clock that stands still.
void scheduleScans(benchmark::State& state, Uint32 tasks, bool daily = true)
{
    KVELEngine* engine = freshEngine(daily ? 256 : tasks + 1, daily);
    const Uint32 volumes[] = {0x3A000001, 0x3A000002, 0x3A000003};
    for (Uint32 i = 0; i < tasks; ++i)
    {
        KVELTask scan;
        if (daily) scan.setTaskSchedulingRecurring(Uint16(100 + i % 7), START, KVELTask::PERIODICITY_DAYS, 1);
        if (engine->scanVolume(volumes[daily ? i % 3 : 0], &scan) != KVEL_RC_SUCCESS)
            state.SkipWithError("engine refused a scan");
    }
}

const OperationContext context;

// Times `call`, one operation of the module delivering to the handler, traced or suppressed; each
// must deliver `expected` results. With `tasks`, the time per task is counted too.
template <class Call>
void timeCalls(benchmark::State& state, bool traced, Uint32 expected, Call call, Uint32 tasks = 0)
{
    TraceMode trace(traced);
    for (auto _ : state)
    {
        scs_bench::CountingHandler delivered;
        call(delivered);
        if (delivered.count != expected) state.SkipWithError("wrong number of results");
    }
    if (tasks)
        state.counters["per_task"] = benchmark::Counter(
            double(tasks), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

const CIMObjectPath& servicePath()
{
    static const CIMObjectPath path(
        "root/snia:Zarvo_StorageConfigurationService.CreationClassName="
        "\"Zarvo_StorageConfigurationService\",Name=\"ZARVO-0001\","
        "SystemCreationClassName=\"CIM_ComputerSystem\",SystemName=\"ZARVO-0001\"");
    return path;
}

const CIMObjectPath JOB("root/snia:CIM_ConcreteJob.InstanceID=\"0102030405060708\"");

// The work of a typical operation body: a path copy and a few comparisons.
Uint32 operationBody(const CIMObjectPath& path, Uint32 i)
{
    CIMObjectPath copy(path);
    return copy.getKeyBindings().size() + (copy.getClassName() == CIMName("CIM_ConcreteJob") ? i : 0);
}

void BM_OperationWithoutTrace(benchmark::State& state)
{
    Uint32 i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(operationBody(JOB, ++i));
}
BENCHMARK(BM_OperationWithoutTrace);

// The same operation with two trace lines (a path and hexadecimal numbers), tracing suppressed.
void BM_OperationWithSuppressedTrace(benchmark::State& state)
{
    TraceMode suppressed(false);
    Uint32 i = 0;
    for (auto _ : state)
    {
        ++i;
        SCS_TRACE(TRACE_NORMAL, "..", "CIMObjectPath=", JOB.toString());
        SCS_TRACE(TRACE_NORMAL, "Task ID is: 0x", i, " pool: ", i * 3);
        benchmark::DoNotOptimize(operationBody(JOB, i));
    }
}
BENCHMARK(BM_OperationWithSuppressedTrace);

// associatorNames from a volume with N tasks: every task record is fetched once.
void BM_ElementToJobs(benchmark::State& state)
{
    const Uint32 tasks = Uint32(state.range(0));
    scheduleScans(state, tasks, false);
    Loaded<CIMAssociationProvider> affected("AffectedJobElementProvider");
    const CIMObjectPath volume = keyedPath("CIM_StorageVolume.DeviceID", 0x3A000001);
    timeCalls(
        state, false, tasks,
        [&](scs_bench::CountingHandler& jobs) {
            affected->associatorNames(context, volume, "CIM_AffectedJobElement", "CIM_ConcreteJob", "", "",
                                      jobs);
        },
        tasks);
}
BENCHMARK(BM_ElementToJobs)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// enumerateInstances of CIM_ConcreteJob over N scheduled scans.
void BM_EnumerateJobs(benchmark::State& state)
{
    const Uint32 tasks = Uint32(state.range(0));
    scheduleScans(state, tasks);
    Loaded<CIMInstanceProvider> jobs("ConcreteJobProvider");
    const CIMObjectPath classPath("root/snia:CIM_ConcreteJob");
    timeCalls(
        state, false, tasks,
        [&](scs_bench::CountingHandler& delivered)
        { jobs->enumerateInstances(context, classPath, false, false, CIMPropertyList(), delivered); },
        tasks);
}
BENCHMARK(BM_EnumerateJobs)->Arg(16)->Arg(256)->Unit(benchmark::kMicrosecond);

void BM_ServiceGetInstance(benchmark::State& state)
{
    freshEngine();
    Loaded<CIMInstanceProvider> service("StorageConfigurationServiceProvider");
    timeCalls(state, state.range(0), 1,
              [&](scs_bench::CountingHandler& delivered)
              { service->getInstance(context, servicePath(), false, false, CIMPropertyList(), delivered); });
}
BENCHMARK(BM_ServiceGetInstance)->Arg(0)->Arg(1);

// getInstance of one job among N tasks (the last scheduled), then from the job to its volume
// (associatorNames over CIM_AffectedJobElement).
void BM_JobGetInstanceAndElement(benchmark::State& state)
{
    scheduleScans(state, Uint32(state.range(1)));
    Loaded<CIMInstanceProvider> jobs("ConcreteJobProvider");
    Loaded<CIMAssociationProvider> affected("AffectedJobElementProvider");
    Array<Uint32> taskIDs = KVELEngine::_getInstance()->enumerateObjects(CLASSID_TASK);
    const CIMObjectPath job = ConcreteJobPath(taskIDs[taskIDs.size() - 1]);
    timeCalls(state, state.range(0), 2,
              [&](scs_bench::CountingHandler& both)
              {
                  jobs->getInstance(context, job, false, false, CIMPropertyList(), both);
                  affected->associatorNames(context, job, "CIM_AffectedJobElement", "CIM_StorageVolume", "",
                                            "", both);
              });
}
BENCHMARK(BM_JobGetInstanceAndElement)->ArgsProduct({{0, 1}, {16, 256}});

// invokeMethod of a pool lookup (GetSparePool), and of a volume creation from the base pool
// (CreateOrModifyElementFromStoragePool; the volume is returned to the pool outside the timing).
void BM_ServiceMethods(benchmark::State& state)
{
    KVELEngine* engine = freshEngine();
    Loaded<CIMMethodProvider> service("StorageConfigurationServiceProvider");
    const CIMObjectPath pool = keyedPath("CIM_StoragePool.InstanceID", KVELPool::BASE_POOL_ID);
    TraceMode trace(state);
    for (auto _ : state)
    {
        KeepResult spare;
        service->invokeMethod(context, servicePath(), "GetSparePool", Array<CIMParamValue>(), spare);

        state.PauseTiming();
        KVELVolume layout;
        layout.Name = "bench";
        layout.VolumeOrganization = KVELVolume::VOLUME_ORGANIZATION_STRIPED;
        layout.DataRedundancy = 1;
        layout.StripeWidth = 4;
        layout.PoolObjectID = KVELPool::BASE_POOL_ID;
        Uint32 settingID = 0;
        engine->createSetting(layout, settingID);
        Array<CIMParamValue> in;
        in.append(CIMParamValue("Size", CIMValue(Uint64(1) << 20)));
        in.append(CIMParamValue("ElementName", CIMValue(String("bench"))));
        in.append(CIMParamValue("Goal", CIMValue(keyedPath("CIM_StorageSetting.InstanceID", settingID))));
        in.append(CIMParamValue("InPool", CIMValue(pool)));
        state.ResumeTiming();

        KeepResult created;
        try
        {
            service->invokeMethod(context, servicePath(), "CreateOrModifyElementFromStoragePool", in,
                                  created);
        }
        catch (const Exception&)
        {
            state.SkipWithError("the engine refused the volume");
            break;
        }

        state.PauseTiming();
        KVELTask gone;
        engine->deleteVolume(settingID, &gone);
        // Timing must not resume after an error (Google Benchmark aborts the whole run): the
        // benchmark ends here, reported as skipped with the reason.
        if (spare.outputs.size() != 1 || created.outputs.size() < 2)
        {
            state.SkipWithError("a method failed");
            break;
        }
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ServiceMethods)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

std::string hexBlock(size_t bytes)
{
    std::string text;
    text.reserve(bytes * 2);
    static const char digits[] = "0123456789ABCDEF";
    for (size_t i = 0; i < bytes; ++i)
    {
        text += digits[(i * 13 >> 4) & 15];
        text += digits[(i * 13) & 15];
    }
    return text;
}

// WritePersistenceData then ReadPersistenceData of N bytes through the loaded module.
void BM_PersistenceRoundTrip(benchmark::State& state)
{
    const size_t bytes = size_t(state.range(0));
    freshEngine();
    Loaded<CIMMethodProvider> service("StorageConfigurationServiceProvider");
    CIMObjectPath target("root/snia:Zarvo_StorageConfigurationService.Name=\"x\"");
    Array<CIMParamValue> in;
    in.append(CIMParamValue("Data", CIMValue(String(hexBlock(bytes).c_str()))));
    TraceMode suppressed(false);
    for (auto _ : state)
    {
        KeepResult written, read;
        service->invokeMethod(context, target, "WritePersistenceData", in, written);
        service->invokeMethod(context, target, "ReadPersistenceData", Array<CIMParamValue>(), read);
        if (read.outputs.size() != 1) state.SkipWithError("no data read back");
    }
    state.SetBytesProcessed(Sint64(state.iterations()) * Sint64(bytes));
}
BENCHMARK(BM_PersistenceRoundTrip)->Arg(1 << 20)->Arg(16 << 20)->Unit(benchmark::kMillisecond);

// The reference: the same bytes copied and converted to and from hexadecimal in memory.
void BM_MemcpyAndHexReference(benchmark::State& state)
{
    const size_t bytes = size_t(state.range(0));
    std::string text = hexBlock(bytes);
    std::vector<Uint8> binary(bytes), copy(bytes);
    for (auto _ : state)
    {
        for (size_t i = 0; i < bytes; ++i)
        {
            auto value = [](char c) { return c <= '9' ? c - '0' : c - 'A' + 10; };
            binary[i] = Uint8(value(text[2 * i]) * 16 + value(text[2 * i + 1]));
        }
        std::memcpy(copy.data(), binary.data(), bytes);
        String back = KVELMessageHeader::hexifiedString(copy.data(), Uint32(bytes));
        benchmark::DoNotOptimize(back.size());
    }
    state.SetBytesProcessed(Sint64(state.iterations()) * Sint64(bytes));
}
BENCHMARK(BM_MemcpyAndHexReference)->Arg(1 << 20)->Arg(16 << 20)->Unit(benchmark::kMillisecond);

} // namespace
