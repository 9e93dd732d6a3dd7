#include "CimHttpServer.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <thread>

#include <sys/socket.h>

#include "AccessLog.h"
#include "CimOperationExchange.h"
#include "HttpConnectionServer.h"
#include "ProviderManager.h"

namespace cimhost
{
namespace
{

const char OPERATION_PATH[] = "/cimom";

// Content-Length as declared: -1 when absent, -2 when not a number.
long long declaredLength(const httplib::Request& request)
{
    if (!request.has_header("Content-Length")) return -1;
    const std::string value = request.get_header_value("Content-Length");
    if (value.empty() || value.size() > 18 || value.find_first_not_of("0123456789") != std::string::npos)
        return -2;
    return std::stoll(value);
}

ExchangeState& exchange()
{
    // Handlers run only inside HttpConnectionServer's request processing, which sets it.
    return *HttpConnectionServer::currentExchange();
}

void answerFault(httplib::Response& response, int status)
{
    ExchangeState& state = exchange();
    state.answered = true;
    state.outcome = "HTTP " + std::to_string(status);
    response.status = status;
}

} // namespace

struct CimHttpServer::Impl
{
    Impl(const HttpServerOptions& options, Dispatcher& dispatcher)
        : options(options), operations(dispatcher, DecoderLimits())
    {
    }

    void configure();
    void handleRequest(const httplib::Request& request, httplib::Response& response,
                       const httplib::ContentReader& content);
    enum class BodyRead
    {
        Complete,
        TooLong,
        Unreadable // a malformed length or chunk, a multipart body, a dropped connection
    };
    BodyRead readBody(const httplib::Request& request, const httplib::ContentReader& content,
                      std::string& body);

    HttpServerOptions options;
    CimOperationExchange operations;
    HttpConnectionServer server;
    std::atomic<bool> stopRequested{false};
    std::atomic<bool> serving{false};
};

void CimHttpServer::Impl::configure()
{
    const size_t threads = options.threads == 0 ? 1 : options.threads;
    server.new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
    server.set_payload_max_length(options.maxRequestBytes);
    server.set_keep_alive_max_count(100);
    // httplib's default also sets SO_REUSEPORT, which would let a second host share the port.
    server.set_socket_options(
        [](socket_t socket)
        {
            const int yes = 1;
            ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
        });

    server.set_pre_routing_handler(
        [this](const httplib::Request& request, httplib::Response& response)
        {
            if (request.method == "POST" && !server.stopping())
                return httplib::Server::HandlerResponse::Unhandled;
            if (server.stopping())
            {
                answerFault(response, 503);
            }
            else
            {
                answerFault(response, 405);
                response.set_header("Allow", "POST, M-POST");
            }
            exchange().closeAfterAnswer(); // whatever body it has stays unread
            return httplib::Server::HandlerResponse::Handled;
        });
    // A client that waits for "100 Continue" learns of an over-long body before sending it.
    server.set_expect_100_continue_handler(
        [this](const httplib::Request& request, httplib::Response& response)
        {
            if (declaredLength(request) <= static_cast<long long>(options.maxRequestBytes)) return 100;
            answerFault(response, 413);
            exchange().closeAfterAnswer();
            return 413;
        });
    server.Post(".*",
                [this](const httplib::Request& request, httplib::Response& response,
                       const httplib::ContentReader& content) { handleRequest(request, response, content); });
    // Faults httplib answers itself (a request line or header it cannot parse, a body it could
    // not read) leave the connection at an unknown position: it is closed.
    server.set_error_handler(httplib::Server::HandlerWithResponse(
        [](const httplib::Request&, httplib::Response&)
        {
            ExchangeState* state = HttpConnectionServer::currentExchange();
            if (state && !state->answered) state->closeAfterAnswer();
            return httplib::Server::HandlerResponse::Unhandled;
        }));
    server.set_exception_handler(
        [](const httplib::Request&, httplib::Response& response, std::exception_ptr)
        {
            answerFault(response, 500);
            exchange().closeAfterAnswer();
        });
    server.set_logger(
        [](const httplib::Request&, const httplib::Response& response)
        {
            ExchangeState* state = HttpConnectionServer::currentExchange();
            if (!state) return;
            AccessRecord record;
            record.peer = state->peer;
            record.operation = state->operation;
            record.object = state->object;
            record.outcome =
                state->outcome.empty() ? "HTTP " + std::to_string(response.status) : state->outcome;
            record.elapsed = std::chrono::duration_cast<std::chrono::microseconds>(
                std::chrono::steady_clock::now() - state->start);
            writeAccessLine(record);
        });
}

CimHttpServer::Impl::BodyRead CimHttpServer::Impl::readBody(const httplib::Request& request,
                                                            const httplib::ContentReader& content,
                                                            std::string& body)
{
    const long long length = declaredLength(request);
    if (length == -2) return BodyRead::Unreadable;
    if (length > static_cast<long long>(options.maxRequestBytes)) return BodyRead::TooLong; // not a byte read
    // httplib reads a multipart body only into form fields; no CIM request is one.
    if (request.is_multipart_form_data()) return BodyRead::Unreadable;
    bool tooLong = false;
    const bool complete = content(
        [&](const char* data, size_t size)
        {
            if (body.size() + size > options.maxRequestBytes)
            {
                tooLong = true; // a chunked body has no length to check up front
                return false;
            }
            body.append(data, size);
            return true;
        });
    return complete ? BodyRead::Complete : tooLong ? BodyRead::TooLong : BodyRead::Unreadable;
}

void CimHttpServer::Impl::handleRequest(const httplib::Request& request, httplib::Response& response,
                                        const httplib::ContentReader& content)
{
    std::string body;
    const BodyRead read = readBody(request, content, body);
    ExchangeState& state = exchange();
    if (request.path != OPERATION_PATH || read != BodyRead::Complete)
    {
        answerFault(response, request.path != OPERATION_PATH ? 404 : read == BodyRead::TooLong ? 413 : 400);
        // What is left of an unread body would be taken for the next request.
        if (read != BodyRead::Complete) state.closeAfterAnswer();
        return;
    }
    HttpAnswer answer = operations.handle(request.headers, body, state.extendedMethod, state.start);
    state.answered = true;
    state.operation = answer.operation;
    state.object = answer.object;
    state.outcome = answer.outcome;
    response.status = answer.status;
    for (const auto& header : answer.headers)
        response.set_header(header.first.c_str(), header.second);
    if (!answer.contentType.empty()) response.set_content(std::move(answer.body), answer.contentType.c_str());
}

CimHttpServer::CimHttpServer(const HttpServerOptions& options, Dispatcher& dispatcher)
    : _impl(std::make_unique<Impl>(options, dispatcher))
{
    _impl->configure();
}

CimHttpServer::~CimHttpServer()
{
    stop();
}

int CimHttpServer::bind()
{
    HttpConnectionServer& server = _impl->server;
    const std::string& address = _impl->options.bindAddress;
    const int requested = _impl->options.port;
    errno = 0;
    const int port = requested == 0 ? server.bind_to_any_port(address)
                                    : (server.bind_to_port(address, requested) ? requested : -1);
    if (port <= 0)
    {
        const int error = errno;
        throw StartupError("cannot listen on " + address + ":" + std::to_string(requested) +
                           (error != 0 ? std::string(": ") + std::strerror(error) : std::string()));
    }
    return port;
}

void CimHttpServer::serve()
{
    _impl->serving = true;
    if (!_impl->stopRequested) _impl->server.listen_after_bind();
    _impl->serving = false;
}

void CimHttpServer::stop()
{
    _impl->stopRequested = true;
    // httplib ignores a stop that comes before its accept loop runs; wait for one or the other.
    while (_impl->serving && !_impl->server.is_running())
        std::this_thread::yield();
    _impl->server.stop();
}

} // namespace cimhost
