// A subscription to a server's indications through the intrinsic operations, as WBEM clients make
// them in the interop namespace: a CIM_ListenerDestinationCIMXML, a CIM_IndicationFilter per
// query and a CIM_IndicationSubscription joining each filter to the destination. What it made is
// removed in the reverse order by unsubscribe(), or at the latest when it goes.
#ifndef SCSCTL_IndicationSubscription_h
#define SCSCTL_IndicationSubscription_h

#include <memory>
#include <string>
#include <vector>

#include <Pegasus/Common/CIMObjectPath.h>

#include "CimClient.h"

namespace scsctl
{

// Where WBEM servers keep subscriptions, in the order they are tried: cimhost answers in all
// three, OpenPegasus only in root/PG_InterOp.
extern const char* const INTEROP_NAMESPACES[3];

struct SubscriptionRequest
{
    std::string name;                 // unique to this run: the destination's Name, and the filters' prefix
    std::string destination;          // the listener's URL
    std::string sourceNamespace;      // where the indications come from
    std::vector<std::string> queries; // DMTF:CQL, one filter each
};

class IndicationSubscription
{
public:
    // Finds the interop namespace: the first of INTEROP_NAMESPACES where CIM_IndicationFilter can
    // be enumerated. None is Failure(ExitRefused) saying that the server offers no subscriptions.
    explicit IndicationSubscription(const ConnectionOptions& options);
    ~IndicationSubscription();
    IndicationSubscription(const IndicationSubscription&) = delete;
    IndicationSubscription& operator=(const IndicationSubscription&) = delete;

    const std::string& interopNamespace() const;
    // The address the server sees this client at: one it can reach a listener on.
    std::string localAddress();

    // Creates the destination, the filters and the subscriptions, in that order. A refusal
    // removes what was made and throws Failure(ExitRefused) in the operator's words, the server's
    // as its detail.
    void subscribe(const SubscriptionRequest& request);

    // Deletes the subscriptions, then the filters, then the destination. Answers what could not be
    // deleted, each with the server's reason; empty when everything went.
    std::vector<std::string> unsubscribe();

private:
    std::unique_ptr<CimClient> _client;
    Pegasus::CIMObjectPath _destination;
    std::vector<Pegasus::CIMObjectPath> _filters;
    std::vector<Pegasus::CIMObjectPath> _subscriptions;
};

// "scsctl-watch:<host name>:<process id>:<random hex>": no other run, here or elsewhere, has it.
std::string uniqueSubscriptionName();

} // namespace scsctl

#endif
