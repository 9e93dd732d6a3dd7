// The simulated engine's readings over many tasks: a job enumeration fetches the list of tasks
// and then each task, one engine call apiece, and every call moves the tasks on to the clock.
#include <memory>

#include <benchmark/benchmark.h>

#include <KVELClock.h>
#include <KVELEngine.h>

#include "TickingClock.h"

using namespace Pegasus;

namespace
{

const MPU_TIME START = 1772366400ULL * 1000000ULL;

// The demo array with n daily scans spread over its volumes, scheduled from now: one runs on each
// volume, the others wait for it.
KVELEngine* engineWithScans(benchmark::State& state, Uint32 n)
{
    KVELEngineConfig config;
    config.clock = std::make_shared<scs_bench::TickingClock>(START);
    config.maxTasks = 256;
    config.ramdiskDirectory = "/tmp";
    KVELEngine* engine = KVELEngine::createInstance(config);
    Array<Uint32> objects = engine->enumerateObjects(CLASSID_VOLUME);
    Array<Uint32> volumes;
    for (Uint32 i = 0; i < objects.size(); ++i)
    {
        ManagedObject* object = engine->getObject(CLASSID_VOLUME, objects[i]);
        if (auto* volume = dynamic_cast<KVELVolume*>(object); volume && !volume->IsSetting)
            volumes.append(objects[i]);
        delete object;
    }
    for (Uint32 i = 0; i < n; ++i)
    {
        KVELTask scan;
        scan.setTaskSchedulingRecurring(Uint16(100 + i % 7), START, KVELTask::PERIODICITY_DAYS, 1);
        if (engine->scanVolume(volumes[i % volumes.size()], &scan) != KVEL_RC_SUCCESS)
            state.SkipWithError("engine refused a scan");
    }
    return engine;
}

// The list of tasks and then every task record.
void BM_FetchEveryTask(benchmark::State& state)
{
    const Uint32 n = Uint32(state.range(0));
    KVELEngine* engine = engineWithScans(state, n);
    for (auto _ : state)
    {
        Array<Uint32> ids = engine->enumerateObjects(CLASSID_TASK);
        if (ids.size() != n) state.SkipWithError("wrong number of tasks");
        for (Uint32 i = 0; i < ids.size(); ++i)
        {
            ManagedObject* task = engine->getObject(CLASSID_TASK, ids[i]);
            benchmark::DoNotOptimize(task);
            delete task;
        }
    }
    state.counters["per_task"] = benchmark::Counter(double(n), benchmark::Counter::kIsIterationInvariantRate |
                                                                   benchmark::Counter::kInvert);
}
BENCHMARK(BM_FetchEveryTask)->Arg(16)->Arg(256);

} // namespace
