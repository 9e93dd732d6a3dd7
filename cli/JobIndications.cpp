#include "JobIndications.h"

#include "IndicationText.h"
#include "ListenAddress.h"

namespace scsctl
{

JobIndications::JobIndications(const ConnectionOptions& options, const std::string& sourceNamespace,
                               const std::string& jobId)
    : _subscription(options), _listener(_io, _subscription.localAddress(), 0,
                                        [this](const cimhost::ExportedIndication& exported)
                                        {
                                            const Pegasus::CIMConstInstance job =
                                                embeddedInstance(exported.indication, "SourceInstance");
                                            if (!job.isUninitialized()) _received.push_back(job.clone());
                                        })
{
    // Back to the caller once the answer to an indication has gone out.
    _listener.onAnswered(
        [this]
        {
            if (!_received.empty()) _io.stop();
        });
    SubscriptionRequest request;
    request.name = uniqueSubscriptionName();
    request.destination = listenerUrl(_subscription.localAddress(), _listener.port());
    request.sourceNamespace = sourceNamespace;
    // Job IDs are digits (the array's); anything else would not be quoted safely.
    if (jobId.find_first_not_of("0123456789ABCDEFabcdef") != std::string::npos)
        throw Failure(ExitRefused, "job " + jobId + " is not watched by indications");
    request.queries = {"SELECT * FROM CIM_InstModification WHERE SourceInstance ISA CIM_ConcreteJob AND "
                       "SourceInstance.CIM_ConcreteJob::InstanceID = '" +
                       jobId + "'"};
    _subscription.subscribe(request);
}

JobIndications::~JobIndications() = default;

std::optional<Pegasus::CIMInstance> JobIndications::next(std::chrono::milliseconds wait)
{
    if (_received.empty())
    {
        _io.restart();
        _io.run_for(wait);
    }
    if (_received.empty()) return std::nullopt;
    Pegasus::CIMInstance job = _received.front();
    _received.pop_front();
    return job;
}

} // namespace scsctl
