// One connection of the transport and what all connections share. Internal to the transport.
#ifndef CIMHOST_HttpSession_h
#define CIMHOST_HttpSession_h

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ssl/context.hpp>
#include <boost/asio/thread_pool.hpp>

#include "HttpService.h"
#include "HttpTransport.h"
#include "IoThreads.h"

namespace cimhost
{

class HttpSession
{
public:
    virtual ~HttpSession() = default;
    // Begins the TLS handshake or the first read.
    virtual void start() = 0;
    // The transport is stopping: a connection waiting for its next request closes now.
    virtual void notifyStopping() = 0;
};

// What the connections share: options, service, threads, and the count of open connections.
class SessionShared
{
public:
    SessionShared(const TransportOptions& options, const HttpService& service,
                  boost::asio::thread_pool& workers, IoThreads& ioThreads)
        : options(options), service(service), workers(workers), ioThreads(ioThreads)
    {
    }

    const TransportOptions& options;
    const HttpService& service;
    boost::asio::thread_pool& workers;
    IoThreads& ioThreads;
    std::atomic<bool> stopping{false};
    std::atomic<size_t> requestsInService{0};

    size_t openConnections() const;
    void add(const std::shared_ptr<HttpSession>& session);
    // Called by a session as it ends; calls the drained callback when stopping leaves none open.
    void remove(const HttpSession* session);
    std::vector<std::shared_ptr<HttpSession>> openSessions() const;
    void onDrained(std::function<void()> callback);

private:
    mutable std::mutex _mutex;
    std::unordered_map<const HttpSession*, std::weak_ptr<HttpSession>> _sessions;
    std::function<void()> _drained;
};

// The socket's executor must be a strand: a session's handlers never run at once.
std::shared_ptr<HttpSession> makePlainSession(boost::asio::ip::tcp::socket socket, SessionShared& shared);
std::shared_ptr<HttpSession> makeTlsSession(boost::asio::ip::tcp::socket socket,
                                            boost::asio::ssl::context& tls, SessionShared& shared);

// "address:port" of the peer, or "-" when the socket has none.
std::string peerOf(const boost::asio::ip::tcp::socket& socket);

} // namespace cimhost

#endif
