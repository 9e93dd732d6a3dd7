// The host's indication service, as OpenPegasus offers one: the filters, listener destinations and
// subscriptions clients create in the interop namespaces (kept across restarts), the calls that
// tell indication providers of subscriptions (createSubscription, enableIndications,
// deleteSubscription, disableIndications, in OpenPegasus's order), the evaluation of each filter
// on what the providers deliver, and delivery to the listeners.
//
// Locks: changes (and every provider call) run one at a time; what providers deliver is matched
// against a snapshot of the enabled subscriptions, so delivery never waits for a change and a
// provider may be disabled while it delivers.
#ifndef CIMHOST_IndicationService_h
#define CIMHOST_IndicationService_h

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMName.h>
#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/CIMPropertyList.h>
#include <Pegasus/Provider/CIMIndicationProvider.h>

#include "ClassRepository.h"
#include "IndicationDelivery.h"
#include "ProviderManager.h"
#include "SubscriptionStore.h"

namespace cimhost
{

class IndicationQuery;

struct IndicationServiceSettings
{
    std::string storeFile; // empty: subscriptions last until the host stops
    std::string hostName;
    size_t maxInstances = 10000; // filters, destinations and subscriptions, each
    DeliverySettings delivery;
};

class IndicationService
{
public:
    static const char* const FILTER_CLASS;       // CIM_IndicationFilter
    static const char* const SUBSCRIPTION_CLASS; // CIM_IndicationSubscription
    static const char* const SERVICE_CLASS;      // CIM_IndicationService
    // The destination classes clients create: CIM_ListenerDestinationCIMXML and the older
    // CIM_IndicationHandlerCIMXML.
    static const char* const DESTINATION_CLASSES[2];

    // Reads the subscriptions the store file holds; throws SubscriptionStoreError when it cannot.
    IndicationService(const ClassRepository& repository, const ProviderManager& providers,
                      IndicationServiceSettings settings);
    ~IndicationService(); // stop()
    IndicationService(const IndicationService&) = delete;
    IndicationService& operator=(const IndicationService&) = delete;

    // Once the providers are loaded: tells them of the enabled subscriptions kept from before. A
    // subscription no provider accepts any more is kept, and logged; it delivers nothing.
    void start();
    // Disables the providers' indications and ends delivery; later changes are refused.
    void stop();

    // The intrinsic operations on the service's classes, from a request to interopNamespace.
    // Failures are CIMExceptions with the status a client should see. Paths come back without
    // host and namespace.
    Pegasus::CIMObjectPath create(const Pegasus::CIMNamespaceName& interopNamespace,
                                  const Pegasus::CIMInstance& instance);
    void modify(const Pegasus::CIMObjectPath& path, const Pegasus::CIMInstance& instance,
                const Pegasus::CIMPropertyList& propertyList);
    void remove(const Pegasus::CIMObjectPath& path);
    // Throws CIM_ERR_NOT_FOUND.
    Pegasus::CIMInstance get(const Pegasus::CIMObjectPath& path) const;
    // The instances of exactly that class.
    std::vector<Pegasus::CIMInstance> instances(const Pegasus::CIMName& className) const;

    DeliveryCounts deliveryCounts() const { return _delivery.totals(); }

    // What a provider's handler does with an indication it is given: the provider serves the
    // namespaces given.
    void route(const Pegasus::CIMInstance& indication,
               const std::vector<Pegasus::CIMNamespaceName>& providerNamespaces);

private:
    struct Route;
    struct Activation;
    class ProviderHandler;

    Pegasus::CIMObjectPath createFilter(const Pegasus::CIMNamespaceName& interopNamespace,
                                        Pegasus::CIMInstance instance);
    Pegasus::CIMObjectPath createDestination(Pegasus::CIMInstance instance);
    Pegasus::CIMObjectPath createSubscription(const Pegasus::CIMNamespaceName& interopNamespace,
                                              Pegasus::CIMInstance instance);
    // Tells the providers; throws CIM_ERR_NOT_SUPPORTED when none accepts the subscription.
    void activate(const Pegasus::CIMInstance& subscription);
    void deactivate(const std::string& subscriptionKey);
    void removeSubscription(const Pegasus::CIMInstance& subscription);
    void rebuildRoutes();
    void destinationGaveUp(const std::string& destinationKey);
    std::shared_ptr<const IndicationQuery> query(const Pegasus::CIMInstance& filter);
    ProviderHandler& handlerFor(Pegasus::CIMIndicationProvider* provider);
    void refuseIfStopped() const;

    const ClassRepository& _repository;
    const ProviderManager& _providers;
    const IndicationServiceSettings _settings;
    SubscriptionStore _store;

    // Guarded by _changeMutex.
    std::mutex _changeMutex;
    bool _stopped = false;
    std::map<std::string, Activation> _activations;                  // by subscription key
    std::map<Pegasus::CIMIndicationProvider*, unsigned> _enabledFor; // active subscriptions a provider has
    std::map<std::string, std::shared_ptr<const IndicationQuery>> _queries; // by filter key
    // Kept as long as the service: a provider may hold on to its handler.
    std::map<Pegasus::CIMIndicationProvider*, std::unique_ptr<ProviderHandler>> _handlers;

    // What delivered indications are matched against, replaced whole under _routesMutex.
    mutable std::mutex _routesMutex;
    std::shared_ptr<const std::vector<Route>> _routes;

    IndicationDelivery _delivery; // last: its threads end before the rest goes
};

} // namespace cimhost

#endif
