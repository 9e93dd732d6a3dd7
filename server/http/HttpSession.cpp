#include "HttpSession.h"

#include <cstdio>
#include <optional>
#include <sstream>
#include <type_traits>
#include <utility>

#include <boost/asio/bind_executor.hpp>
#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/ssl/stream.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/stream_traits.hpp>
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/error.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/serializer.hpp>
#include <boost/beast/http/string_body.hpp>
#include <boost/beast/http/write.hpp>
#include <strings.h>

#include "AccessLog.h"
#include "ChunkQueue.h"

namespace cimhost
{

namespace net = boost::asio;
namespace http = boost::beast::http;
using tcp = net::ip::tcp;
using boost::system::error_code;

namespace
{

const char CONTINUE[] = "HTTP/1.1 100 Continue\r\n\r\n";
// After an answer that leaves a body unread, what the client still sends is read and dropped
// for a moment before the socket closes, so that the close does not reset the answer away.
const std::chrono::seconds LINGER_TIME(2);
const size_t LINGER_BYTES = 1024 * 1024;
const std::chrono::steady_clock::time_point NO_DEADLINE = std::chrono::steady_clock::time_point::max();
// A streamed answer's bytes a connection holds before the service waits for the client to take
// them: a few chunks, so that the socket always has the next one at hand.
const size_t STREAM_HELD_BYTES = 256 * 1024;

const boost::system::error_category& httpErrors()
{
    return http::make_error_code(http::error::end_of_stream).category();
}

// The refusal a head that did not parse gets; status 0 when the client is simply gone.
HttpAnswer headFault(const error_code& ec)
{
    if (ec == http::error::header_limit) return HttpAnswer::fault(431, "request head too large");
    if (ec == http::error::body_limit) return HttpAnswer::fault(413, "declared body too large");
    if (ec == http::error::bad_content_length) return HttpAnswer::fault(400, "invalid Content-Length");
    if (ec.category() == httpErrors() && ec != http::error::end_of_stream &&
        ec != http::error::partial_message)
        return HttpAnswer::fault(400, "malformed request head: " + ec.message());
    return HttpAnswer::fault(0, "");
}

HttpAnswer bodyFault(const error_code& ec)
{
    if (ec == http::error::body_limit) return HttpAnswer::fault(413, "body too large");
    if (ec.category() == httpErrors() && ec != http::error::end_of_stream &&
        ec != http::error::partial_message)
        return HttpAnswer::fault(400, "malformed request body: " + ec.message());
    return HttpAnswer::fault(0, "");
}

HttpAnswer internalFault()
{
    HttpAnswer answer = HttpAnswer::fault(500, "internal error in the service");
    answer.closeConnection = true;
    return answer;
}

// Serving must not throw: an exception would end a worker or an I/O thread.
template <class Call, class Result> Result guarded(Call call, Result fallback)
{
    try
    {
        return call();
    }
    catch (...)
    {
        return fallback;
    }
}

template <class Stream> constexpr bool isTls()
{
    return !std::is_same<Stream, tcp::socket>::value;
}

template <class Stream>
class Session : public HttpSession, public std::enable_shared_from_this<Session<Stream>>
{
public:
    template <class... StreamArguments>
    Session(SessionShared& shared, std::string peer, StreamArguments&&... arguments)
        : _shared(shared), _peer(std::move(peer)), _stream(std::forward<StreamArguments>(arguments)...),
          _timer(_stream.get_executor())
    {
    }
    ~Session() override { _shared.remove(this); }

    void start() override
    {
        net::post(_stream.get_executor(), [self = this->shared_from_this()] { self->begin(); });
    }

    void notifyStopping() override
    {
        net::post(_stream.get_executor(),
                  [self = this->shared_from_this()]
                  {
                      if (self->_state == State::Idle) self->interrupt();
                  });
    }

private:
    enum class State
    {
        Handshake,
        Idle, // between requests, nothing of the next one read yet
        Head,
        Body,
        Working, // the service has the request
        Writing,
        Closing
    };
    using Parser = http::request_parser<http::string_body>;

    tcp::socket& socket() { return boost::beast::get_lowest_layer(_stream); }

    // Sets the deadline of the current step; when it passes, the step's operation is cancelled and
    // its handler finds _timedOut set. The timer is moved only when the deadline comes before its
    // present expiry: a later deadline is taken up when the timer fires. So a connection that keeps
    // sending requests resets no timer per request, only about once per timeout.
    void armTimer(std::chrono::steady_clock::duration timeout)
    {
        _timedOut = false;
        _deadline = std::chrono::steady_clock::now() + timeout;
        if (_deadline < _timerExpiry) waitFor(_deadline);
    }

    // The step ended in time. The timer keeps running; when it fires with no deadline, it stops.
    void disarmTimer() { _deadline = NO_DEADLINE; }

    // The connection ends: nothing may keep the session alive.
    void stopTimer()
    {
        _deadline = _timerExpiry = NO_DEADLINE;
        ++_timerGeneration;
        _timer.cancel();
    }

    void waitFor(std::chrono::steady_clock::time_point expiry)
    {
        _timerExpiry = expiry;
        _timer.expires_at(expiry);
        // A wait that had already fired when it was replaced must not act.
        _timer.async_wait(
            [self = this->shared_from_this(), generation = ++_timerGeneration](const error_code& ec)
            {
                if (ec || generation != self->_timerGeneration) return;
                self->onTimer();
            });
    }

    void onTimer()
    {
        _timerExpiry = NO_DEADLINE;
        if (_deadline == NO_DEADLINE) return;
        if (std::chrono::steady_clock::now() < _deadline) return waitFor(_deadline);
        _timedOut = true;
        interrupt();
    }

    void interrupt()
    {
        error_code ignored;
        socket().cancel(ignored);
    }

    void begin()
    {
        if constexpr (isTls<Stream>())
        {
            _state = State::Handshake;
            _start = std::chrono::steady_clock::now();
            armTimer(_shared.options.headerTimeout);
            _stream.async_handshake(net::ssl::stream_base::server,
                                    [self = this->shared_from_this()](const error_code& ec)
                                    { self->onHandshake(ec); });
        }
        else
        {
            // Synchronous writes (after serving) return at once when the socket is full.
            error_code ignored;
            socket().non_blocking(true, ignored);
            readHead();
        }
    }

    void onHandshake(const error_code& ec)
    {
        disarmTimer();
        if (ec)
        {
            // A plain HTTP request on the TLS port ends here too; nothing can be answered.
            writeRefusalLine(_peer, "TLS",
                             _timedOut ? "handshake timeout" : "handshake failed: " + ec.message(), _start);
            return close();
        }
        readHead();
    }

    void newParser()
    {
        _parser.emplace();
        _parser->header_limit(static_cast<std::uint32_t>(_shared.options.maxHeaderBytes));
        _parser->body_limit(_shared.options.maxRequestBytes);
    }

    // The first request of a connection must come within the header timeout; a later one may be
    // awaited for the idle timeout, and then its head must follow within the header timeout.
    void awaitNextRequest()
    {
        if (_buffer.size() > 0 || _shared.stopping)
        {
            // Pipelined, or stopping: what is buffered is taken (to be refused); nothing is awaited.
            if (_buffer.size() == 0) return close();
            return readHead();
        }
        _state = State::Idle;
        armTimer(_shared.options.idleTimeout);
        _stream.async_read_some(_buffer.prepare(4096),
                                [self = this->shared_from_this()](const error_code& ec, size_t received)
                                {
                                    self->disarmTimer();
                                    self->_buffer.commit(received);
                                    if (ec || received == 0)
                                        return self->close(); // idle timeout, stop or gone
                                    self->readHead(true);
                                });
    }

    // afterRead: the buffer was just filled by a read, so what it holds may be parsed at once. A
    // pipelined request left in the buffer goes through the asynchronous read instead, so that a
    // burst of them is served one handler at a time rather than by recursion.
    void readHead(bool afterRead = false)
    {
        _state = State::Head;
        _start = std::chrono::steady_clock::now();
        newParser();
        armTimer(_shared.options.headerTimeout);
        error_code ec;
        if (afterRead && parseBuffered(ec, &Parser::is_header_done)) return onHead(ec);
        http::async_read_header(_stream, _buffer, *_parser,
                                [self = this->shared_from_this()](const error_code& ec, size_t)
                                { self->onHead(ec); });
    }

    // Feeds the parser what the buffer holds until `complete` says it has enough. True when no
    // read is needed: it has enough, or the bytes are malformed (ec says how). A request usually
    // arrives in one read, and parsing it here saves the handler hops of a read that reads nothing.
    bool parseBuffered(error_code& ec, bool (Parser::*complete)() const)
    {
        while (!((*_parser).*complete)())
        {
            if (_buffer.size() == 0) return false;
            const size_t used = _parser->put(_buffer.data(), ec);
            _buffer.consume(used);
            if (ec == http::error::need_more || (!ec && used == 0))
            {
                ec = {};
                return false;
            }
            if (ec) return true;
        }
        return true;
    }

    void onHead(const error_code& ec)
    {
        disarmTimer();
        if (ec)
        {
            if (_timedOut) return refuse(HttpAnswer::fault(408, "request head not complete in time"));
            return refuse(headFault(ec));
        }
        const auto& message = _parser->get();
        _request = HttpRequest();
        _request.method = std::string(message.method_string());
        _request.target = std::string(message.target());
        for (const auto& field : message)
            _request.headers.emplace(std::string(field.name_string()), std::string(field.value()));
        _request.peer = _peer;
        _request.start = _start;
        _keepAlive = message.keep_alive();
        _http11 = message.version() >= 11;

        if (_shared.stopping) return refuse(HttpAnswer::fault(503, "server stopping"));
        Admission admission = _shared.service.screen(_request);
        if (admission.kind == Admission::Authorize)
        {
            return onWorker(
                [self = this->shared_from_this()]
                {
                    return guarded([&] { return self->_shared.service.authorize(self->_request); },
                                   Admission::refuse(internalFault()));
                },
                [self = this->shared_from_this()](Admission verdict)
                { self->onAdmission(std::move(verdict)); },
                false); // password checks are slow by design
        }
        onAdmission(std::move(admission));
    }

    void onAdmission(Admission admission)
    {
        if (admission.kind != Admission::Admit) return refuse(std::move(admission.refusal));
        _request.user = std::move(admission.user);
        const std::string* expect = _request.header("Expect");
        if (expect && ::strcasecmp(expect->c_str(), "100-continue") == 0 && !_parser->is_done())
        {
            _state = State::Writing;
            armTimer(_shared.options.bodyTimeout);
            return net::async_write(_stream, net::buffer(CONTINUE, sizeof(CONTINUE) - 1),
                                    [self = this->shared_from_this()](const error_code& ec, size_t)
                                    {
                                        self->disarmTimer();
                                        if (ec) return self->close();
                                        self->readBody();
                                    });
        }
        readBody();
    }

    void readBody()
    {
        error_code ec;
        if (parseBuffered(ec, &Parser::is_done)) return onBody(ec);
        _state = State::Body;
        armTimer(_shared.options.bodyTimeout);
        http::async_read(_stream, _buffer, *_parser,
                         [self = this->shared_from_this()](const error_code& ec, size_t)
                         { self->onBody(ec); });
    }

    void onBody(const error_code& ec)
    {
        disarmTimer();
        if (ec)
        {
            if (_timedOut) return refuse(HttpAnswer::fault(408, "request body not complete in time"));
            return refuse(bodyFault(ec));
        }
        _request.body = _parser->release().body();
        // A plain connection is answered by the thread that served it: from a worker, the answer
        // reaches the client without waiting for an I/O thread. Nothing else uses the socket
        // meanwhile (no read or timer is armed while the service has the request). What the
        // socket does not take at once is written on the connection's strand. A streamed answer
        // is written on the strand as the service makes it.
        onWorker(
            [self = this->shared_from_this()]
            {
                Served served;
                Streamer streamer(self);
                served.answer =
                    guarded([&] { return self->_shared.service.serveStreamed(self->_request, streamer); },
                            internalFault());
                served.streamed = streamer.begun();
                if (served.streamed)
                {
                    streamer.endIfOpen();
                    return served;
                }
                if constexpr (!isTls<Stream>())
                {
                    served.keepAlive = self->prepareAnswer(std::move(served.answer));
                    http::write(self->socket(), *self->_serializer, served.ec);
                    served.written = true;
                }
                return served;
            },
            [self = this->shared_from_this()](Served served)
            {
                if (served.streamed) return self->onStreamServed(std::move(served.answer));
                if (served.written) return self->onWorkerWrite(served.keepAlive, served.ec);
                self->answer(std::move(served.answer));
            },
            !_shared.service.mayStream(_request));
    }

    // What serving a request came to, on its way from the worker to the connection's strand.
    struct Served
    {
        HttpAnswer answer;
        bool streamed = false; // the answer went through the Streamer; answer only tells the log
        bool written = false;  // a plain connection's answer, written by the worker
        bool keepAlive = false;
        error_code ec;
    };

    // The connection's side of a streamed answer, used by the serving thread.
    class Streamer : public AnswerStream
    {
    public:
        explicit Streamer(std::shared_ptr<Session> session) : _session(std::move(session)) {}

        bool canStream() const override { return _session->_http11; }
        void begin(const HttpAnswer& head) override
        {
            _begun = true;
            _session->beginStream(head);
        }
        bool write(std::string chunk) override
        {
            if (chunk.empty()) return !_session->_chunks->failed();
            char size[24];
            std::snprintf(size, sizeof size, "%zx\r\n", chunk.size());
            std::vector<std::string> pieces;
            pieces.reserve(3);
            pieces.emplace_back(size);
            pieces.push_back(std::move(chunk));
            pieces.emplace_back("\r\n");
            return _session->pushBytes(std::move(pieces));
        }
        void finish(const HeaderFields& trailers) override
        {
            std::string last = "0\r\n";
            for (const auto& field : trailers)
                last += field.first + ": " + field.second + "\r\n";
            last += "\r\n";
            _session->pushBytes({std::move(last)});
            end(true);
        }
        void abort() override { end(false); }

        bool begun() const { return _begun; }
        // A service that began a stream and returned without ending it cut it short.
        void endIfOpen()
        {
            if (!_ended) end(false);
        }

    private:
        void end(bool complete)
        {
            _ended = true;
            bool wake = false;
            _session->_chunks->close(complete, wake);
            if (wake) _session->wakeStreamWriter();
        }

        std::shared_ptr<Session> _session;
        bool _begun = false;
        bool _ended = false;
    };

    // On the serving thread: the head of a chunked answer, queued as its first bytes.
    void beginStream(const HttpAnswer& head)
    {
        _streamKeepAlive = _keepAlive && !head.closeConnection && !_shared.stopping;
        http::response<http::empty_body> response(static_cast<http::status>(head.status), 11);
        for (const auto& header : head.headers)
            response.insert(header.first, header.second);
        if (!head.contentType.empty()) response.set(http::field::content_type, head.contentType);
        response.keep_alive(_streamKeepAlive);
        response.chunked(true);
        std::ostringstream text;
        text << response.base();
        _chunks = std::make_shared<ChunkQueue>(STREAM_HELD_BYTES);
        pushBytes({text.str()});
    }

    // On the serving thread; waits for room at most the body timeout.
    bool pushBytes(std::vector<std::string> pieces)
    {
        bool wake = false;
        const bool pushed = _chunks->push(std::move(pieces), _shared.options.bodyTimeout, wake);
        if (wake) wakeStreamWriter();
        return pushed;
    }

    void wakeStreamWriter()
    {
        net::post(_stream.get_executor(), [self = this->shared_from_this()] { self->writeStreamed(); });
    }

    // On the strand: writes what the queue holds, until it runs dry (the next push wakes this
    // again) or ends.
    void writeStreamed()
    {
        // A wake posted as a cut-short stream ended may come after the connection let it go.
        if (_state == State::Closing || !_chunks) return;
        switch (_chunks->take(_batch))
        {
        case ChunkQueue::Next::Idle:
            return;
        case ChunkQueue::Next::Ended:
            return onStreamWritten();
        case ChunkQueue::Next::Bytes:
            break;
        }
        std::vector<net::const_buffer> buffers;
        size_t bytes = 0;
        for (const std::string& piece : _batch)
        {
            buffers.push_back(net::buffer(piece));
            bytes += piece.size();
        }
        _state = State::Writing;
        armTimer(_shared.options.bodyTimeout);
        net::async_write(_stream, buffers,
                         [self = this->shared_from_this(), bytes](const error_code& ec, size_t)
                         {
                             self->disarmTimer();
                             self->_chunks->written(bytes);
                             if (ec) self->_chunks->fail(); // gone, or took nothing in time
                             self->writeStreamed();
                         });
    }

    // On the strand: everything queued is written (or the client is gone).
    void onStreamWritten()
    {
        _streamWritten = true;
        if (_streamServed) endStreamedRequest();
    }

    // On the strand: the service has returned.
    void onStreamServed(HttpAnswer answer)
    {
        _streamServed = true;
        _streamAnswer = std::move(answer);
        if (_streamWritten) endStreamedRequest();
    }

    void endStreamedRequest()
    {
        const bool complete = _chunks->complete();
        if (!complete && _streamAnswer.reason.empty())
            _streamAnswer.reason = _chunks->failed()
                                       ? "answer cut short: the client left or took nothing in time"
                                       : "answer cut short by an error after its first chunk";
        logAnswer(_streamAnswer);
        _chunks.reset();
        _batch.clear();
        _streamServed = _streamWritten = false;
        // Cut short: the client must see the answer end without its last chunk.
        if (!complete) return close();
        afterWrite(_streamKeepAlive, error_code());
    }

    void onWorkerWrite(bool keepAlive, const error_code& ec)
    {
        if (ec == net::error::would_block || ec == net::error::try_again) return sendPrepared(keepAlive);
        afterWrite(keepAlive, ec);
    }

    // Runs work, then then(result) on this connection's strand: right here when the I/O threads
    // say so (see IoThreads), otherwise on a worker.
    template <class Work, class Then> void onWorker(Work work, Then then, bool mayServeHere = true)
    {
        _state = State::Working;
        const bool othersInService = _shared.requestsInService++ > 0;
        if (mayServeHere && _shared.ioThreads.beginServing(this, othersInService))
        {
            auto result = work(); // guarded: never throws
            --_shared.requestsInService;
            _shared.ioThreads.endServing();
            return then(std::move(result));
        }
        net::post(_shared.workers,
                  [&shared = _shared, work = std::move(work), then = std::move(then),
                   guard = net::make_work_guard(_stream.get_executor())]() mutable
                  {
                      auto result = work(); // guarded: never throws
                      --shared.requestsInService;
                      net::post(guard.get_executor(),
                                [then = std::move(then), result = std::move(result)]() mutable
                                { then(std::move(result)); });
                  });
    }

    // Answers a request refused before its body was read; the connection stays open only when
    // nothing of the request is left unread. Status 0: the client is gone, nothing to answer.
    void refuse(HttpAnswer answer)
    {
        if (answer.status == 0) return close();
        _unreadInput = !_parser || !_parser->is_done();
        if (_unreadInput || answer.status == 503) answer.closeConnection = true;
        if constexpr (isTls<Stream>())
        {
            // A timed-out TLS read leaves the stream in no state to write an answer on.
            if (_timedOut)
            {
                writeRefusalLine(_peer, answer.outcome, answer.reason, _start);
                return close();
            }
        }
        this->answer(std::move(answer));
    }

    void answer(HttpAnswer answer) { sendPrepared(prepareAnswer(std::move(answer))); }

    // Makes the response and its serializer and logs the request; true when the connection stays.
    bool prepareAnswer(HttpAnswer answer)
    {
        const bool keepAlive = _keepAlive && !answer.closeConnection && !_shared.stopping;
        _response.emplace(static_cast<http::status>(answer.status), 11);
        for (auto& header : answer.headers)
            _response->insert(header.first, header.second);
        if (!answer.contentType.empty()) _response->set(http::field::content_type, answer.contentType);
        _response->body() = std::move(answer.body);
        _response->keep_alive(keepAlive);
        _response->prepare_payload();
        logAnswer(answer);
        _serializer.emplace(*_response);
        return keepAlive;
    }

    void logAnswer(const HttpAnswer& answer) const
    {
        AccessRecord record;
        record.peer = _peer;
        record.operation = answer.operation;
        record.object = answer.object;
        record.outcome = answer.outcome.empty() ? "HTTP " + std::to_string(answer.status) : answer.outcome;
        record.reason = answer.reason;
        record.user = _request.user;
        record.elapsed =
            std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - _start);
        writeAccessLine(record);
    }

    // Writes what is left of the prepared response.
    void sendPrepared(bool keepAlive)
    {
        _state = State::Writing;
        armTimer(_shared.options.bodyTimeout);
        http::async_write(_stream, *_serializer,
                          [self = this->shared_from_this(), keepAlive](const error_code& ec, size_t)
                          {
                              self->disarmTimer();
                              self->afterWrite(keepAlive, ec);
                          });
    }

    void afterWrite(bool keepAlive, const error_code& ec)
    {
        _serializer.reset();
        _response.reset();
        if (ec || !keepAlive) return close();
        awaitNextRequest();
    }

    void close()
    {
        if (_state == State::Closing) return;
        const State previous = _state;
        _state = State::Closing;
        if (_chunks) _chunks->fail(); // a service still streaming stops at once
        error_code ignored;
        if constexpr (isTls<Stream>())
        {
            if (_timedOut || previous == State::Handshake)
            {
                stopTimer();
                socket().close(ignored);
                return;
            }
            armTimer(LINGER_TIME);
            _stream.async_shutdown(
                [self = this->shared_from_this()](const error_code&)
                {
                    self->stopTimer();
                    error_code ignored;
                    self->socket().close(ignored);
                });
        }
        else if (!_unreadInput)
        {
            stopTimer();
            socket().shutdown(tcp::socket::shutdown_both, ignored);
            socket().close(ignored);
        }
        else
        {
            socket().shutdown(tcp::socket::shutdown_send, ignored);
            _lingered = 0;
            armTimer(LINGER_TIME);
            drain();
        }
    }

    // Reads and drops what the client still sends until it closes, or for a short while.
    void drain()
    {
        _stream.async_read_some(net::buffer(_scratch),
                                [self = this->shared_from_this()](const error_code& ec, size_t received)
                                {
                                    self->_lingered += received;
                                    if (!ec && self->_lingered < LINGER_BYTES) return self->drain();
                                    self->stopTimer();
                                    error_code ignored;
                                    self->socket().close(ignored);
                                });
    }

    SessionShared& _shared;
    const std::string _peer;
    Stream _stream;
    net::steady_timer _timer;
    boost::beast::flat_buffer _buffer;
    std::optional<Parser> _parser;
    std::optional<http::response<http::string_body>> _response;
    std::optional<http::response_serializer<http::string_body>> _serializer;
    HttpRequest _request;
    State _state = State::Idle;
    bool _timedOut = false;
    bool _unreadInput = false; // a refused request's body (or more) may still be on its way
    unsigned _timerGeneration = 0;
    std::chrono::steady_clock::time_point _deadline = NO_DEADLINE;    // of the current step
    std::chrono::steady_clock::time_point _timerExpiry = NO_DEADLINE; // of the wait in progress
    bool _keepAlive = true;
    bool _http11 = true;
    // The answer being streamed: its bytes on their way, the batch being written, and whether the
    // service has returned and the writer has written all.
    std::shared_ptr<ChunkQueue> _chunks;
    std::vector<std::string> _batch;
    bool _streamKeepAlive = false;
    bool _streamServed = false;
    bool _streamWritten = false;
    HttpAnswer _streamAnswer;
    std::chrono::steady_clock::time_point _start = std::chrono::steady_clock::now();
    char _scratch[4096];
    size_t _lingered = 0;
};

} // namespace

size_t SessionShared::openConnections() const
{
    std::lock_guard<std::mutex> lock(_mutex);
    return _sessions.size();
}

void SessionShared::add(const std::shared_ptr<HttpSession>& session)
{
    std::lock_guard<std::mutex> lock(_mutex);
    _sessions.emplace(session.get(), session);
}

void SessionShared::remove(const HttpSession* session)
{
    std::function<void()> drained;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _sessions.erase(session);
        if (_sessions.empty() && stopping) drained = _drained;
    }
    if (drained) drained();
}

std::vector<std::shared_ptr<HttpSession>> SessionShared::openSessions() const
{
    std::vector<std::shared_ptr<HttpSession>> open;
    std::lock_guard<std::mutex> lock(_mutex);
    for (const auto& entry : _sessions)
        if (auto session = entry.second.lock()) open.push_back(std::move(session));
    return open;
}

void SessionShared::onDrained(std::function<void()> callback)
{
    std::lock_guard<std::mutex> lock(_mutex);
    _drained = std::move(callback);
}

std::string peerOf(const tcp::socket& socket)
{
    error_code ec;
    const tcp::endpoint endpoint = socket.remote_endpoint(ec);
    if (ec) return "-";
    const std::string address = endpoint.address().to_string();
    return (endpoint.address().is_v6() ? "[" + address + "]" : address) + ":" +
           std::to_string(endpoint.port());
}

std::shared_ptr<HttpSession> makePlainSession(tcp::socket socket, SessionShared& shared)
{
    std::string peer = peerOf(socket);
    return std::make_shared<Session<tcp::socket>>(shared, std::move(peer), std::move(socket));
}

std::shared_ptr<HttpSession> makeTlsSession(tcp::socket socket, net::ssl::context& tls, SessionShared& shared)
{
    std::string peer = peerOf(socket);
    return std::make_shared<Session<net::ssl::stream<tcp::socket>>>(shared, std::move(peer),
                                                                    std::move(socket), tls);
}

} // namespace cimhost
