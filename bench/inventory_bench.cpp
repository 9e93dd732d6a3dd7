// The inventory module's answers as a server asks for them: listing the volumes (also pulled, through
// the host's feed of a pull enumeration) and following a pool to its volumes, with many volumes on
// the array (each answer reads the engine afresh).
#include <atomic>
#include <memory>

#include <benchmark/benchmark.h>

#include <Pegasus/Provider/CIMAssociationProvider.h>
#include <Pegasus/Provider/CIMInstanceProvider.h>

#include <KVELClock.h>
#include <KVELEngine.h>

#include "EnumerationFeed.h"
#include "LoadedModule.h"
#include "StreamedResponse.h"

using namespace Pegasus;

namespace
{

CIMProvider* makeProvider(const char* name)
{
    return scs_bench::makeProvider(INVENTORY_MODULE_PATH, name);
}

// The demo array with `extra` more 1 GiB volumes in the base pool (their creation tasks never
// finish on the manual clock, which changes nothing for reading them).
bool arrayWithVolumes(Uint32 extra)
{
    KVELEngineConfig config;
    config.clock = std::make_shared<KVELManualClock>(1772366400ULL * 1000000ULL);
    config.maxTasks = extra + 16;
    config.ramdiskDirectory = "/tmp";
    KVELEngine* engine = KVELEngine::createInstance(config);
    for (Uint32 i = 0; i < extra; ++i)
    {
        KVELTask task;
        Uint32 volumeID = 0;
        if (engine->createVolumeAtomic("bench", 2097152, 0, 1, 2, 128,
                                       KVELVolume::VOLUME_ORGANIZATION_MIRRORED, {}, &task,
                                       volumeID) != KVEL_RC_SUCCESS)
            return false;
    }
    return true;
}

void perVolume(benchmark::State& state, Uint32 volumes)
{
    state.counters["per_volume"] = benchmark::Counter(
        double(volumes), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Encodes each delivered instance as EnumerateInstances answers it, into text that is kept up to
// a chunk's size and then reused, as a streamed answer does.
struct EncodingHandler : public InstanceResponseHandler
{
    EncodingHandler() { text.reserve(65536 + 8192); }
    std::string text;
    Uint32 count = 0;
    void processing() override {}
    void complete() override {}
    void deliver(const CIMInstance& instance) override
    {
        cimhost::appendShownNamedInstance(text, instance, instance.getPath(), cimhost::ShownElements());
        if (text.size() >= 65536) text.clear();
        ++count;
    }
    void deliver(const Array<CIMInstance>& instances) override
    {
        for (Uint32 i = 0; i < instances.size(); ++i)
            deliver(instances[i]);
    }
};

// The volume provider over the demo array with state.range(0) more volumes.
struct VolumeListing
{
    explicit VolumeListing(benchmark::State& state) : volumes(4 + Uint32(state.range(0)))
    {
        if (!arrayWithVolumes(Uint32(state.range(0)))) state.SkipWithError("engine refused a volume");
        provider.reset(makeProvider("StorageVolumeProvider"));
        instances = dynamic_cast<CIMInstanceProvider*>(provider.get());
    }
    // EnumerateInstances of CIM_StorageVolume into the handler.
    void enumerate(InstanceResponseHandler& handler)
    {
        instances->enumerateInstances(context, classPath, false, false, CIMPropertyList(), handler);
    }

    const Uint32 volumes;
    std::unique_ptr<CIMProvider> provider;
    CIMInstanceProvider* instances = nullptr;
    const CIMObjectPath classPath{"root/snia:CIM_StorageVolume"};
    OperationContext context;
};

// EnumerateInstances of CIM_StorageVolume, each answer into a new Handler.
template <class Handler> void enumerateVolumes(benchmark::State& state)
{
    VolumeListing listing(state);
    for (auto _ : state)
    {
        Handler answer;
        listing.enumerate(answer);
        if (answer.count != listing.volumes) state.SkipWithError("wrong number of volumes");
    }
    perVolume(state, listing.volumes);
}

// The module's share: the volumes built and counted.
void BM_EnumerateVolumes(benchmark::State& state)
{
    enumerateVolumes<scs_bench::CountingHandler>(state);
}
BENCHMARK(BM_EnumerateVolumes)->Arg(0)->Arg(1000)->Unit(benchmark::kMicrosecond);

// Each volume encoded as it arrives: the work of a worker thread serving a streamed enumeration,
// short of the sending.
void BM_EnumerateAndEncodeVolumes(benchmark::State& state)
{
    enumerateVolumes<EncodingHandler>(state);
}
BENCHMARK(BM_EnumerateAndEncodeVolumes)->Arg(1000)->Unit(benchmark::kMicrosecond);

// Hands each delivered instance on to an enumeration's feed, as the host's dispatch does.
struct FeedingHandler : public InstanceResponseHandler
{
    explicit FeedingHandler(cimhost::ResultSink& sink) : sink(sink) {}
    cimhost::ResultSink& sink;
    cimhost::ResultFilter shown;
    void processing() override {}
    void complete() override {}
    void deliver(const CIMInstance& instance) override
    {
        sink.object(CIMObject(instance), instance.getPath(), shown);
    }
    void deliver(const Array<CIMInstance>& instances) override
    {
        for (Uint32 i = 0; i < instances.size(); ++i)
            deliver(instances[i]);
    }
};

// A pulled answer as a streamed one takes it: each chunk's worth of text handed on and dropped.
struct DiscardingOutput : public cimhost::AnswerOutput
{
    bool elementDone() override
    {
        if (text.size() >= 65536) text.clear();
        return true;
    }
};

// Volumes pulled in chunks of 1,000: the provider delivering on a thread of its own into the feed
// of an enumeration, which encodes them, and pulls taking them until the end. The host's side of a
// pull enumeration short of the sending; against BM_EnumerateAndEncodeVolumes, what the two
// threads cost or gain.
void BM_PullVolumes(benchmark::State& state)
{
    VolumeListing listing(state);
    cimhost::EnumerationFeed::Limits limits;
    limits.maxHeldByAll = 200000;
    for (auto _ : state)
    {
        std::atomic<std::size_t> held{0};
        auto feed = std::make_shared<cimhost::EnumerationFeed>(limits, held);
        {
            cimhost::FeedProducers producers(1);
            producers.start(feed,
                            [&](cimhost::ResultSink& sink)
                            {
                                FeedingHandler handler(sink);
                                listing.enumerate(handler);
                            });
            DiscardingOutput out;
            while (feed->take(1000, out) == cimhost::EnumerationFeed::Taken::More)
            {
            }
        }
        if (held.load() != 0) state.SkipWithError("objects left in the feed");
    }
    perVolume(state, listing.volumes);
}
BENCHMARK(BM_PullVolumes)->Arg(1000)->Unit(benchmark::kMicrosecond)->UseRealTime();

// AssociatorNames from the base pool through CIM_AllocatedFromStoragePool.
void BM_PoolToVolumes(benchmark::State& state)
{
    const Uint32 volumes = 4 + Uint32(state.range(0));
    if (!arrayWithVolumes(Uint32(state.range(0)))) state.SkipWithError("engine refused a volume");
    std::unique_ptr<CIMProvider> provider(makeProvider("AllocatedFromStoragePoolProvider"));
    CIMAssociationProvider* association = dynamic_cast<CIMAssociationProvider*>(provider.get());
    const CIMObjectPath pool("root/snia:CIM_StoragePool.InstanceID=\"37000004\"");
    OperationContext context;
    for (auto _ : state)
    {
        scs_bench::CountingHandler answer;
        association->associatorNames(context, pool, "CIM_AllocatedFromStoragePool", CIMName(), String(),
                                     String(), answer);
        if (answer.count != volumes) state.SkipWithError("wrong number of volumes");
    }
    perVolume(state, volumes);
}
BENCHMARK(BM_PoolToVolumes)->Arg(0)->Arg(1000)->Unit(benchmark::kMicrosecond);

} // namespace
