// scsctl watch: a listener of its own, a subscription to the array's indications in the server's
// interop namespace, a line (or a JSON object) for each indication, and the subscription removed
// at the end.
#include <csignal>
#include <cstdio>
#include <ctime>
#include <optional>

#include <boost/asio/signal_set.hpp>
#include <boost/asio/steady_timer.hpp>

#include "Commands.h"
#include "ExportListener.h"
#include "IndicationJson.h"
#include "IndicationSubscription.h"
#include "IndicationText.h"
#include "InstanceFields.h"
#include "ListenAddress.h"

namespace scsctl
{

namespace
{

struct Topics
{
    bool jobs, volumes, alerts, others;
};

Topics topicsOf(const WatchRequest& request)
{
    if (!request.jobs && !request.volumes && !request.alerts) return {true, true, true, true};
    return {request.jobs, request.volumes, request.alerts, false};
}

bool wanted(const Topics& topics, IndicationTopic topic)
{
    switch (topic)
    {
    case IndicationTopic::Job:
        return topics.jobs;
    case IndicationTopic::Volume:
        return topics.volumes;
    case IndicationTopic::Alert:
        return topics.alerts;
    default:
        return topics.others;
    }
}

// A filter for each indication class, narrowed to the instances asked for.
std::vector<std::string> queriesFor(const Topics& topics)
{
    std::vector<std::string> queries;
    std::string about;
    if (topics.jobs) about = "SourceInstance ISA CIM_ConcreteJob";
    if (topics.volumes)
        about += (about.empty() ? "" : " OR ") + std::string("SourceInstance ISA CIM_StorageVolume");
    if (!about.empty())
        for (const char* className : {"CIM_InstCreation", "CIM_InstModification", "CIM_InstDeletion"})
            queries.push_back(std::string("SELECT * FROM ") + className + " WHERE " + about);
    if (topics.alerts) queries.push_back("SELECT * FROM CIM_AlertIndication");
    return queries;
}

std::string topicWords(const Topics& topics)
{
    std::vector<const char*> words;
    if (topics.jobs) words.push_back("jobs");
    if (topics.volumes) words.push_back("volumes");
    if (topics.alerts) words.push_back("alerts");
    std::string text;
    for (size_t i = 0; i < words.size(); ++i)
        text += (i == 0 ? "" : i + 1 == words.size() ? " and " : ", ") + std::string(words[i]);
    return text;
}

std::string clockText(const char* format, bool utc)
{
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    if (utc)
        gmtime_r(&now, &parts);
    else
        localtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, format, &parts);
    return text;
}

} // namespace

ExitStatus watchIndications(Session& session, const WatchRequest& request)
{
    const Topics topics = topicsOf(request);
    ListenAddress listen = parseListenAddress(request.listen);
    IndicationSubscription subscription(session.connection);
    // The server sends to the address it sees scsctl at, unless told another.
    const std::string serverSide = subscription.localAddress();
    if (listen.host.empty()) listen.host = serverSide;

    boost::asio::io_context io;
    unsigned shown = 0;
    bool enough = false;
    bool outputGone = false;
    // A closed pipe is seen as a failed write rather than as a signal that would leave the
    // subscription behind.
    std::signal(SIGPIPE, SIG_IGN);
    ExportListener listener(
        io, listen.host, listen.port,
        [&](const cimhost::ExportedIndication& exported)
        {
            const Pegasus::CIMConstInstance indication = exported.indication;
            if (enough || !wanted(topics, topicOf(indication))) return;
            // Text that is no UTF-8 is shown with replacement characters rather than refused.
            const std::string text =
                session.json ? indicationJson(indication, clockText("%Y-%m-%dT%H:%M:%SZ", true))
                                   .dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                             : indicationLine(indication, clockText("%H:%M:%S", false));
            std::printf("%s\n", text.c_str());
            std::fflush(stdout);
            // Nobody reads any more (| head): time to clean up, as for Ctrl-C.
            outputGone = std::ferror(stdout) != 0;
            enough = outputGone || (request.count != 0 && ++shown >= request.count);
        });
    // Stops after the answer to the last indication wanted has gone out.
    listener.onAnswered(
        [&]
        {
            if (enough) io.stop();
        });
    bool timedOut = false;
    boost::asio::steady_timer deadline(io);
    if (request.duration != 0)
    {
        deadline.expires_after(std::chrono::seconds(request.duration));
        deadline.async_wait(
            [&](const boost::system::error_code& error)
            {
                if (error) return;
                timedOut = true;
                io.stop();
            });
    }
    // Ctrl-C while subscribing is seen once the subscription is made, and then removes it.
    boost::asio::signal_set signals(io, SIGINT, SIGTERM);
    signals.async_wait(
        [&](const boost::system::error_code& error, int)
        {
            if (!error) io.stop();
        });

    const std::string destination =
        listenerUrl(isAnyAddress(listen.host) ? serverSide : listen.host, listener.port());
    SubscriptionRequest subscribing;
    subscribing.name = uniqueSubscriptionName();
    subscribing.destination = destination;
    subscribing.sourceNamespace = session.client.nameSpace();
    subscribing.queries = queriesFor(topics);
    subscription.subscribe(subscribing);
    std::fprintf(stderr, "scsctl: watching %s: indications to %s, subscribed in %s (Ctrl-C stops)\n",
                 topicWords(topics).c_str(), destination.c_str(), subscription.interopNamespace().c_str());

    io.run();
    listener.close();
    const std::vector<std::string> problems = subscription.unsubscribe();
    if (!problems.empty())
    {
        std::fprintf(stderr, "scsctl: could not remove from %s what scsctl watch made there:\n",
                     subscription.interopNamespace().c_str());
        for (const std::string& problem : problems)
            std::fprintf(stderr, "  %s\n", problem.c_str());
        return ExitRefused;
    }
    if (outputGone) return ExitOk;
    if (timedOut && request.count != 0 && shown < request.count)
    {
        std::fprintf(stderr, "scsctl: %u of %u indications arrived in %u seconds\n", shown, request.count,
                     request.duration);
        return ExitRefused;
    }
    return ExitOk;
}

} // namespace scsctl
