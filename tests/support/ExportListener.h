// A CIM-XML listener for tests: an HTTP/1.1 server on loopback that takes ExportIndication
// requests (kept-alive connections or not), decodes them with the codec and answers as a listener
// does. It can be stopped and started again on the same port, to play a listener that goes away.
#ifndef TESTS_SUPPORT_ExportListener_h
#define TESTS_SUPPORT_ExportListener_h

#include <netinet/in.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ExportMessages.h"
#include "RequestDecoder.h"

namespace testhttp
{

struct Received
{
    std::chrono::system_clock::time_point at; // when its body had arrived
    std::string cimExport, cimExportMethod;   // the request's headers
    cimhost::ExportedIndication exported;
};

class ExportListener
{
public:
    // decode: false takes each request's message ID only, as a listener that only counts would.
    explicit ExportListener(bool decode = true) : _decode(decode) { start(0); }
    ~ExportListener() { stop(); }
    ExportListener(const ExportListener&) = delete;
    ExportListener& operator=(const ExportListener&) = delete;

    int port() const { return _port; }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(_port) + "/"; }

    // Listens (again) on the port given, or a free one for 0.
    void start(int port)
    {
        _socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int yes = 1;
        ::setsockopt(_socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(_socket, 64) != 0)
            throw std::runtime_error("the test listener cannot listen on port " + std::to_string(port));
        socklen_t length = sizeof address;
        ::getsockname(_socket, reinterpret_cast<sockaddr*>(&address), &length);
        _port = ntohs(address.sin_port);
        _stopped = false;
        _acceptor = std::thread([this] { acceptLoop(); });
    }

    // Closes the listening socket and every connection: the host finds nobody there.
    void stop()
    {
        {
            std::lock_guard<std::mutex> lock(_mutex);
            if (_stopped) return;
            _stopped = true;
            for (int connection : _connections)
                ::shutdown(connection, SHUT_RDWR);
        }
        ::shutdown(_socket, SHUT_RDWR);
        ::close(_socket);
        _acceptor.join();
        for (std::thread& thread : _threads)
            thread.join();
        _threads.clear();
    }

    // Waits until `done` holds for what was received, up to the deadline; what was received.
    std::vector<Received> waitFor(const std::function<bool(const std::vector<Received>&)>& done,
                                  std::chrono::seconds deadline = std::chrono::seconds(60))
    {
        std::unique_lock<std::mutex> lock(_mutex);
        _arrived.wait_for(lock, deadline, [&] { return done(_received); });
        return _received;
    }
    std::vector<Received> received()
    {
        std::lock_guard<std::mutex> lock(_mutex);
        return _received;
    }
    // The next n requests are answered 503, as by a listener that is overloaded.
    void failNext(size_t n)
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _toFail = n;
    }
    // The message IDs of the requests answered 503, in order.
    std::vector<std::string> failed()
    {
        std::lock_guard<std::mutex> lock(_mutex);
        return _failed;
    }

private:
    void acceptLoop()
    {
        for (;;)
        {
            const int connection = ::accept4(_socket, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection < 0) return;
            std::lock_guard<std::mutex> lock(_mutex);
            if (_stopped)
            {
                ::close(connection);
                return;
            }
            _connections.push_back(connection);
            _threads.emplace_back([this, connection] { serve(connection); });
        }
    }

    // Requests one after another on one connection, until the peer closes it.
    void serve(int connection)
    {
        std::string buffer;
        char chunk[65536];
        for (;;)
        {
            size_t headerEnd;
            while ((headerEnd = buffer.find("\r\n\r\n")) == std::string::npos)
            {
                const ssize_t got = ::recv(connection, chunk, sizeof chunk, 0);
                if (got <= 0) return finish(connection);
                buffer.append(chunk, size_t(got));
            }
            const std::string head = buffer.substr(0, headerEnd + 2);
            const size_t length = std::stoul(header(head, "Content-Length", "0"));
            while (buffer.size() < headerEnd + 4 + length)
            {
                const ssize_t got = ::recv(connection, chunk, sizeof chunk, 0);
                if (got <= 0) return finish(connection);
                buffer.append(chunk, size_t(got));
            }
            const std::string body = buffer.substr(headerEnd + 4, length);
            buffer.erase(0, headerEnd + 4 + length);

            Received received;
            received.at = std::chrono::system_clock::now();
            received.cimExport = header(head, "CIMExport", "");
            received.cimExportMethod = header(head, "CIMExportMethod", "");
            std::string answer;
            try
            {
                if (_decode)
                    received.exported = cimhost::decodeExportIndication(body);
                else
                {
                    const size_t id = body.find("ID=\"") + 4;
                    received.exported.messageID = body.substr(id, body.find('"', id) - id);
                }
                answer = cimhost::encodeExportResponse(received.exported.messageID);
            }
            catch (const cimhost::CimXmlError& e)
            {
                answer = cimhost::encodeExportResponse("0", Pegasus::CIM_ERR_FAILED, e.what());
            }
            bool fail = false;
            {
                std::lock_guard<std::mutex> lock(_mutex);
                fail = _toFail != 0;
                if (fail)
                {
                    --_toFail;
                    _failed.push_back(received.exported.messageID);
                }
                else
                    _received.push_back(std::move(received));
            }
            _arrived.notify_all();
            const std::string reply =
                fail ? std::string("HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\n\r\n")
                     : "HTTP/1.1 200 OK\r\nContent-Type: application/xml; charset=\"utf-8\"\r\n"
                       "CIMExport: MethodResponse\r\nContent-Length: " +
                           std::to_string(answer.size()) + "\r\n\r\n" + answer;
            if (::send(connection, reply.data(), reply.size(), MSG_NOSIGNAL) != ssize_t(reply.size()))
                return finish(connection);
        }
    }

    void finish(int connection)
    {
        std::lock_guard<std::mutex> lock(_mutex);
        for (auto it = _connections.begin(); it != _connections.end(); ++it)
            if (*it == connection)
            {
                _connections.erase(it);
                break;
            }
        ::close(connection);
    }

    static std::string header(const std::string& head, const std::string& name, const std::string& fallback)
    {
        size_t at = 0;
        while ((at = head.find("\r\n", at)) != std::string::npos)
        {
            at += 2;
            if (head.size() > at + name.size() &&
                ::strncasecmp(head.c_str() + at, name.c_str(), name.size()) == 0 &&
                head[at + name.size()] == ':')
            {
                const size_t start = head.find_first_not_of(' ', at + name.size() + 1);
                return head.substr(start, head.find("\r\n", start) - start);
            }
        }
        return fallback;
    }

    const bool _decode = true;
    int _socket = -1;
    int _port = 0;
    std::thread _acceptor;
    std::vector<std::thread> _threads;
    std::mutex _mutex;
    std::condition_variable _arrived;
    bool _stopped = true;
    std::vector<int> _connections;
    std::vector<Received> _received;
    size_t _toFail = 0;
    std::vector<std::string> _failed;
};

} // namespace testhttp

#endif
