// One HTTP or HTTPS connection from the host to a CIM-XML listener, kept open between exports
// (a listener that closes it gets a new one). Every step is bounded by a timeout, and cancel() from
// another thread ends what runs, so a dead listener holds only the thread that talks to it.
#ifndef CIMHOST_ListenerConnection_h
#define CIMHOST_ListenerConnection_h

#include <chrono>
#include <memory>
#include <string>

#include "ListenerUrl.h"

namespace boost::asio::ssl
{
class context;
}

namespace cimhost
{

struct ExportResult
{
    enum Outcome
    {
        Delivered,
        Refused,    // the listener answered with a CIM error: trying again would not help
        Unreachable // no answer, a broken connection or an HTTP error: worth trying again
    } outcome = Unreachable;
    std::string reason; // why, for a log line, unless Delivered
};

class ListenerConnection
{
public:
    // tls: for https URLs (the caller keeps it alive); null refuses them.
    ListenerConnection(ListenerUrl url, boost::asio::ssl::context* tls, std::chrono::milliseconds timeout);
    ~ListenerConnection();
    ListenerConnection(const ListenerConnection&) = delete;
    ListenerConnection& operator=(const ListenerConnection&) = delete;

    // Posts one ExportIndication request (the whole CIM-XML document).
    ExportResult exportIndication(const std::string& document);
    // Thread-safe: ends the exchange under way, which fails; later exports fail at once.
    void cancel();

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

} // namespace cimhost

#endif
