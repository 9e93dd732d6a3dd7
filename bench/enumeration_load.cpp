// Load of whole enumerations on a CIM-XML server, each connection on a thread of its own: pulled
// (OpenEnumerateInstances, then PullInstancesWithPath until EndOfSequence) or classic
// (EnumerateInstances). wrk does the same for the classic form at little cost, but a pull needs
// the EnumerationContext of each answer, and wrk hands every answer whole to Lua: megabytes of
// Lua strings an answer, whose page faults took a third of a core on two cores shared with the
// server. This client reads answers through a fixed buffer and keeps only their last bytes, where
// the pull parameters are.
// enumeration_load PORT CONNECTIONS SECONDS CLASS CHUNK|classic
// prints: enumerations E answers A seconds S
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http.hpp>

#include "CimMessages.h"
#include "RequestEncoder.h"

namespace asio = boost::asio;
namespace http = boost::beast::http;

namespace
{

struct Load
{
    unsigned short port = 0;
    std::string className;
    std::string chunk; // empty: classic
    std::chrono::steady_clock::time_point deadline;
};

cimhost::IParam textParam(const char* name, const std::string& value)
{
    cimhost::IParam param;
    param.name = name;
    param.value.kind = cimhost::IParamValue::Text;
    param.value.text = value;
    return param;
}

// The request's CIM-XML, as the codec writes it for scsctl.
std::string call(const char* method, std::vector<cimhost::IParam> parameters)
{
    cimhost::CimRequest request;
    request.messageId = "1";
    request.methodName = method;
    request.nameSpace = Pegasus::CIMNamespaceName("root/snia");
    request.iparams = std::move(parameters);
    return cimhost::encodeRequest(request);
}

class Connection
{
public:
    explicit Connection(const Load& load) : load_(load), socket_(io_)
    {
        socket_.connect({asio::ip::make_address("127.0.0.1"), load.port});
        socket_.set_option(asio::ip::tcp::no_delay(true));
        buffer_.reserve(piece_.size()); // Beast reads as much as the buffer has room for
    }

    // The answer's last bytes; throws on a transport failure or an HTTP status other than 200.
    std::string exchange(const std::string& method, const std::string& body)
    {
        http::request<http::string_body> request{http::verb::post, "/cimom", 11};
        request.set(http::field::host, "127.0.0.1");
        request.set(http::field::content_type, "application/xml; charset=\"utf-8\"");
        request.set("CIMOperation", "MethodCall");
        request.set("CIMMethod", method);
        request.set("CIMObject", "root%2Fsnia");
        request.body() = body;
        request.prepare_payload();
        http::write(socket_, request);

        http::response_parser<http::buffer_body> parser;
        // No limit; not boost::none, which Boost 1.74 compares with a Content-Length as the least value.
        parser.body_limit(std::numeric_limits<std::uint64_t>::max());
        http::read_header(socket_, buffer_, parser);
        if (parser.get().result() != http::status::ok)
            throw std::runtime_error("HTTP status " + std::to_string(parser.get().result_int()));
        std::string tail;
        while (!parser.is_done())
        {
            parser.get().body().data = piece_.data();
            parser.get().body().size = piece_.size();
            boost::system::error_code failure;
            http::read(socket_, buffer_, parser, failure);
            if (failure && failure != http::error::need_buffer) throw boost::system::system_error(failure);
            tail.append(piece_.data(), piece_.size() - parser.get().body().size);
            if (tail.size() > 2 * kTail) tail.erase(0, tail.size() - kTail);
        }
        return tail;
    }

private:
    static constexpr std::size_t kTail = 1024;
    const Load& load_;
    asio::io_context io_;
    asio::ip::tcp::socket socket_;
    boost::beast::flat_buffer buffer_;
    std::vector<char> piece_ = std::vector<char>(256 * 1024);
};

// The text between `before` and the next '<' in the answer's tail, or "" if it has none.
std::string valueAfter(const std::string& tail, const std::string& before)
{
    const auto at = tail.rfind(before);
    if (at == std::string::npos) return {};
    const auto from = at + before.size();
    return tail.substr(from, tail.find('<', from) - from);
}

void enumerate(const Load& load, std::atomic<long>& enumerations, std::atomic<long>& answers)
{
    Connection connection(load);
    cimhost::IParam className;
    className.name = "ClassName";
    className.value.kind = cimhost::IParamValue::ClassName;
    className.value.className = Pegasus::CIMName(load.className.c_str());
    const std::string classic = call("EnumerateInstances", {className});
    const std::string open =
        call("OpenEnumerateInstances", {className, textParam("MaxObjectCount", load.chunk)});
    while (std::chrono::steady_clock::now() < load.deadline)
    {
        if (load.chunk.empty())
        {
            const auto tail = connection.exchange("EnumerateInstances", classic);
            if (tail.find("<ERROR") != std::string::npos) throw std::runtime_error("CIM error: " + tail);
            ++answers;
            ++enumerations;
            continue;
        }
        auto tail = connection.exchange("OpenEnumerateInstances", open);
        for (;;)
        {
            if (tail.find("<ERROR") != std::string::npos) throw std::runtime_error("CIM error: " + tail);
            ++answers;
            if (valueAfter(tail, "<PARAMVALUE NAME=\"EndOfSequence\" PARAMTYPE=\"boolean\"><VALUE>") ==
                "TRUE")
                break;
            const auto context =
                valueAfter(tail, "<PARAMVALUE NAME=\"EnumerationContext\" PARAMTYPE=\"string\"><VALUE>");
            if (context.empty()) throw std::runtime_error("no EnumerationContext: " + tail);
            tail =
                connection.exchange("PullInstancesWithPath",
                                    call("PullInstancesWithPath", {textParam("EnumerationContext", context),
                                                                   textParam("MaxObjectCount", load.chunk)}));
        }
        ++enumerations;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 6)
    {
        std::cerr << "usage: enumeration_load PORT CONNECTIONS SECONDS CLASS CHUNK|classic\n";
        return 2;
    }
    Load load;
    load.port = static_cast<unsigned short>(std::atoi(argv[1]));
    const int connections = std::atoi(argv[2]);
    const double seconds = std::atof(argv[3]);
    load.className = argv[4];
    if (std::string(argv[5]) != "classic") load.chunk = argv[5];
    const auto start = std::chrono::steady_clock::now();
    load.deadline = start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                std::chrono::duration<double>(seconds));

    std::atomic<long> enumerations{0}, answers{0};
    std::atomic<bool> failed{false};
    std::vector<std::thread> threads;
    for (int i = 0; i < connections; ++i)
        threads.emplace_back(
            [&]
            {
                try
                {
                    enumerate(load, enumerations, answers);
                }
                catch (const std::exception& error)
                {
                    std::cerr << "enumeration_load: " << error.what() << '\n';
                    failed = true;
                }
            });
    for (auto& thread : threads)
        thread.join();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::cout << "enumerations " << enumerations << " answers " << answers << " seconds " << elapsed.count()
              << '\n';
    return failed ? 1 : 0;
}
