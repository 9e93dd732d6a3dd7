// The transport against clients that hold connections open, send too much or too little, or
// arrive while the host stops: each is answered or closed by its limit, and a normal client is
// served meanwhile.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <vector>

#include "HttpTestSupport.h"
#include "HttpTransport.h"

namespace
{

using namespace httptest;
using Clock = std::chrono::steady_clock;

const std::string HEAD_START = "POST /cimom HTTP/1.1\r\nHost: localhost\r\nContent-Type: appl";

cimhost::HttpServerOptions withLimits(std::chrono::milliseconds timeout, size_t maxConnections)
{
    cimhost::HttpServerOptions options = RunningServer::defaultOptions();
    options.transport.headerTimeout = timeout;
    options.transport.bodyTimeout = timeout;
    options.transport.idleTimeout = timeout;
    options.transport.maxConnections = maxConnections;
    return options;
}

// Client and server sockets of the test share this process's descriptor limit.
bool raiseDescriptorLimit(rlim_t wanted)
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return false;
    if (limit.rlim_cur >= wanted) return true;
    limit.rlim_cur = std::min(wanted, limit.rlim_max);
    return ::setrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur >= wanted;
}

std::vector<std::unique_ptr<Connection>> connections(int port, size_t count)
{
    std::vector<std::unique_ptr<Connection>> open;
    for (size_t i = 0; i < count; ++i)
        open.push_back(std::make_unique<Connection>(port));
    return open;
}

TEST(TransportLimitsTest, ServesANormalClientWhileHundredsOfConnectionsStallThenClosesThem)
{
    if (!raiseDescriptorLimit(2500)) GTEST_SKIP() << "needs 2,500 file descriptors";
    RunningServer server(withLimits(std::chrono::seconds(2), 1100));
    testing::internal::CaptureStderr();
    auto halfHeads = connections(server.port, 500);
    for (auto& connection : halfHeads)
        connection->send(HEAD_START);
    auto keptAlive = connections(server.port, 500);
    for (auto& connection : keptAlive)
        ASSERT_EQ(connection->exchange(request(getClass(), cimHeaders())).status, 200);

    // The best of three, so that one scheduling hiccup of a loaded machine does not count. A
    // transport that the stalled connections starve answers only once their 2 s run out.
    auto best = Clock::duration::max();
    for (int i = 0; i < 3; ++i)
    {
        Connection normal(server.port);
        const auto start = Clock::now();
        EXPECT_EQ(normal.exchange(request(getClass(), cimHeaders())).status, 200);
        best = std::min(best, Clock::now() - start);
    }
    EXPECT_LT(best, std::chrono::seconds(1));

    // Then the header timeout answers the stalled heads 408 and the idle timeout closes the rest.
    for (auto& connection : halfHeads)
    {
        ASSERT_TRUE(connection->closesAfterAnything());
        EXPECT_EQ(connection->pending().rfind("HTTP/1.1 408", 0), 0u) << connection->pending();
    }
    for (auto& connection : keptAlive)
        ASSERT_TRUE(connection->closesAfterAnything());
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find(" - - HTTP 408 "), std::string::npos);
}

TEST(TransportLimitsTest, AnswersConnectionsBeyondTheLimitWith503AndClosesThem)
{
    RunningServer server(withLimits(std::chrono::seconds(5), 3));
    auto open = connections(server.port, 3);
    for (auto& connection : open)
        ASSERT_EQ(connection->exchange(request(getClass(), cimHeaders())).status, 200);
    Connection refused(server.port);
    EXPECT_EQ(refused.receive().status, 503);
    EXPECT_TRUE(refused.closesAfterAnything());

    // A closed connection frees its place.
    open.pop_back();
    int status = 0;
    for (int attempt = 0; attempt < 100 && status != 200; ++attempt)
    {
        Connection next(server.port);
        status = next.exchange(request(getClass(), cimHeaders())).status;
        if (status != 200) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(status, 200);
}

TEST(TransportLimitsTest, JudgesTheHeadBeforeAnyBodyIsSent)
{
    RunningServer server(withLimits(std::chrono::seconds(5), 100));
    const std::string head = "POST /cimom HTTP/1.1\r\nHost: localhost\r\nContent-Type: application/xml\r\n";
    const struct
    {
        std::string extra;
        int status;
    } cases[] = {
        {"Content-Length: 99999999999999999999999\r\n", 400},
        {"Content-Length: 100000\r\nExpect: 100-continue\r\n", 413}, // no 100 first
    };
    for (const auto& c : cases)
    {
        Connection client(server.port);
        EXPECT_EQ(client.exchange(head + c.extra + "\r\n").status, c.status) << c.extra.substr(0, 40);
        EXPECT_TRUE(client.closesAfterAnything()) << c.extra.substr(0, 40);
    }

    // A client that waits for 100 Continue gets it, then the answer.
    Connection client(server.port);
    std::string expecting = request(getClass(), cimHeaders());
    const size_t bodyStart = expecting.find("\r\n\r\n") + 4;
    client.send(expecting.substr(0, bodyStart - 2) + "Expect: 100-continue\r\n\r\n");
    EXPECT_EQ(client.receive().status, 100);
    client.send(expecting.substr(bodyStart));
    EXPECT_EQ(client.receive().status, 200);
}

TEST(TransportLimitsTest, AStopAnswersARequestThatArrivesMeanwhileWith503)
{
    RunningServer server;
    Connection idle(server.port);
    auto late = std::make_unique<Connection>(server.port);
    const std::string whole = request(getClass(), cimHeaders());
    late->send(whole.substr(0, 30));
    ASSERT_EQ(idle.exchange(whole).status, 200);

    auto stopped = std::async(std::launch::async, [&] { server.stop(); });
    EXPECT_TRUE(idle.closesAfterAnything()); // an idle connection is closed at once
    late->send(whole.substr(30));
    const Reply reply = late->receive();
    EXPECT_EQ(reply.status, 503);
    EXPECT_EQ(reply.header("Connection"), "close");
    late.reset(); // the host lingers on a connection it refused until the client goes
    stopped.wait();
}

// A service whose requests to /hang stay in it until released; any other target is answered.
class HangingService : public cimhost::HttpService
{
public:
    cimhost::Admission screen(const cimhost::HttpRequest&) const override { return cimhost::Admission::admit(); }
    cimhost::Admission authorize(const cimhost::HttpRequest&) const override
    {
        return cimhost::Admission::admit();
    }
    cimhost::HttpAnswer serve(const cimhost::HttpRequest& request) const override
    {
        std::unique_lock<std::mutex> lock(_mutex);
        if (request.target == "/hang")
        {
            ++_hanging;
            _changed.notify_all();
            _changed.wait(lock, [this] { return _released; });
        }
        cimhost::HttpAnswer answer;
        answer.contentType = "text/plain";
        answer.body = "served";
        return answer;
    }
    bool awaitHanging(int count) const
    {
        std::unique_lock<std::mutex> lock(_mutex);
        return _changed.wait_for(lock, std::chrono::seconds(10), [&] { return _hanging == count; });
    }
    void release() const
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _released = true;
        _changed.notify_all();
    }

private:
    mutable std::mutex _mutex;
    mutable std::condition_variable _changed;
    mutable int _hanging = 0;
    mutable bool _released = false;
};

// The first request hangs on the I/O thread that read it, the next on a worker: the others are
// still read and served meanwhile, the stop gives up on both at the request timeout, and the
// transport is torn down once they come back.
TEST(TransportLimitsTest, ServesOthersWhileRequestsHangAndStopGivesUpOnThemAtTheTimeout)
{
    HangingService service;
    cimhost::TransportOptions options;
    options.listeners.push_back(cimhost::ListenerOptions());
    options.workers = 2;
    options.requestTimeout = std::chrono::milliseconds(200);
    auto transport = std::make_unique<cimhost::HttpTransport>(options, service);
    const int port = transport->bind().at(0);
    auto serving = std::async(std::launch::async, [&] { return transport->serve(); });

    Connection first(port);
    ASSERT_TRUE(first.send(request("", {}, "POST", "/hang")));
    ASSERT_TRUE(service.awaitHanging(1));
    Connection second(port), other(port);
    ASSERT_TRUE(second.send(request("", {}, "POST", "/hang")));
    ASSERT_TRUE(service.awaitHanging(2));
    const Reply reply = other.exchange(request("", {}, "POST", "/other"));
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body, "served");

    testing::internal::CaptureStderr();
    transport->stop();
    ASSERT_EQ(serving.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_FALSE(serving.get()); // requests were still in the service
    service.release();
    transport.reset();
    testing::internal::GetCapturedStderr();
}

} // namespace
