// A CIM server on loopback for scsctl's client tests: it answers each request with the next canned
// body (whole, in chunks, or closing the connection after it) and notes what was asked (the
// CIMMethod and CIMObject headers and the body).
#ifndef SCSCTL_TESTS_CannedServer_h
#define SCSCTL_TESTS_CannedServer_h

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CannedServer
{
public:
    enum class Answers
    {
        Whole,
        // With chunked transfer coding; a body starting with CUT_SHORT goes without its last
        // chunk, and the connection closes. One starting with LATE_ERROR ends, for a client that
        // takes trailers, with CIMStatusCode 1 and LATE_ERROR_TEXT in them, as cimhost ends an
        // answer that failed after its first chunk; for other clients it is cut short.
        Chunked,
        // Each closing its connection: for clients that hold two connections at once (this
        // server serves one connection at a time).
        WholeThenClose
    };
    static constexpr char CUT_SHORT[] = "CUT-SHORT:";
    static constexpr char LATE_ERROR[] = "LATE-ERROR:";
    static constexpr char LATE_ERROR_TEXT[] = "the provider failed after the first chunk";

    explicit CannedServer(std::deque<std::string> bodies, Answers answers = Answers::Whole)
        : _bodies(std::move(bodies)), _answers(answers)
    {
        _listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(_listener, 4);
        socklen_t length = sizeof address;
        ::getsockname(_listener, reinterpret_cast<sockaddr*>(&address), &length);
        _port = ntohs(address.sin_port);
        _thread = std::thread([this] { serve(); });
    }
    ~CannedServer()
    {
        ::shutdown(_listener, SHUT_RDWR);
        ::close(_listener);
        _thread.join();
    }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(_port); }
    std::vector<std::string> methods()
    {
        std::lock_guard<std::mutex> lock(_mutex);
        return _methods;
    }
    // The CIMObject header of each request (the namespace, for intrinsic operations), URI-decoded.
    std::vector<std::string> objects()
    {
        std::lock_guard<std::mutex> lock(_mutex);
        return _objects;
    }
    // Returns once this many requests have come (the client runs in another thread).
    void awaitRequests(size_t count)
    {
        std::unique_lock<std::mutex> lock(_mutex);
        _arrived.wait(lock, [&] { return _methods.size() >= count; });
    }
    std::vector<std::string> bodies()
    {
        std::lock_guard<std::mutex> lock(_mutex);
        return _requests;
    }

private:
    void serve()
    {
        for (int connection; (connection = ::accept(_listener, nullptr, nullptr)) >= 0; ::close(connection))
            while (answer(connection))
            {
            }
    }
    // One request read and answered; false when the client closed or nothing is left to answer.
    bool answer(int connection)
    {
        std::string input;
        char buffer[4096];
        size_t headEnd;
        while ((headEnd = input.find("\r\n\r\n")) == std::string::npos)
        {
            const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
            if (got <= 0) return false;
            input.append(buffer, size_t(got));
        }
        const std::string head = input.substr(0, headEnd);
        const size_t length = std::stoul(headerValue(head, "content-length"));
        while (input.size() < headEnd + 4 + length)
        {
            const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
            if (got <= 0) return false;
            input.append(buffer, size_t(got));
        }
        std::string body;
        {
            std::lock_guard<std::mutex> lock(_mutex);
            _methods.push_back(headerValue(head, "cimmethod"));
            _objects.push_back(uriDecoded(headerValue(head, "cimobject")));
            _requests.push_back(input.substr(headEnd + 4, length));
            _arrived.notify_all();
            if (_bodies.empty()) return false;
            body = _bodies.front();
            _bodies.pop_front();
        }
        const bool closing = _answers == Answers::WholeThenClose;
        const std::string status = "HTTP/1.1 200 OK\r\nContent-Type: application/xml; charset=\"utf-8\"\r\n"
                                   "CIMOperation: MethodResponse\r\n" +
                                   std::string(closing ? "Connection: close\r\n" : "");
        std::string reply = status + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
        const bool lateError = body.rfind(LATE_ERROR, 0) == 0;
        const bool trailers = headerValue(head, "te").find("trailers") != std::string::npos;
        const bool cut = body.rfind(CUT_SHORT, 0) == 0 || (lateError && !trailers);
        if (_answers == Answers::Chunked)
        {
            if (body.rfind(CUT_SHORT, 0) == 0) body.erase(0, sizeof CUT_SHORT - 1);
            if (lateError) body.erase(0, sizeof LATE_ERROR - 1);
            reply = status + "Transfer-Encoding: chunked\r\n\r\n";
            for (size_t at = 0; at < body.size(); at += 100)
            {
                const std::string piece = body.substr(at, 100);
                char size[16];
                std::snprintf(size, sizeof size, "%zx\r\n", piece.size());
                reply += size + piece + "\r\n";
            }
            if (lateError && trailers)
                reply += std::string("0\r\nCIMStatusCode: 1\r\nCIMStatusCodeDescription: ") +
                         LATE_ERROR_TEXT + "\r\n\r\n";
            else if (!cut)
                reply += "0\r\n\r\n";
        }
        return ::send(connection, reply.data(), reply.size(), MSG_NOSIGNAL) == ssize_t(reply.size()) &&
               !cut && !closing;
    }
    static std::string headerValue(const std::string& head, const std::string& lowerName)
    {
        std::string lower = head;
        for (char& c : lower)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        const size_t at = lower.find("\r\n" + lowerName + ":");
        if (at == std::string::npos) return "0";
        const size_t start = head.find_first_not_of(' ', at + lowerName.size() + 3);
        return head.substr(start, head.find("\r\n", start) - start);
    }

    static std::string uriDecoded(const std::string& text)
    {
        std::string out;
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] == '%' && i + 2 < text.size())
            {
                out += char(std::stoi(text.substr(i + 1, 2), nullptr, 16));
                i += 2;
            }
            else
                out += text[i];
        return out;
    }

    int _listener = -1;
    int _port = 0;
    std::thread _thread;
    std::mutex _mutex;
    std::condition_variable _arrived;
    std::deque<std::string> _bodies;
    Answers _answers;
    std::vector<std::string> _methods;
    std::vector<std::string> _objects;
    std::vector<std::string> _requests;
};

#endif
