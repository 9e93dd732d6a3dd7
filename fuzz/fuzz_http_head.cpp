// libFuzzer target: what a client sends on a connection, read as the transport reads it
// (HttpSession: Boost.Beast's request parser with the default limits of HttpTransport.h), the
// head screened by the CIM service and a complete request served, over an empty repository.
// Bytes either make a request or are refused by the parser or the service; a crash, an escaping
// exception or a sanitizer report is a bug.
#include <cstddef>
#include <cstdint>
#include <memory>

#include <boost/asio/buffer.hpp>
#include <boost/beast/http/error.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/string_body.hpp>

#include "ClassRepository.h"
#include "CimHttpService.h"
#include "Dispatcher.h"
#include "HttpTransport.h"
#include "ProviderManager.h"
#include "ProviderRegistry.h"

namespace http = boost::beast::http;

namespace
{

struct Host
{
    cimhost::ClassRepository repository;
    cimhost::ProviderRegistry registry = cimhost::ProviderRegistry::fromRepository(repository);
    cimhost::ProviderManager providers{registry, "/nonexistent"};
    cimhost::Dispatcher dispatcher{repository, providers, "fuzzhost"};
    cimhost::CimHttpService service{dispatcher, cimhost::DecoderLimits()};
};

// Feeds the parser as a read does: everything buffered, then what is left after what it took.
// False when the parser refused the bytes or wants more than there are.
bool feed(http::request_parser<http::string_body>& parser, const uint8_t*& data, size_t& size,
          bool (http::request_parser<http::string_body>::*done)() const)
{
    while (!(parser.*done)())
    {
        boost::system::error_code ec;
        const size_t used = parser.put(boost::asio::buffer(data, size), ec);
        data += used;
        size -= used;
        // need_more: what is left was all offered and is not enough, as when the client stops.
        if (ec || used == 0) return (parser.*done)();
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::unique_ptr<Host> host = std::make_unique<Host>();
    const cimhost::TransportOptions options;

    http::request_parser<http::string_body> parser;
    parser.header_limit(static_cast<std::uint32_t>(options.maxHeaderBytes));
    parser.body_limit(options.maxRequestBytes);
    if (!feed(parser, data, size, &http::request_parser<http::string_body>::is_header_done)) return 0;

    const auto& message = parser.get();
    cimhost::HttpRequest request;
    request.method = std::string(message.method_string());
    request.target = std::string(message.target());
    for (const auto& field : message)
        request.headers.emplace(std::string(field.name_string()), std::string(field.value()));
    request.peer = "127.0.0.1:1";
    request.start = std::chrono::steady_clock::now();

    const cimhost::Admission admission = host->service.screen(request);
    if (admission.kind != cimhost::Admission::Admit) return 0;
    if (!feed(parser, data, size, &http::request_parser<http::string_body>::is_done)) return 0;
    request.body = parser.release().body();
    (void)host->service.serve(request);
    return 0;
}
