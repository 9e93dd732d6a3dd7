// scsctl's indication listener: an HTTP/1.1 server for CIM-XML export requests on an io_context
// of the caller's (one thread). Connections are kept alive as long as the sender likes, or opened
// for each request; a malformed request gets its error answer and the listener serves on.
#ifndef SCSCTL_ExportListener_h
#define SCSCTL_ExportListener_h

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include <boost/asio/io_context.hpp>

#include "ExportMessages.h"

namespace scsctl
{

class ExportListener
{
public:
    // Called for each indication received, before it is acknowledged; an exception it throws is
    // answered as CIM_ERR_FAILED with its message.
    using Handler = std::function<void(const cimhost::ExportedIndication&)>;

    // Listens on the address (IPv4 or IPv6 text) and port, 0 for one the system chooses. An
    // address that cannot be bound is a usage Failure naming it.
    ExportListener(boost::asio::io_context& io, const std::string& address, unsigned short port,
                   Handler handler);
    ~ExportListener();
    ExportListener(const ExportListener&) = delete;
    ExportListener& operator=(const ExportListener&) = delete;

    // Called after each answer has gone out (or failed to), e.g. to stop once enough have arrived
    // without cutting the last answer off.
    void onAnswered(std::function<void()> answered);

    unsigned short port() const;
    std::size_t connectionsAccepted() const;
    std::size_t indicationsTaken() const;
    std::size_t requestsRefused() const;

    // Stops accepting and closes every connection.
    void close();

private:
    struct Impl;
    std::shared_ptr<Impl> _impl;
};

} // namespace scsctl

#endif
