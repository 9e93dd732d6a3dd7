#include "IndicationService.h"

#include <atomic>
#include <chrono>
#include <iostream>
#include <utility>

#include <Pegasus/Common/CIMDateTime.h>
#include <Pegasus/Common/CIMProperty.h>
#include <Pegasus/Common/CIMValue.h>
#include <Pegasus/Common/Exception.h>
#include <Pegasus/Common/OperationContext.h>
#include <Pegasus/Common/ResponseHandler.h>

#include "ExportMessages.h"
#include "IndicationQuery.h"
#include "ListenerUrl.h"
#include "SubscriptionPaths.h"

namespace cimhost
{

using Pegasus::CIMException;
using Pegasus::CIMInstance;
using Pegasus::CIMName;
using Pegasus::CIMNamespaceName;
using Pegasus::CIMObjectPath;
using Pegasus::CIMValue;

const char* const IndicationService::FILTER_CLASS = "CIM_IndicationFilter";
const char* const IndicationService::SUBSCRIPTION_CLASS = "CIM_IndicationSubscription";
const char* const IndicationService::SERVICE_CLASS = "CIM_IndicationService";
const char* const IndicationService::DESTINATION_CLASSES[2] = {"CIM_ListenerDestinationCIMXML",
                                                               "CIM_IndicationHandlerCIMXML"};

namespace
{

const char* const DESTINATION_BASE_CLASS = "CIM_ListenerDestination";
const char* const INDICATION_CLASS = "CIM_Indication";
const Pegasus::Uint16 ENABLED = 2;
const Pegasus::Uint16 DISABLED = 4;
const Pegasus::Uint16 PERMANENT = 2;
const Pegasus::Uint16 TRANSIENT = 3;
const Pegasus::Uint16 CIM_XML = 2;
const Pegasus::Uint16 NO_REPEAT_POLICY = 2;

[[noreturn]] void refuse(Pegasus::CIMStatusCode code, const std::string& why)
{
    throw CIMException(code, why.c_str());
}

std::string text(const Pegasus::String& value)
{
    return std::string(value.getCString());
}

std::string text(const CIMName& name)
{
    return text(name.getString());
}

// The value of a property, null when the instance has none.
CIMValue valueOf(const CIMInstance& instance, const char* name)
{
    const Pegasus::Uint32 index = instance.findProperty(name);
    return index == Pegasus::PEG_NOT_FOUND ? CIMValue() : instance.getProperty(index).getValue();
}

void setValue(CIMInstance& instance, const char* name, const CIMValue& value)
{
    const Pegasus::Uint32 index = instance.findProperty(name);
    if (index != Pegasus::PEG_NOT_FOUND) instance.removeProperty(index);
    instance.addProperty(Pegasus::CIMProperty(name, value));
}

// A string property, empty when null; refused when of another type.
std::string stringProperty(const CIMInstance& instance, const char* name)
{
    const CIMValue value = valueOf(instance, name);
    if (value.isNull()) return std::string();
    if (value.getType() != Pegasus::CIMTYPE_STRING || value.isArray())
        refuse(Pegasus::CIM_ERR_INVALID_PARAMETER, std::string(name) + " is a string");
    Pegasus::String result;
    value.get(result);
    return text(result);
}

// A uint16 property; fallback when null.
Pegasus::Uint16 uint16Property(const CIMInstance& instance, const char* name, Pegasus::Uint16 fallback)
{
    const CIMValue value = valueOf(instance, name);
    if (value.isNull()) return fallback;
    if (value.getType() != Pegasus::CIMTYPE_UINT16 || value.isArray())
        refuse(Pegasus::CIM_ERR_INVALID_PARAMETER, std::string(name) + " is a uint16");
    Pegasus::Uint16 result = 0;
    value.get(result);
    return result;
}

CIMObjectPath referenceProperty(const CIMInstance& instance, const char* name)
{
    const CIMValue value = valueOf(instance, name);
    if (value.isNull())
        refuse(Pegasus::CIM_ERR_INVALID_PARAMETER, std::string("a subscription names its ") + name);
    if (value.getType() != Pegasus::CIMTYPE_REFERENCE || value.isArray())
        refuse(Pegasus::CIM_ERR_INVALID_PARAMETER, std::string(name) + " is a reference");
    CIMObjectPath path;
    value.get(path);
    return localPath(path);
}

CIMValue now()
{
    return CIMValue(Pegasus::CIMDateTime::getCurrentDateTime());
}

// A name for an instance a client created without one.
std::string generatedName()
{
    static std::atomic<unsigned long> counter{0};
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    return "cimhost:" + std::to_string(std::chrono::duration_cast<std::chrono::microseconds>(since).count()) +
           ":" + std::to_string(++counter);
}

void logLine(const std::string& line)
{
    std::cerr << "cimhost: " << line << std::endl;
}

} // namespace

// An enabled subscription as indications are matched against it.
struct IndicationService::Route
{
    std::shared_ptr<const IndicationQuery> query;
    std::vector<CIMNamespaceName> sourceNamespaces;
    std::string destinationKey;
    ListenerUrl url;
};

// The providers that accepted a subscription, with the classes each was told of.
struct IndicationService::Activation
{
    std::vector<std::pair<Pegasus::CIMIndicationProvider*, Pegasus::Array<CIMObjectPath>>> providers;
};

// The handler a provider delivers through.
class IndicationService::ProviderHandler : public Pegasus::IndicationResponseHandler
{
public:
    ProviderHandler(IndicationService& service, std::vector<CIMNamespaceName> namespaces)
        : _service(service), _namespaces(std::move(namespaces))
    {
    }

    void processing() override {}
    void complete() override {}
    void deliver(const Pegasus::CIMIndication& indication) override
    {
        _service.route(indication, _namespaces);
    }
    void deliver(const Pegasus::Array<Pegasus::CIMIndication>& indications) override
    {
        for (Pegasus::Uint32 i = 0; i < indications.size(); ++i)
            deliver(indications[i]);
    }
    void deliver(const Pegasus::OperationContext&, const Pegasus::CIMIndication& indication) override
    {
        deliver(indication);
    }
    void deliver(const Pegasus::OperationContext&,
                 const Pegasus::Array<Pegasus::CIMIndication>& indications) override
    {
        deliver(indications);
    }

private:
    IndicationService& _service;
    const std::vector<CIMNamespaceName> _namespaces;
};

IndicationService::IndicationService(const ClassRepository& repository, const ProviderManager& providers,
                                     IndicationServiceSettings settings)
    : _repository(repository), _providers(providers), _settings(std::move(settings)),
      _store(_settings.storeFile), _routes(std::make_shared<std::vector<Route>>()),
      _delivery(_settings.delivery,
                [this](const std::string& destination) { destinationGaveUp(destination); })
{
}

IndicationService::~IndicationService()
{
    stop();
}

void IndicationService::start()
{
    std::lock_guard<std::mutex> lock(_changeMutex);
    for (const CIMInstance& subscription : _store.instances(SUBSCRIPTION_CLASS))
    {
        if (uint16Property(subscription, "SubscriptionState", ENABLED) != ENABLED) continue;
        try
        {
            activate(subscription);
        }
        catch (const CIMException& e)
        {
            logLine("subscription " + text(subscription.getPath().toString()) +
                    " delivers nothing: " + text(e.getMessage()));
        }
    }
    rebuildRoutes();
}

void IndicationService::stop()
{
    {
        std::lock_guard<std::mutex> lock(_changeMutex);
        if (_stopped) return;
        _stopped = true;
        for (auto& [provider, subscriptions] : _enabledFor)
        {
            try
            {
                provider->disableIndications();
            }
            catch (...)
            {
                logLine("an indication provider failed to disable its indications");
            }
        }
        _enabledFor.clear();
        _activations.clear();
        std::lock_guard<std::mutex> routesLock(_routesMutex);
        _routes = std::make_shared<std::vector<Route>>();
    }
    // Outside the lock: a delivery thread may be waiting for it (destinationGaveUp).
    _delivery.stop();
    const DeliveryCounts counts = _delivery.totals();
    if (counts.delivered + counts.lost != 0)
        logLine("indications delivered: " + std::to_string(counts.delivered) +
                ", lost: " + std::to_string(counts.lost));
}

void IndicationService::refuseIfStopped() const
{
    if (_stopped) refuse(Pegasus::CIM_ERR_SERVER_IS_SHUTTING_DOWN, "the indication service is stopping");
}

// ---- creation ----------------------------------------------------------------------------------

CIMObjectPath IndicationService::create(const CIMNamespaceName& interopNamespace, const CIMInstance& given)
{
    std::lock_guard<std::mutex> lock(_changeMutex);
    refuseIfStopped();
    const CIMName className = given.getClassName();
    const Pegasus::CIMConstClass cimClass = _repository.resolvedClassView(interopNamespace, className);
    if (cimClass.isUninitialized()) refuse(Pegasus::CIM_ERR_INVALID_CLASS, text(className));
    for (Pegasus::Uint32 i = 0; i < given.getPropertyCount(); ++i)
    {
        const CIMName name = given.getProperty(i).getName();
        if (cimClass.findProperty(name) == Pegasus::PEG_NOT_FOUND)
            refuse(Pegasus::CIM_ERR_INVALID_PARAMETER,
                   text(name) + " is not a property of " + text(cimClass.getClassName()));
    }
    const size_t existing = _store.instances(cimClass.getClassName()).size();
    if (existing >= _settings.maxInstances)
        refuse(Pegasus::CIM_ERR_SERVER_LIMITS_EXCEEDED, "this server holds at most " +
                                                            std::to_string(_settings.maxInstances) +
                                                            " instances of " + text(cimClass.getClassName()));

    CIMInstance instance = given.clone();
    if (className.equal(SUBSCRIPTION_CLASS)) return createSubscription(interopNamespace, instance);

    // Filters and destinations: the keys a client leaves out are the server's to choose.
    const std::string creationClass = stringProperty(instance, "CreationClassName");
    if (!creationClass.empty() && !className.equal(CIMName(creationClass.c_str())))
        refuse(Pegasus::CIM_ERR_INVALID_PARAMETER,
               "CreationClassName is " + creationClass + ", not the class " + text(className));
    setValue(instance, "CreationClassName", CIMValue(Pegasus::String(text(cimClass.getClassName()).c_str())));
    if (stringProperty(instance, "SystemCreationClassName").empty())
        setValue(instance, "SystemCreationClassName", CIMValue(Pegasus::String("CIM_ComputerSystem")));
    if (stringProperty(instance, "SystemName").empty())
        setValue(instance, "SystemName", CIMValue(Pegasus::String(_settings.hostName.c_str())));
    if (stringProperty(instance, "Name").empty())
        setValue(instance, "Name", CIMValue(Pegasus::String(generatedName().c_str())));
    instance.setPath(localPath(instance.buildPath(cimClass)));

    if (className.equal(FILTER_CLASS)) return createFilter(interopNamespace, instance);
    for (const char* destinationClass : DESTINATION_CLASSES)
        if (className.equal(destinationClass)) return createDestination(instance);
    refuse(Pegasus::CIM_ERR_NOT_SUPPORTED, "instances of " + text(className) + " are not created by clients");
}

CIMObjectPath IndicationService::createFilter(const CIMNamespaceName& interopNamespace, CIMInstance instance)
{
    const std::string language = stringProperty(instance, "QueryLanguage");
    const std::string queryText = stringProperty(instance, "Query");
    if (queryText.empty()) refuse(Pegasus::CIM_ERR_INVALID_PARAMETER, "a filter has a Query");
    if (language.empty())
        refuse(Pegasus::CIM_ERR_INVALID_PARAMETER, "a filter has a QueryLanguage: WQL or DMTF:CQL");
    std::shared_ptr<const IndicationQuery> parsed;
    try
    {
        parsed = std::make_shared<const IndicationQuery>(IndicationQuery::parse(language, queryText));
    }
    catch (const IndicationQueryError& e)
    {
        refuse(Pegasus::CIM_ERR_INVALID_PARAMETER, std::string("the filter's query: ") + e.what());
    }

    // SourceNamespaces, or the older SourceNamespace, or the interop namespace.
    std::vector<std::string> namespaces;
    const CIMValue many = valueOf(instance, "SourceNamespaces");
    if (!many.isNull())
    {
        if (many.getType() != Pegasus::CIMTYPE_STRING || !many.isArray())
            refuse(Pegasus::CIM_ERR_INVALID_PARAMETER, "SourceNamespaces is an array of strings");
        Pegasus::Array<Pegasus::String> names;
        many.get(names);
        for (Pegasus::Uint32 i = 0; i < names.size(); ++i)
            namespaces.push_back(text(names[i]));
    }
    if (namespaces.empty() && !stringProperty(instance, "SourceNamespace").empty())
        namespaces.push_back(stringProperty(instance, "SourceNamespace"));
    if (namespaces.empty()) namespaces.push_back(text(interopNamespace.getString()));

    for (const std::string& name : namespaces)
    {
        CIMNamespaceName nameSpace;
        try
        {
            nameSpace = CIMNamespaceName(name.c_str());
        }
        catch (const Pegasus::Exception&)
        {
            refuse(Pegasus::CIM_ERR_INVALID_PARAMETER, "'" + name + "' is not a namespace name");
        }
        if (!_repository.hasNamespace(nameSpace))
            refuse(Pegasus::CIM_ERR_INVALID_PARAMETER, "the source namespace " + name + " does not exist");
        const CIMName& from = parsed->indicationClass();
        if (_repository.resolvedClassView(nameSpace, from).isUninitialized())
            refuse(Pegasus::CIM_ERR_NOT_FOUND, text(from) + " does not exist in " + name);
        if (!_repository.isA(nameSpace, from, INDICATION_CLASS))
            refuse(Pegasus::CIM_ERR_INVALID_PARAMETER, text(from) + " is not an indication class");
        const CIMName& source = parsed->sourceInstanceClass();
        if (!source.isNull() && _repository.resolvedClassView(nameSpace, source).isUninitialized())
            refuse(Pegasus::CIM_ERR_NOT_SUPPORTED,
                   "The class " + text(source) + " does not exist in " + name + ".");
    }

    if (!_store.add(instance)) refuse(Pegasus::CIM_ERR_ALREADY_EXISTS, text(instance.getPath().toString()));
    _queries[pathKey(instance.getPath())] = parsed;
    return instance.getPath();
}

CIMObjectPath IndicationService::createDestination(CIMInstance instance)
{
    try
    {
        parseListenerUrl(stringProperty(instance, "Destination"));
    }
    catch (const ListenerUrlError& e)
    {
        refuse(Pegasus::CIM_ERR_INVALID_PARAMETER, std::string("Destination: ") + e.what());
    }
    const Pegasus::Uint16 persistence = uint16Property(instance, "PersistenceType", PERMANENT);
    if (persistence != PERMANENT && persistence != TRANSIENT)
        refuse(Pegasus::CIM_ERR_INVALID_PARAMETER, "PersistenceType is 2 (Permanent) or 3 (Transient)");
    setValue(instance, "PersistenceType", CIMValue(persistence));
    if (uint16Property(instance, "Protocol", CIM_XML) != CIM_XML)
        refuse(Pegasus::CIM_ERR_INVALID_PARAMETER, "this server delivers with Protocol 2 (CIM-XML) only");

    if (!_store.add(instance)) refuse(Pegasus::CIM_ERR_ALREADY_EXISTS, text(instance.getPath().toString()));
    return instance.getPath();
}

CIMObjectPath IndicationService::createSubscription(const CIMNamespaceName& interopNamespace,
                                                    CIMInstance instance)
{
    const CIMObjectPath filter = referenceProperty(instance, "Filter");
    const CIMObjectPath handler = referenceProperty(instance, "Handler");
    if (!_repository.isA(interopNamespace, filter.getClassName(), FILTER_CLASS) || !_store.find(filter))
        refuse(Pegasus::CIM_ERR_INVALID_PARAMETER,
               "the Filter " + text(filter.toString()) + " does not exist");
    if (!_repository.isA(interopNamespace, handler.getClassName(), DESTINATION_BASE_CLASS) ||
        !_store.find(handler))
        refuse(Pegasus::CIM_ERR_INVALID_PARAMETER,
               "the Handler " + text(handler.toString()) + " does not exist");
    const Pegasus::Uint16 state = uint16Property(instance, "SubscriptionState", ENABLED);
    if (state != ENABLED && state != DISABLED)
        refuse(Pegasus::CIM_ERR_INVALID_PARAMETER, "SubscriptionState is 2 (Enabled) or 4 (Disabled)");
    if (uint16Property(instance, "RepeatNotificationPolicy", NO_REPEAT_POLICY) != NO_REPEAT_POLICY)
        refuse(Pegasus::CIM_ERR_NOT_SUPPORTED, "RepeatNotificationPolicy is 2 (None) on this server");
    if (!valueOf(instance, "SubscriptionDuration").isNull())
        refuse(Pegasus::CIM_ERR_NOT_SUPPORTED,
               "subscriptions do not expire on this server: give no SubscriptionDuration");

    setValue(instance, "Filter", CIMValue(filter));
    setValue(instance, "Handler", CIMValue(handler));
    setValue(instance, "SubscriptionState", CIMValue(state));
    setValue(instance, "SubscriptionStartTime", now());
    setValue(instance, "TimeOfLastStateChange", now());
    Pegasus::Array<Pegasus::CIMKeyBinding> keys;
    keys.append(Pegasus::CIMKeyBinding("Filter", CIMValue(filter)));
    keys.append(Pegasus::CIMKeyBinding("Handler", CIMValue(handler)));
    instance.setPath(CIMObjectPath(Pegasus::String(), CIMNamespaceName(), SUBSCRIPTION_CLASS, keys));
    if (_store.find(instance.getPath()))
        refuse(Pegasus::CIM_ERR_ALREADY_EXISTS, text(instance.getPath().toString()));

    if (state == ENABLED) activate(instance);
    try
    {
        _store.add(instance);
    }
    catch (...)
    {
        if (state == ENABLED) deactivate(pathKey(instance.getPath()));
        throw;
    }
    rebuildRoutes();
    return instance.getPath();
}

// ---- the providers -----------------------------------------------------------------------------

std::shared_ptr<const IndicationQuery> IndicationService::query(const CIMInstance& filter)
{
    const std::string key = pathKey(filter.getPath());
    auto known = _queries.find(key);
    if (known != _queries.end()) return known->second;
    // A filter kept from before: it was valid when it was made.
    auto parsed = std::make_shared<const IndicationQuery>(
        IndicationQuery::parse(stringProperty(filter, "QueryLanguage"), stringProperty(filter, "Query")));
    _queries[key] = parsed;
    return parsed;
}

IndicationService::ProviderHandler& IndicationService::handlerFor(Pegasus::CIMIndicationProvider* provider)
{
    auto known = _handlers.find(provider);
    if (known != _handlers.end()) return *known->second;
    std::vector<CIMNamespaceName> namespaces;
    for (const CIMNamespaceName& nameSpace : _repository.namespaces())
        for (const RegisteredIndicationProvider& registered : _providers.indicationProviders(nameSpace))
            if (registered.provider == provider)
            {
                namespaces.push_back(nameSpace);
                break;
            }
    auto& handler = _handlers[provider];
    handler = std::make_unique<ProviderHandler>(*this, std::move(namespaces));
    return *handler;
}

void IndicationService::activate(const CIMInstance& subscription)
{
    const std::optional<CIMInstance> filter = _store.find(referenceProperty(subscription, "Filter"));
    if (!filter) refuse(Pegasus::CIM_ERR_FAILED, "the subscription's filter is gone");
    const std::shared_ptr<const IndicationQuery> parsed = query(*filter);

    // The providers registered, in a source namespace, for the filter's class or a subclass.
    std::vector<std::pair<Pegasus::CIMIndicationProvider*, Pegasus::Array<CIMObjectPath>>> chosen;
    Pegasus::Array<Pegasus::String> sourceNamespaces;
    const CIMValue many = valueOf(*filter, "SourceNamespaces");
    if (!many.isNull()) many.get(sourceNamespaces);
    if (sourceNamespaces.size() == 0)
        sourceNamespaces.append(Pegasus::String(stringProperty(*filter, "SourceNamespace").c_str()));
    for (Pegasus::Uint32 i = 0; i < sourceNamespaces.size(); ++i)
    {
        if (sourceNamespaces[i].size() == 0) continue;
        const CIMNamespaceName nameSpace(sourceNamespaces[i]);
        for (const RegisteredIndicationProvider& registered : _providers.indicationProviders(nameSpace))
        {
            if (!_repository.isA(nameSpace, registered.indicationClass, parsed->indicationClass())) continue;
            auto entry = chosen.begin();
            while (entry != chosen.end() && entry->first != registered.provider)
                ++entry;
            if (entry == chosen.end())
                entry = chosen.insert(chosen.end(), {registered.provider, Pegasus::Array<CIMObjectPath>()});
            entry->second.append(CIMObjectPath(Pegasus::String(_settings.hostName.c_str()), nameSpace,
                                               registered.indicationClass));
        }
    }

    Pegasus::OperationContext context;
    context.insert(Pegasus::SubscriptionInstanceContainer(subscription));
    context.insert(Pegasus::SubscriptionFilterConditionContainer(
        Pegasus::String(parsed->conditionText().c_str()),
        Pegasus::String(stringProperty(*filter, "QueryLanguage").c_str())));
    context.insert(Pegasus::SubscriptionFilterQueryContainer(
        Pegasus::String(stringProperty(*filter, "Query").c_str()),
        Pegasus::String(stringProperty(*filter, "QueryLanguage").c_str()),
        sourceNamespaces.size() != 0 && sourceNamespaces[0].size() != 0
            ? CIMNamespaceName(sourceNamespaces[0])
            : CIMNamespaceName()));
    Activation activation;
    for (auto& [provider, classNames] : chosen)
    {
        try
        {
            provider->createSubscription(context, subscription.getPath(), classNames,
                                         Pegasus::CIMPropertyList(), NO_REPEAT_POLICY);
            activation.providers.emplace_back(provider, classNames);
        }
        catch (const Pegasus::Exception& e)
        {
            logLine("an indication provider declined subscription " +
                    text(subscription.getPath().toString()) + ": " + text(e.getMessage()));
        }
        catch (...)
        {
            logLine("an indication provider failed on subscription " +
                    text(subscription.getPath().toString()));
        }
    }
    if (activation.providers.empty())
        refuse(Pegasus::CIM_ERR_NOT_SUPPORTED, "No providers accepted the subscription.");
    for (auto& [provider, classNames] : activation.providers)
    {
        if (_enabledFor[provider]++ != 0) continue;
        try
        {
            provider->enableIndications(handlerFor(provider));
        }
        catch (...)
        {
            logLine("an indication provider failed to enable its indications");
        }
    }
    _activations[pathKey(subscription.getPath())] = std::move(activation);
}

void IndicationService::deactivate(const std::string& subscriptionKey)
{
    auto found = _activations.find(subscriptionKey);
    if (found == _activations.end()) return;
    const Activation activation = std::move(found->second);
    _activations.erase(found);
    const std::optional<CIMInstance> subscription = [&]() -> std::optional<CIMInstance>
    {
        for (const CIMInstance& candidate : _store.instances(SUBSCRIPTION_CLASS))
            if (pathKey(candidate.getPath()) == subscriptionKey) return candidate;
        return std::nullopt;
    }();
    Pegasus::OperationContext context;
    if (subscription) context.insert(Pegasus::SubscriptionInstanceContainer(*subscription));
    for (const auto& [provider, classNames] : activation.providers)
    {
        try
        {
            provider->deleteSubscription(context, subscription ? subscription->getPath() : CIMObjectPath(),
                                         classNames);
        }
        catch (...)
        {
            logLine("an indication provider failed to delete a subscription");
        }
        if (--_enabledFor[provider] != 0) continue;
        _enabledFor.erase(provider);
        try
        {
            provider->disableIndications();
        }
        catch (...)
        {
            logLine("an indication provider failed to disable its indications");
        }
    }
}

// ---- routes ------------------------------------------------------------------------------------

void IndicationService::rebuildRoutes()
{
    // Filters and destinations by key first: one pass over each, whatever the number of subscriptions.
    std::map<std::string, CIMInstance> filters, destinations;
    for (const CIMInstance& filter : _store.instances(FILTER_CLASS))
        filters.emplace(pathKey(filter.getPath()), filter);
    for (const char* destinationClass : DESTINATION_CLASSES)
        for (const CIMInstance& destination : _store.instances(destinationClass))
            destinations.emplace(pathKey(destination.getPath()), destination);

    auto routes = std::make_shared<std::vector<Route>>();
    for (const CIMInstance& subscription : _store.instances(SUBSCRIPTION_CLASS))
    {
        if (!_activations.count(pathKey(subscription.getPath()))) continue;
        const auto filter = filters.find(pathKey(referenceProperty(subscription, "Filter")));
        const auto destination = destinations.find(pathKey(referenceProperty(subscription, "Handler")));
        if (filter == filters.end() || destination == destinations.end()) continue;
        Route route;
        route.query = query(filter->second);
        Pegasus::Array<Pegasus::String> namespaces;
        const CIMValue many = valueOf(filter->second, "SourceNamespaces");
        if (!many.isNull()) many.get(namespaces);
        for (Pegasus::Uint32 i = 0; i < namespaces.size(); ++i)
            route.sourceNamespaces.emplace_back(namespaces[i]);
        if (route.sourceNamespaces.empty() && !stringProperty(filter->second, "SourceNamespace").empty())
            route.sourceNamespaces.emplace_back(stringProperty(filter->second, "SourceNamespace").c_str());
        route.destinationKey = destination->first;
        route.url = parseListenerUrl(stringProperty(destination->second, "Destination"));
        routes->push_back(std::move(route));
    }
    std::lock_guard<std::mutex> lock(_routesMutex);
    _routes = std::move(routes);
}

void IndicationService::route(const CIMInstance& indication,
                              const std::vector<CIMNamespaceName>& providerNamespaces)
{
    std::shared_ptr<const std::vector<Route>> routes;
    {
        std::lock_guard<std::mutex> lock(_routesMutex);
        routes = _routes;
    }
    // Many subscriptions ask the same questions of the class hierarchy; each is asked of the
    // repository once per indication.
    struct Answer
    {
        const CIMNamespaceName* nameSpace;
        CIMName className, ancestor;
        bool isA;
    };
    std::vector<Answer> answers;
    // Most filters require a class of SourceInstance: checked first, from its class alone.
    CIMName sourceClass;
    const CIMValue source = valueOf(indication, "SourceInstance");
    if (!source.isNull() && !source.isArray() && source.getType() == Pegasus::CIMTYPE_INSTANCE)
    {
        CIMInstance embedded;
        source.get(embedded);
        sourceClass = embedded.getClassName();
    }
    else if (!source.isNull() && !source.isArray() && source.getType() == Pegasus::CIMTYPE_OBJECT)
    {
        Pegasus::CIMObject embedded;
        source.get(embedded);
        sourceClass = embedded.getClassName();
    }
    std::shared_ptr<const std::string> encoded; // once, for every listener it goes to
    for (const Route& route : *routes)
    {
        const CIMNamespaceName* source = nullptr;
        for (const CIMNamespaceName& nameSpace : route.sourceNamespaces)
            for (const CIMNamespaceName& served : providerNamespaces)
                if (!source && nameSpace.equal(served)) source = &nameSpace;
        if (!source) continue;
        const auto isA = [&](const CIMName& className, const CIMName& ancestor)
        {
            for (const Answer& known : answers)
                if (known.nameSpace->equal(*source) && known.className.equal(className) &&
                    known.ancestor.equal(ancestor))
                    return known.isA;
            answers.push_back({source, className, ancestor, _repository.isA(*source, className, ancestor)});
            return answers.back().isA;
        };
        if (!isA(indication.getClassName(), route.query->indicationClass())) continue;
        const CIMName& required = route.query->sourceInstanceClass();
        if (!required.isNull() && !sourceClass.isNull() && !isA(sourceClass, required)) continue;
        if (!route.query->matches(indication, isA)) continue;
        if (!encoded) encoded = std::make_shared<const std::string>(encodeIndicationElement(indication));
        _delivery.send(route.destinationKey, route.url, encoded);
    }
}

// ---- changes and reads -------------------------------------------------------------------------

void IndicationService::modify(const CIMObjectPath& path, const CIMInstance& instance,
                               const Pegasus::CIMPropertyList& propertyList)
{
    std::lock_guard<std::mutex> lock(_changeMutex);
    refuseIfStopped();
    if (!path.getClassName().equal(SUBSCRIPTION_CLASS))
        refuse(Pegasus::CIM_ERR_NOT_SUPPORTED, "only a subscription's SubscriptionState can be modified");
    std::optional<CIMInstance> stored = _store.find(localPath(path));
    if (!stored) refuse(Pegasus::CIM_ERR_NOT_FOUND, text(path.toString()));
    if (!propertyList.isNull())
    {
        for (Pegasus::Uint32 i = 0; i < propertyList.size(); ++i)
            if (!propertyList[i].equal("SubscriptionState"))
                refuse(Pegasus::CIM_ERR_NOT_SUPPORTED,
                       "only a subscription's SubscriptionState can be modified, not " +
                           text(propertyList[i]));
    }
    else
    {
        // Without a property list every property given counts: each must be unchanged but the state.
        for (Pegasus::Uint32 i = 0; i < instance.getPropertyCount(); ++i)
        {
            const Pegasus::CIMConstProperty given = instance.getProperty(i);
            if (given.getName().equal("SubscriptionState")) continue;
            const CIMValue now = valueOf(*stored, text(given.getName()).c_str());
            const bool reference = given.getValue().getType() == Pegasus::CIMTYPE_REFERENCE;
            if (reference || !(given.getValue() == now))
            {
                if (reference && !given.getValue().isNull())
                {
                    CIMObjectPath target;
                    given.getValue().get(target);
                    CIMObjectPath kept;
                    if (!now.isNull()) now.get(kept);
                    if (pathKey(target) == pathKey(kept)) continue;
                }
                refuse(Pegasus::CIM_ERR_NOT_SUPPORTED,
                       "only a subscription's SubscriptionState can be modified, not " +
                           text(given.getName()));
            }
        }
    }
    if (instance.findProperty("SubscriptionState") == Pegasus::PEG_NOT_FOUND) return;
    const Pegasus::Uint16 state = uint16Property(instance, "SubscriptionState", ENABLED);
    if (state != ENABLED && state != DISABLED)
        refuse(Pegasus::CIM_ERR_INVALID_PARAMETER, "SubscriptionState is 2 (Enabled) or 4 (Disabled)");
    const Pegasus::Uint16 before = uint16Property(*stored, "SubscriptionState", ENABLED);
    if (state == before) return;

    CIMInstance changed = *stored;
    setValue(changed, "SubscriptionState", CIMValue(state));
    setValue(changed, "TimeOfLastStateChange", now());
    const std::string key = pathKey(changed.getPath());
    if (state == ENABLED)
        activate(changed);
    else
        deactivate(key);
    try
    {
        _store.replace(changed);
    }
    catch (...)
    {
        if (state == ENABLED)
            deactivate(key);
        else
        {
            try
            {
                activate(*stored);
            }
            catch (const CIMException&)
            {
                // Left disabled in memory; the file still says enabled, and a restart enables it.
            }
        }
        rebuildRoutes();
        throw;
    }
    rebuildRoutes();
}

void IndicationService::remove(const CIMObjectPath& given)
{
    std::lock_guard<std::mutex> lock(_changeMutex);
    refuseIfStopped();
    const CIMObjectPath path = localPath(given);
    const std::optional<CIMInstance> stored = _store.find(path);
    if (!stored || !stored->getClassName().equal(path.getClassName()))
        refuse(Pegasus::CIM_ERR_NOT_FOUND, text(given.toString()));
    if (path.getClassName().equal(SUBSCRIPTION_CLASS))
    {
        removeSubscription(*stored);
        return;
    }
    const std::string key = pathKey(path);
    for (const CIMInstance& subscription : _store.instances(SUBSCRIPTION_CLASS))
        if (pathKey(referenceProperty(subscription, "Filter")) == key ||
            pathKey(referenceProperty(subscription, "Handler")) == key)
            refuse(Pegasus::CIM_ERR_FAILED,
                   text(given.getClassName()) + " " + text(path.toString()) + " is used by subscription " +
                       text(subscription.getPath().toString()) + "; delete the subscription first");
    _store.remove(path);
    _queries.erase(key);
    _delivery.remove(key);
}

void IndicationService::removeSubscription(const CIMInstance& subscription)
{
    const std::string key = pathKey(subscription.getPath());
    const bool wasActive = _activations.count(key) != 0;
    // Told to the providers only once the subscription is gone from the file: a failure to write
    // it leaves everything as it was.
    _store.remove(subscription.getPath());
    if (wasActive) deactivate(key);
    rebuildRoutes();
}

// A transient destination that did not take an indication goes, with its subscriptions.
void IndicationService::destinationGaveUp(const std::string& destinationKey)
{
    std::lock_guard<std::mutex> lock(_changeMutex);
    if (_stopped) return;
    for (const char* destinationClass : DESTINATION_CLASSES)
        for (const CIMInstance& destination : _store.instances(destinationClass))
        {
            if (pathKey(destination.getPath()) != destinationKey) continue;
            if (uint16Property(destination, "PersistenceType", PERMANENT) != TRANSIENT) return;
            try
            {
                for (const CIMInstance& subscription : _store.instances(SUBSCRIPTION_CLASS))
                    if (pathKey(referenceProperty(subscription, "Handler")) == destinationKey)
                        removeSubscription(subscription);
                _store.remove(destination.getPath());
            }
            catch (const std::exception& e)
            {
                logLine("cannot remove the unreachable transient listener destination " +
                        stringProperty(destination, "Destination") + ": " + e.what());
                return;
            }
            _delivery.remove(destinationKey);
            logLine("removed the transient listener destination " +
                    stringProperty(destination, "Destination") +
                    " and its subscriptions: it did not take an indication");
            return;
        }
}

CIMInstance IndicationService::get(const CIMObjectPath& path) const
{
    const std::optional<CIMInstance> stored = _store.find(localPath(path));
    if (!stored || !stored->getClassName().equal(path.getClassName()))
        refuse(Pegasus::CIM_ERR_NOT_FOUND, text(path.toString()));
    return *stored;
}

std::vector<CIMInstance> IndicationService::instances(const CIMName& className) const
{
    return _store.instances(className);
}

} // namespace cimhost
