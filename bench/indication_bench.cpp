// The host's indication service in process: a provider's deliver() through filter matching and
// delivery over loopback HTTP to a listener (the tests' listener, which decodes every request).
// - BM_DeliverToOneListener: indications a second reaching one listener, and how many were lost,
//   with a listener that only answers and with one that decodes every indication too;
// - BM_DeliveryLatency: from deliver() to the listener having decoded it, p50 and p99;
// - BM_MatchAgainstSubscriptions/N: what an indication costs the providing thread when N
//   subscriptions (of other classes of source instance) are looked at and none matches.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <Pegasus/Common/CIMDateTime.h>
#include <Pegasus/Common/CIMProperty.h>
#include <Pegasus/Provider/CIMIndicationProvider.h>

#include "../tests/support/ExportListener.h"
#include "ClassRepository.h"
#include "IndicationService.h"
#include "ProviderManager.h"
#include "ProviderRegistry.h"
#include "SchemaManifest.h"

using namespace Pegasus;

namespace
{

// An indication provider that hands the bench its handler.
class BenchProvider : public CIMIndicationProvider
{
public:
    void initialize(CIMOMHandle&) override {}
    void terminate() override {}
    void enableIndications(IndicationResponseHandler& handler) override { this->handler = &handler; }
    void disableIndications() override { handler = nullptr; }
    void createSubscription(const OperationContext&, const CIMObjectPath&, const Array<CIMObjectPath>&,
                            const CIMPropertyList&, const Uint16) override
    {
    }
    void modifySubscription(const OperationContext&, const CIMObjectPath&, const Array<CIMObjectPath>&,
                            const CIMPropertyList&, const Uint16) override
    {
    }
    void deleteSubscription(const OperationContext&, const CIMObjectPath&,
                            const Array<CIMObjectPath>&) override
    {
    }

    IndicationResponseHandler* handler = nullptr;
};

CIMInstance job(Uint16 state, Uint16 percent)
{
    CIMInstance instance("CIM_ConcreteJob");
    instance.addProperty(CIMProperty("InstanceID", CIMValue(String("3600000100000001"))));
    instance.addProperty(CIMProperty("ElementName", CIMValue(String("Create volume"))));
    instance.addProperty(CIMProperty("JobState", CIMValue(state)));
    instance.addProperty(CIMProperty("PercentComplete", CIMValue(percent)));
    Array<Uint16> status;
    status.append(2);
    status.append(16);
    instance.addProperty(CIMProperty("OperationalStatus", CIMValue(status)));
    return instance;
}

CIMInstance modification(Uint32 n)
{
    CIMInstance indication("CIM_InstModification");
    indication.addProperty(
        CIMProperty("IndicationIdentifier", CIMValue(String(("ZARVO:" + std::to_string(n)).c_str()))));
    indication.addProperty(CIMProperty("IndicationTime", CIMValue(CIMDateTime::getCurrentDateTime())));
    indication.addProperty(CIMProperty("SourceInstance", CIMValue(job(4, Uint16(n % 100)))));
    indication.addProperty(CIMProperty("PreviousInstance", CIMValue(job(4, Uint16((n + 99) % 100)))));
    return indication;
}

// The service with the bench provider registered for CIM_InstModification in root/snia.
struct Service
{
    explicit Service(cimhost::DeliverySettings delivery = {})
    {
        cimhost::loadSchema(repository, SCS_SCHEMA_DIR);
        auto own = std::make_unique<BenchProvider>();
        provider = own.get();
        cimhost::ProviderCapability capability;
        capability.moduleName = "bench";
        capability.providerName = "BenchProvider";
        capability.className = CIMName("CIM_InstModification");
        capability.namespaces = {CIMNamespaceName("root/snia")};
        capability.indication = true;
        providers.addBuiltIn(std::move(own), {capability});
        providers.loadAll(CIMOMHandle());
        cimhost::IndicationServiceSettings settings;
        settings.hostName = "bench";
        settings.delivery = delivery;
        service = std::make_unique<cimhost::IndicationService>(repository, providers, settings);
    }

    // One subscription of a filter on jobs (or, with `other`, on volumes) to the URL.
    void subscribe(const std::string& url, const std::string& name, bool other = false)
    {
        const CIMNamespaceName interop("interop");
        CIMInstance destination("CIM_ListenerDestinationCIMXML");
        destination.addProperty(CIMProperty("Name", CIMValue(String(name.c_str()))));
        destination.addProperty(CIMProperty("Destination", CIMValue(String(url.c_str()))));
        CIMInstance filter("CIM_IndicationFilter");
        filter.addProperty(CIMProperty("Name", CIMValue(String(name.c_str()))));
        filter.addProperty(CIMProperty(
            "Query", CIMValue(String(other ? "SELECT * FROM CIM_InstModification WHERE SourceInstance ISA "
                                             "CIM_StorageVolume AND ANY SourceInstance.OperationalStatus[*] = 2"
                                           : "SELECT * FROM CIM_InstModification WHERE SourceInstance ISA "
                                             "CIM_ConcreteJob"))));
        filter.addProperty(CIMProperty("QueryLanguage", CIMValue(String("DMTF:CQL"))));
        filter.addProperty(CIMProperty("SourceNamespace", CIMValue(String("root/snia"))));
        CIMInstance subscription("CIM_IndicationSubscription");
        subscription.addProperty(CIMProperty("Filter", CIMValue(service->create(interop, filter))));
        subscription.addProperty(CIMProperty("Handler", CIMValue(service->create(interop, destination))));
        service->create(interop, subscription);
    }

    cimhost::ClassRepository repository;
    cimhost::ClassRepository noModules; // the registry of modules is empty: only the bench provider
    cimhost::ProviderRegistry registry = cimhost::ProviderRegistry::fromRepository(noModules);
    cimhost::ProviderManager providers{registry, ""};
    BenchProvider* provider = nullptr;
    std::unique_ptr<cimhost::IndicationService> service;
};

const size_t BATCH = 1000;

void BM_DeliverToOneListener(benchmark::State& state)
{
    testhttp::ExportListener listener(state.range(0) != 0);
    Service bench;
    bench.subscribe(listener.url(), "one");
    Uint32 n = 0;
    size_t expected = 0;
    for (auto _ : state)
    {
        for (size_t i = 0; i < BATCH; ++i)
            bench.provider->handler->deliver(modification(++n));
        expected += BATCH;
        listener.waitFor([&](const std::vector<testhttp::Received>& all) { return all.size() >= expected; });
    }
    state.SetItemsProcessed(int64_t(expected));
    const cimhost::DeliveryCounts counts = bench.service->deliveryCounts();
    state.counters["delivered"] = double(counts.delivered);
    state.counters["lost"] = double(counts.lost);
}
// Arg: whether the listener decodes what it gets (1) or only answers (0).
BENCHMARK(BM_DeliverToOneListener)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

void BM_DeliveryLatency(benchmark::State& state)
{
    testhttp::ExportListener listener;
    Service bench;
    bench.subscribe(listener.url(), "one");
    std::vector<double> microseconds;
    Uint32 n = 0;
    for (auto _ : state)
    {
        const auto sent = std::chrono::steady_clock::now();
        bench.provider->handler->deliver(modification(++n));
        listener.waitFor([&](const std::vector<testhttp::Received>& all) { return all.size() >= n; });
        microseconds.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - sent).count());
    }
    std::sort(microseconds.begin(), microseconds.end());
    state.counters["p50_us"] = microseconds[microseconds.size() / 2];
    state.counters["p99_us"] = microseconds[microseconds.size() * 99 / 100];
}
BENCHMARK(BM_DeliveryLatency)->Unit(benchmark::kMicrosecond)->UseRealTime()->Iterations(2000);

void BM_MatchAgainstSubscriptions(benchmark::State& state)
{
    Service bench;
    for (int i = 0; i < state.range(0); ++i)
        bench.subscribe("http://127.0.0.1:9/", "other" + std::to_string(i), true);
    const CIMInstance indication = modification(1);
    for (auto _ : state)
        bench.provider->handler->deliver(indication);
    state.SetItemsProcessed(state.iterations());
    state.counters["delivered"] = double(bench.service->deliveryCounts().delivered);
}
BENCHMARK(BM_MatchAgainstSubscriptions)->Arg(1)->Arg(1000)->Unit(benchmark::kMicrosecond);

} // namespace
