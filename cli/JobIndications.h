// A job's modifications as indications, for watching it without asking for it over and over: a
// listener of scsctl's own and a subscription to CIM_InstModification of that one job, removed
// when this goes.
#ifndef SCSCTL_JobIndications_h
#define SCSCTL_JobIndications_h

#include <chrono>
#include <deque>
#include <optional>
#include <string>

#include <boost/asio/io_context.hpp>

#include <Pegasus/Common/CIMInstance.h>

#include "ExportListener.h"
#include "IndicationSubscription.h"

namespace scsctl
{

class JobIndications
{
public:
    // Subscribes; a server that offers no subscriptions, or refuses this one, is a Failure.
    JobIndications(const ConnectionOptions& options, const std::string& sourceNamespace,
                   const std::string& jobId);
    ~JobIndications();
    JobIndications(const JobIndications&) = delete;
    JobIndications& operator=(const JobIndications&) = delete;

    // The job as the next indication tells it, when one comes within the wait.
    std::optional<Pegasus::CIMInstance> next(std::chrono::milliseconds wait);

private:
    IndicationSubscription _subscription;
    boost::asio::io_context _io;
    std::deque<Pegasus::CIMInstance> _received;
    ExportListener _listener;
};

} // namespace scsctl

#endif
