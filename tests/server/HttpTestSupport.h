// A loopback cimhost serving a small schema without providers, and a raw-socket client that
// can send anything, for the tests of the HTTP side.
#ifndef CIMHOST_TESTS_HttpTestSupport_h
#define CIMHOST_TESTS_HttpTestSupport_h

#include <gtest/gtest.h>

#include <errno.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "CimHttpServer.h"
#include "MofCompiler.h"
#include "ProviderRegistry.h"

namespace httptest
{

inline const char TEST_MOF[] = R"(
class Test_Element
{
    [Key] string Name;
    [Key] uint32 Slot;
    uint32 Ping([IN] string Text);
};
)";

inline std::string message(const std::string& id, const std::string& call)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE "
           "ID=\"" +
           id + "\" PROTOCOLVERSION=\"1.0\"><SIMPLEREQ>" + call + "</SIMPLEREQ></MESSAGE></CIM>";
}

inline const char NAMESPACE_PATH[] =
    "<LOCALNAMESPACEPATH><NAMESPACE NAME=\"root\"/><NAMESPACE NAME=\"test\"/></LOCALNAMESPACEPATH>";

inline std::string intrinsicCall(const std::string& method, const std::string& params,
                                 const std::string& id = "1001")
{
    return message(id, "<IMETHODCALL NAME=\"" + method + "\">" + NAMESPACE_PATH + params + "</IMETHODCALL>");
}

inline std::string getClass(const std::string& id = "1001")
{
    return intrinsicCall(
        "GetClass", "<IPARAMVALUE NAME=\"ClassName\"><CLASSNAME NAME=\"Test_Element\"/></IPARAMVALUE>", id);
}

inline const char PING_ON_INSTANCE[] =
    "<METHODCALL NAME=\"Ping\"><LOCALINSTANCEPATH><LOCALNAMESPACEPATH><NAMESPACE NAME=\"root\"/><NAMESPACE "
    "NAME=\"test\"/></LOCALNAMESPACEPATH><INSTANCENAME CLASSNAME=\"Test_Element\"><KEYBINDING "
    "NAME=\"Name\"><KEYVALUE "
    "VALUETYPE=\"string\">a b</KEYVALUE></KEYBINDING><KEYBINDING NAME=\"Slot\"><KEYVALUE "
    "VALUETYPE=\"numeric\">7</KEYVALUE></KEYBINDING></INSTANCENAME></LOCALINSTANCEPATH><PARAMVALUE "
    "NAME=\"Text\"><VALUE>hi</VALUE></PARAMVALUE></METHODCALL>";

using Headers = std::map<std::string, std::string>;

inline Headers cimHeaders(const std::string& method = "GetClass", const std::string& object = "root%2Ftest")
{
    return {{"Content-Type", "application/xml; charset=\"utf-8\""},
            {"CIMOperation", "MethodCall"},
            {"CIMMethod", method},
            {"CIMObject", object},
            {"CIMProtocolVersion", "1.0"}};
}

inline std::string request(const std::string& body, const Headers& headers,
                           const std::string& method = "POST", const std::string& path = "/cimom")
{
    std::string text = method + " " + path + " HTTP/1.1\r\nHost: localhost\r\n";
    for (const auto& header : headers)
        text += header.first + ": " + header.second + "\r\n";
    return text + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

struct Reply
{
    int status = 0;
    cimhost::HeaderMap headers; // case-insensitive names
    std::string body;

    std::string header(const std::string& name) const
    {
        const auto found = headers.find(name);
        return found == headers.end() ? "<none>" : found->second;
    }
};

// A client over a plain socket, so that requests can be malformed at will.
class Connection
{
public:
    explicit Connection(int port) : _socket(::socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        timeval timeout{10, 0};
        ::setsockopt(_socket, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
        _connected = ::connect(_socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    }
    ~Connection() { ::close(_socket); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool connected() const { return _connected; }
    void send(const std::string& data)
    {
        ASSERT_EQ(::send(_socket, data.data(), data.size(), MSG_NOSIGNAL), ssize_t(data.size()));
    }

    // The next response; status 0 when the server closed the connection instead.
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
        const size_t length =
            std::stoul(reply.header("Content-Length") == "<none>" ? "0" : reply.header("Content-Length"));
        while (_pending.size() < length)
            if (!fill()) break;
        reply.body = _pending.substr(0, length);
        _pending.erase(0, std::min(length, _pending.size()));
        return reply;
    }

    Reply exchange(const std::string& data)
    {
        send(data);
        return receive();
    }

    bool closedByServer() { return _pending.empty() && !fill(); }

    // Reads whatever the server still sends (kept in pending()) until it closes the connection;
    // false when it is still open after the receive timeout.
    bool closesAfterAnything()
    {
        for (;;)
        {
            char buffer[4096];
            const ssize_t received = ::recv(_socket, buffer, sizeof(buffer), 0);
            if (received == 0) return true;
            if (received < 0) return errno == ECONNRESET;
            _pending.append(buffer, static_cast<size_t>(received));
        }
    }
    const std::string& pending() const { return _pending; }

private:
    bool fill()
    {
        char buffer[4096];
        const ssize_t received = ::recv(_socket, buffer, sizeof(buffer), 0);
        if (received <= 0) return false;
        _pending.append(buffer, static_cast<size_t>(received));
        return true;
    }

    int _socket;
    bool _connected = false;
    std::string _pending;
};

// A server with its own schema, dispatcher and serving thread.
class RunningServer
{
public:
    static cimhost::HttpServerOptions defaultOptions()
    {
        cimhost::HttpServerOptions options;
        options.port = cimhost::ANY_PORT;
        options.transport.workers = 4;
        options.transport.maxRequestBytes = 64 * 1024;
        return options;
    }

    explicit RunningServer(const cimhost::HttpServerOptions& options = defaultOptions())
        : _registry(loadSchema(_repository)), _providers(_registry, SCS_LIBRARY_DIR),
          _dispatcher(_repository, _providers)
    {
        _server = std::make_unique<cimhost::CimHttpServer>(options, _dispatcher);
        port = _server->bind().http;
        _serving = std::thread([this] { _server->serve(); });
    }
    ~RunningServer() { stop(); }

    void stop()
    {
        _server->stop();
        if (_serving.joinable()) _serving.join();
    }

    int port = 0;

private:
    static cimhost::ProviderRegistry loadSchema(cimhost::ClassRepository& repository)
    {
        cimhost::MofCompiler compiler(repository);
        compiler.compileFile(SCS_SCHEMA_DIR "/root-snia/qualifiers.mof", "root/test");
        compiler.compileText(TEST_MOF, "test.mof", "root/test");
        return cimhost::ProviderRegistry::fromRepository(repository);
    }

    cimhost::ClassRepository _repository;
    cimhost::ProviderRegistry _registry;
    cimhost::ProviderManager _providers;
    cimhost::Dispatcher _dispatcher;
    std::unique_ptr<cimhost::CimHttpServer> _server;
    std::thread _serving;
};

} // namespace httptest

#endif
