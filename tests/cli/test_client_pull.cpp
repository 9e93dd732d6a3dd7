// scsctl's enumerations against a canned server on loopback: pulled in chunks where the server
// offers the pull operations, the classic request (from then on) where it answers
// CIM_ERR_NOT_SUPPORTED, and classic answers sent in chunks as cimhost sends long ones. The
// answers are encoded by the host's own encoder.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "CimClient.h"
#include "Failures.h"
#include "ResponseEncoder.h"

using namespace Pegasus;
using cimhost::CimResponse;

namespace
{

// Answers each request on loopback with the next canned body, and notes the CIMMethod asked for.
class CannedServer
{
public:
    // chunked: the bodies go with chunked transfer coding; one starting with CUT_SHORT goes
    // without its last chunk, and the connection closes.
    explicit CannedServer(std::deque<std::string> bodies, bool chunked = false)
        : _bodies(std::move(bodies)), _chunked(chunked)
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
            if (_bodies.empty()) return false;
            body = _bodies.front();
            _bodies.pop_front();
        }
        const std::string status = "HTTP/1.1 200 OK\r\nContent-Type: application/xml; charset=\"utf-8\"\r\n"
                                   "CIMOperation: MethodResponse\r\n";
        std::string reply = status + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
        const bool cut = body.rfind(CUT_SHORT, 0) == 0;
        if (_chunked)
        {
            if (cut) body.erase(0, sizeof CUT_SHORT - 1);
            reply = status + "Transfer-Encoding: chunked\r\n\r\n";
            for (size_t at = 0; at < body.size(); at += 100)
            {
                const std::string piece = body.substr(at, 100);
                char size[16];
                std::snprintf(size, sizeof size, "%zx\r\n", piece.size());
                reply += size + piece + "\r\n";
            }
            if (!cut) reply += "0\r\n\r\n";
        }
        return ::send(connection, reply.data(), reply.size(), MSG_NOSIGNAL) == ssize_t(reply.size()) && !cut;
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

    int _listener = -1;
    int _port = 0;
    std::thread _thread;
    std::mutex _mutex;
    std::deque<std::string> _bodies;
    bool _chunked;
    std::vector<std::string> _methods;

public:
    static constexpr char CUT_SHORT[] = "CUT-SHORT:";
};

CIMInstance volume(const char* id)
{
    CIMInstance instance(CIMName("CIM_StorageVolume"));
    instance.addProperty(CIMProperty(CIMName("DeviceID"), CIMValue(String(id))));
    const std::string path = std::string("//array/root/snia:CIM_StorageVolume.DeviceID=\"") + id + "\"";
    instance.setPath(CIMObjectPath(String(path.c_str())));
    return instance;
}

std::string answer(const char* method, CimResponse::ReturnKind kind, std::vector<const char*> ids,
                   bool pulled = false, bool end = true, const std::string& context = "")
{
    CimResponse response;
    response.messageId = "1";
    response.methodName = method;
    response.returnKind = kind;
    response.isPull = pulled;
    response.endOfSequence = end;
    response.enumerationContext = context;
    for (const char* id : ids)
        response.instances.append(volume(id));
    return cimhost::encodeResponse(response);
}

std::vector<std::string> pathsOf(const Array<CIMInstance>& instances)
{
    std::vector<std::string> paths;
    for (Uint32 i = 0; i < instances.size(); ++i)
        paths.push_back(std::string(instances[i].getPath().toString().getCString()));
    return paths;
}

scsctl::ConnectionOptions options(const std::string& url)
{
    scsctl::ConnectionOptions result;
    result.endpoint = scsctl::Endpoint::parse(url);
    return result;
}

} // namespace

TEST(ClientPull, EnumerationsArePulledInChunksAndNamedAsClassicAnswersNameThem)
{
    CannedServer server(
        {answer("OpenEnumerateInstances", CimResponse::InstancesWithPath, {"V1", "V2"}, true, false, "ctx-1"),
         answer("PullInstancesWithPath", CimResponse::InstancesWithPath, {"V3"}, true)});
    scsctl::CimClient client(options(server.url()), "root/snia");
    EXPECT_EQ(
        (std::vector<std::string>{"CIM_StorageVolume.DeviceID=\"V1\"", "CIM_StorageVolume.DeviceID=\"V2\"",
                                  "CIM_StorageVolume.DeviceID=\"V3\""}),
        pathsOf(client.enumerateInstances("CIM_StorageVolume")));
    EXPECT_EQ((std::vector<std::string>{"OpenEnumerateInstances", "PullInstancesWithPath"}),
              server.methods());
}

TEST(ClientPull, AServerWithoutPullOperationsGetsTheClassicRequestFromThenOn)
{
    CimResponse notSupported;
    notSupported.methodName = "OpenEnumerateInstances";
    notSupported.messageId = "1";
    notSupported.isError = true;
    notSupported.errorCode = CIM_ERR_NOT_SUPPORTED;
    CannedServer server({cimhost::encodeResponse(notSupported),
                         answer("EnumerateInstances", CimResponse::NamedInstances, {"V1"}),
                         answer("EnumerateInstances", CimResponse::NamedInstances, {"V2"})});
    scsctl::CimClient client(options(server.url()), "root/snia");
    EXPECT_EQ((std::vector<std::string>{"CIM_StorageVolume.DeviceID=\"V1\""}),
              pathsOf(client.enumerateInstances("CIM_StorageVolume")));
    EXPECT_EQ((std::vector<std::string>{"CIM_StorageVolume.DeviceID=\"V2\""}),
              pathsOf(client.enumerateInstances("CIM_StorageVolume")));
    EXPECT_EQ(
        (std::vector<std::string>{"OpenEnumerateInstances", "EnumerateInstances", "EnumerateInstances"}),
        server.methods());
}

TEST(ClientPull, AClassicAnswerInChunksReadsAsWholeAndACutOneFails)
{
    CimResponse notSupported;
    notSupported.methodName = "OpenEnumerateInstances";
    notSupported.messageId = "1";
    notSupported.isError = true;
    notSupported.errorCode = CIM_ERR_NOT_SUPPORTED;
    CannedServer server({cimhost::encodeResponse(notSupported),
                         answer("EnumerateInstances", CimResponse::NamedInstances, {"V1", "V2", "V3"}),
                         CannedServer::CUT_SHORT +
                             answer("EnumerateInstances", CimResponse::NamedInstances, {"V4", "V5", "V6"})},
                        true);
    scsctl::CimClient client(options(server.url()), "root/snia");
    EXPECT_EQ(
        (std::vector<std::string>{"CIM_StorageVolume.DeviceID=\"V1\"", "CIM_StorageVolume.DeviceID=\"V2\"",
                                  "CIM_StorageVolume.DeviceID=\"V3\""}),
        pathsOf(client.enumerateInstances("CIM_StorageVolume")));
    EXPECT_THROW(client.enumerateInstances("CIM_StorageVolume"), scsctl::Failure);
}
