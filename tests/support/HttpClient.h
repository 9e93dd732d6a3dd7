// A blocking HTTP/1.1 client over a plain loopback socket, so that requests can be malformed at
// will and answers are read in the order they come, and the CIM-XML envelope of a request.
// Shared by the host's transport tests and the stress tests.
#ifndef TESTS_SUPPORT_HttpClient_h
#define TESTS_SUPPORT_HttpClient_h

#include <errno.h>
#include <netinet/in.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>

namespace testhttp
{

struct Reply
{
    struct NameLess
    {
        bool operator()(const std::string& a, const std::string& b) const
        {
            return strcasecmp(a.c_str(), b.c_str()) < 0;
        }
    };
    int status = 0; // 0: the server closed the connection or did not answer in time
    std::map<std::string, std::string, NameLess> headers;
    std::string body;
    // A chunked answer: its trailer fields, and whether its last chunk came (if not, body holds
    // the chunks that did).
    bool chunked = false;
    bool complete = true;
    std::map<std::string, std::string, NameLess> trailers;

    std::string header(const std::string& name) const
    {
        const auto found = headers.find(name);
        return found == headers.end() ? "<none>" : found->second;
    }
};

class Connection
{
public:
    explicit Connection(int port, int timeoutSeconds = 10) : _socket(::socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        timeval timeout{timeoutSeconds, 0};
        ::setsockopt(_socket, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
        _connected = ::connect(_socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    }
    ~Connection() { ::close(_socket); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool connected() const { return _connected; }
    bool send(const std::string& data)
    {
        return ::send(_socket, data.data(), data.size(), MSG_NOSIGNAL) == ssize_t(data.size());
    }

    // The next response, its body read by Content-Length or in chunks.
    Reply receive()
    {
        Reply reply;
        size_t end;
        while ((end = _pending.find("\r\n\r\n")) == std::string::npos)
            if (!fill()) return reply;
        std::istringstream head(_pending.substr(0, end));
        _pending.erase(0, end + 4);
        std::string line;
        std::getline(head, line);
        reply.status = std::atoi(line.substr(9, 3).c_str());
        while (std::getline(head, line))
        {
            const auto colon = line.find(':');
            std::string value = line.substr(colon + 1);
            value.erase(0, value.find_first_not_of(' '));
            if (!value.empty() && value.back() == '\r') value.pop_back();
            reply.headers.emplace(line.substr(0, colon), value);
        }
        if (strcasecmp(reply.header("Transfer-Encoding").c_str(), "chunked") == 0)
        {
            readChunks(reply);
            return reply;
        }
        const size_t length = std::strtoul(reply.header("Content-Length").c_str(), nullptr, 10);
        while (_pending.size() < length)
            if (!fill()) return Reply();
        reply.body = _pending.substr(0, length);
        _pending.erase(0, length);
        return reply;
    }

    Reply exchange(const std::string& data) { return send(data) ? receive() : Reply(); }

    bool closedByServer() { return _pending.empty() && !fill(); }

    // Reads whatever the server still sends (kept in pending()) until it closes the connection;
    // false when it is still open after the receive timeout.
    bool closesAfterAnything()
    {
        while (fill())
            ;
        return _closed;
    }
    const std::string& pending() const { return _pending; }

private:
    // The line at the front of what was received, without its CRLF; false when the server closed first.
    bool takeLine(std::string& line)
    {
        size_t end;
        while ((end = _pending.find("\r\n")) == std::string::npos)
            if (!fill()) return false;
        line = _pending.substr(0, end);
        _pending.erase(0, end + 2);
        return true;
    }

    void readChunks(Reply& reply)
    {
        reply.chunked = true;
        reply.complete = false;
        std::string line;
        while (takeLine(line))
        {
            const size_t size = std::strtoul(line.c_str(), nullptr, 16);
            if (size == 0)
            {
                while (takeLine(line) && !line.empty())
                {
                    const auto colon = line.find(':');
                    std::string value = line.substr(colon + 1);
                    value.erase(0, value.find_first_not_of(' '));
                    reply.trailers.emplace(line.substr(0, colon), value);
                }
                reply.complete = line.empty();
                return;
            }
            while (_pending.size() < size + 2)
                if (!fill()) return;
            reply.body += _pending.substr(0, size);
            _pending.erase(0, size + 2);
        }
    }

    bool fill()
    {
        char buffer[4096];
        const ssize_t received = ::recv(_socket, buffer, sizeof(buffer), 0);
        _closed = received == 0 || (received < 0 && errno == ECONNRESET);
        if (received <= 0) return false;
        _pending.append(buffer, static_cast<size_t>(received));
        return true;
    }

    int _socket;
    bool _connected = false, _closed = false;
    std::string _pending;
};

using Headers = std::map<std::string, std::string>;

// A request: method, path, the header lines given and the body's Content-Length.
inline std::string request(const std::string& body, const Headers& headers,
                           const std::string& method = "POST", const std::string& path = "/cimom")
{
    std::string text = method + " " + path + " HTTP/1.1\r\nHost: localhost\r\n";
    for (const auto& header : headers)
        text += header.first + ": " + header.second + "\r\n";
    return text + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

// A CIM-XML request body around one call.
inline std::string message(const std::string& id, const std::string& call)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE "
           "ID=\"" +
           id + "\" PROTOCOLVERSION=\"1.0\"><SIMPLEREQ>" + call + "</SIMPLEREQ></MESSAGE></CIM>";
}

// LOCALNAMESPACEPATH of "root/<name>".
inline std::string localNamespace(const std::string& name)
{
    return "<LOCALNAMESPACEPATH><NAMESPACE NAME=\"root\"/><NAMESPACE NAME=\"" + name +
           "\"/></LOCALNAMESPACEPATH>";
}

} // namespace testhttp

#endif
