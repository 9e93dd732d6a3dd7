#include "IndicationSubscription.h"

#include <cstdio>
#include <random>
#include <utility>

#include <unistd.h>

#include <Pegasus/Common/CIMProperty.h>

#include "InstanceFields.h"

namespace scsctl
{

using namespace Pegasus;

const char* const INTEROP_NAMESPACES[3] = {"interop", "root/interop", "root/PG_InterOp"};

namespace
{

const Uint16 PERSISTENCE_TRANSIENT = 3;
const Uint16 SUBSCRIPTION_ENABLED = 2;

void add(CIMInstance& instance, const char* name, const CIMValue& value)
{
    instance.addProperty(CIMProperty(CIMName(name), value));
}

CIMInstance destinationInstance(const SubscriptionRequest& request)
{
    CIMInstance destination(CIMName("CIM_ListenerDestinationCIMXML"));
    add(destination, "Name", CIMValue(String(request.name.c_str())));
    add(destination, "Destination", CIMValue(String(request.destination.c_str())));
    add(destination, "PersistenceType", CIMValue(PERSISTENCE_TRANSIENT));
    return destination;
}

CIMInstance filterInstance(const SubscriptionRequest& request, size_t number)
{
    CIMInstance filter(CIMName("CIM_IndicationFilter"));
    const std::string name = request.name + ":" + std::to_string(number + 1);
    add(filter, "Name", CIMValue(String(name.c_str())));
    add(filter, "Query", CIMValue(String(request.queries[number].c_str())));
    add(filter, "QueryLanguage", CIMValue(String("DMTF:CQL")));
    Array<String> sources;
    sources.append(String(request.sourceNamespace.c_str()));
    add(filter, "SourceNamespaces", CIMValue(sources));
    return filter;
}

CIMInstance subscriptionInstance(const CIMObjectPath& filter, const CIMObjectPath& handler)
{
    CIMInstance subscription(CIMName("CIM_IndicationSubscription"));
    add(subscription, "Filter", CIMValue(filter));
    add(subscription, "Handler", CIMValue(handler));
    add(subscription, "SubscriptionState", CIMValue(SUBSCRIPTION_ENABLED));
    return subscription;
}

} // namespace

IndicationSubscription::IndicationSubscription(const ConnectionOptions& options)
{
    std::string refusals;
    for (const char* nameSpace : INTEROP_NAMESPACES)
    {
        auto client = std::make_unique<CimClient>(options, nameSpace);
        try
        {
            client->enumerateInstanceNames("CIM_IndicationFilter");
            _client = std::move(client);
            return;
        }
        catch (const CimError& error)
        {
            refusals += (refusals.empty() ? "" : "\n") + std::string(error.what());
        }
    }
    throw Failure(ExitRefused,
                  "the server offers no indication subscriptions: none of interop, root/interop and "
                  "root/PG_InterOp has indication filters",
                  refusals);
}

IndicationSubscription::~IndicationSubscription()
{
    try
    {
        unsubscribe();
    }
    catch (...)
    {
        // Going without a connection: the server drops a transient destination's subscriptions
        // when delivery to it fails for long enough.
    }
}

const std::string& IndicationSubscription::interopNamespace() const
{
    return _client->nameSpace();
}

std::string IndicationSubscription::localAddress()
{
    return _client->localAddress();
}

void IndicationSubscription::subscribe(const SubscriptionRequest& request)
{
    try
    {
        _destination = _client->createInstance(destinationInstance(request));
    }
    catch (const CimError& error)
    {
        throw explained(error, "the server refused to send indications to " + request.destination);
    }
    for (size_t i = 0; i < request.queries.size(); ++i)
    {
        const std::string query = request.queries[i];
        try
        {
            _filters.push_back(_client->createInstance(filterInstance(request, i)));
            _subscriptions.push_back(
                _client->createInstance(subscriptionInstance(_filters.back(), _destination)));
        }
        catch (const CimError& error)
        {
            const Failure refusal =
                explained(error, (_filters.size() == i ? "the server refused the indication filter \""
                                                       : "the server refused to subscribe to the filter \"") +
                                     query + "\"");
            unsubscribe();
            throw refusal;
        }
    }
}

std::vector<std::string> IndicationSubscription::unsubscribe()
{
    std::vector<std::string> problems;
    auto remove = [&](std::vector<CIMObjectPath> paths, const char* what)
    {
        for (auto path = paths.rbegin(); path != paths.rend(); ++path)
        {
            try
            {
                _client->deleteInstance(*path);
            }
            catch (const Failure& failure)
            {
                // Gone already is what was wanted.
                const auto* error = dynamic_cast<const CimError*>(&failure);
                if (!error || error->code != CIM_ERR_NOT_FOUND)
                    problems.push_back(std::string(what) + " " + utf8(path->toString()) + ": " +
                                       failure.what());
            }
        }
    };
    std::vector<CIMObjectPath> destination;
    if (!_destination.getClassName().isNull()) destination.push_back(_destination);
    remove(std::exchange(_subscriptions, {}), "subscription");
    remove(std::exchange(_filters, {}), "filter");
    remove(destination, "destination");
    _destination = CIMObjectPath();
    return problems;
}

std::string uniqueSubscriptionName()
{
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0) std::snprintf(host, sizeof host, "unknown");
    std::random_device random;
    char suffix[17];
    std::snprintf(suffix, sizeof suffix, "%08x%08x", random(), random());
    return "scsctl-watch:" + std::string(host) + ":" + std::to_string(getpid()) + ":" + suffix;
}

} // namespace scsctl
