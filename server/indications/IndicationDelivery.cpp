#include "IndicationDelivery.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <iostream>
#include <stdexcept>
#include <thread>

#include <boost/asio/ssl/context.hpp>

#include "ExportMessages.h"
#include "ListenerConnection.h"

namespace cimhost
{

namespace
{

// A listener that keeps failing is logged now and then, not once an indication.
const std::chrono::seconds LOSS_LOG_INTERVAL(10);

std::unique_ptr<boost::asio::ssl::context> clientTlsContext(const std::string& certificateAuthorities)
{
    namespace ssl = boost::asio::ssl;
    auto context = std::make_unique<ssl::context>(ssl::context::tls_client);
    context->set_options(ssl::context::default_workarounds | ssl::context::no_sslv2 | ssl::context::no_sslv3 |
                         ssl::context::no_tlsv1 | ssl::context::no_tlsv1_1);
    if (certificateAuthorities.empty())
    {
        context->set_verify_mode(ssl::verify_none);
        return context;
    }
    boost::system::error_code error;
    context->load_verify_file(certificateAuthorities, error);
    if (error)
        throw std::runtime_error("cannot read the listeners' certificate authorities " +
                                 certificateAuthorities + ": " + error.message());
    context->set_verify_mode(ssl::verify_peer);
    return context;
}

} // namespace

class IndicationDelivery::Channel
{
public:
    Channel(std::string name, const ListenerUrl& url, const DeliverySettings& settings,
            boost::asio::ssl::context* tls, const GaveUp& gaveUp)
        : _name(std::move(name)), _url(url.text), _settings(settings), _gaveUp(gaveUp),
          _connection(url, tls, settings.timeout)
    {
    }

    void start()
    {
        _thread = std::thread([this] { run(); });
    }

    void push(std::shared_ptr<const std::string> indication)
    {
        bool dropped = false;
        {
            std::lock_guard<std::mutex> lock(_mutex);
            if (_ending) return;
            _queue.push_back(std::move(indication));
            if (_queue.size() > _settings.queueLimit)
            {
                _queue.pop_front();
                dropped = true;
            }
        }
        _wake.notify_one();
        if (dropped)
            lose(QueueFull, 1, "its queue is full (" + std::to_string(_settings.queueLimit) + " waiting)");
    }

    // Ends the thread soon; what is queued is dropped, and counted lost when countLosses.
    void end(bool countLosses, const std::string& why)
    {
        size_t dropped = 0;
        {
            std::lock_guard<std::mutex> lock(_mutex);
            if (_ending) return;
            _ending = true;
            dropped = _queue.size() + (_inFlight ? 1 : 0); // the one under way is cancelled
            _queue.clear();
        }
        _wake.notify_one();
        _connection.cancel();
        if (countLosses && dropped != 0) lose(Ended, dropped, why);
    }

    void join()
    {
        if (_thread.joinable()) _thread.join();
    }

    bool finished() const { return _finished; }

    DeliveryCounts counts() const
    {
        DeliveryCounts counts;
        counts.delivered = _delivered;
        counts.retried = _retried;
        counts.lost = _lost;
        std::lock_guard<std::mutex> lock(_mutex);
        counts.queued = _queue.size() + (_inFlight ? 1 : 0);
        return counts;
    }

private:
    void run()
    {
        for (;;)
        {
            std::shared_ptr<const std::string> indication;
            {
                std::unique_lock<std::mutex> lock(_mutex);
                _wake.wait(lock, [this] { return _ending || !_queue.empty(); });
                if (_ending) break;
                indication = std::move(_queue.front());
                _queue.pop_front();
                _inFlight = true;
            }
            deliver(*indication);
            std::lock_guard<std::mutex> lock(_mutex);
            _inFlight = false;
        }
        _finished = true;
    }

    void deliver(const std::string& indication)
    {
        const std::string document = encodeExportIndication(std::to_string(++_messageID), indication);
        for (unsigned attempt = 0;; ++attempt)
        {
            const ExportResult result = _connection.exportIndication(document);
            if (result.outcome == ExportResult::Delivered)
            {
                ++_delivered;
                return;
            }
            if (ending()) return; // cancelled: counted with the queue
            if (result.outcome == ExportResult::Refused)
            {
                lose(Refused, 1, result.reason);
                return;
            }
            if (attempt == _settings.retryAttempts)
            {
                lose(GivenUp, 1, result.reason + ", after " + std::to_string(attempt + 1) + " tries");
                if (_gaveUp) _gaveUp(_name);
                return;
            }
            std::unique_lock<std::mutex> lock(_mutex);
            if (_wake.wait_for(lock, _settings.retryInterval, [this] { return _ending; }))
                return; // ended: counted with the queue
            ++_retried;
        }
    }

    bool ending() const
    {
        std::lock_guard<std::mutex> lock(_mutex);
        return _ending;
    }

    enum LossKind
    {
        QueueFull,
        Refused,
        GivenUp,
        Ended,
        LOSS_KINDS
    };

    // Counts, and logs each kind of loss at most every LOSS_LOG_INTERVAL.
    void lose(LossKind kind, std::uint64_t count, const std::string& why)
    {
        const std::uint64_t lost = _lost += count;
        std::lock_guard<std::mutex> lock(_logMutex);
        const auto now = std::chrono::steady_clock::now();
        if (_logged[kind] && now - _lastLog[kind] < LOSS_LOG_INTERVAL) return;
        std::cerr << "cimhost: indications for listener " << _url << " lost: " << why << "; " << lost
                  << " lost so far" << std::endl;
        _lastLog[kind] = now;
        _logged[kind] = true;
    }

    const std::string _name;
    const std::string _url;
    const DeliverySettings& _settings;
    const GaveUp& _gaveUp;
    ListenerConnection _connection;
    std::thread _thread;
    std::atomic<bool> _finished{false};
    std::uint64_t _messageID = 0; // the thread's own

    mutable std::mutex _mutex;
    std::condition_variable _wake;
    std::deque<std::shared_ptr<const std::string>> _queue;
    bool _inFlight = false;
    bool _ending = false;

    std::atomic<std::uint64_t> _delivered{0}, _retried{0}, _lost{0};
    std::mutex _logMutex;
    std::chrono::steady_clock::time_point _lastLog[LOSS_KINDS];
    bool _logged[LOSS_KINDS] = {};
};

namespace
{

void add(DeliveryCounts& total, const DeliveryCounts& counts)
{
    total.delivered += counts.delivered;
    total.retried += counts.retried;
    total.lost += counts.lost;
    total.queued += counts.queued;
}

} // namespace

IndicationDelivery::IndicationDelivery(DeliverySettings settings, GaveUp gaveUp)
    : _settings(std::move(settings)), _gaveUp(std::move(gaveUp)),
      _tls(clientTlsContext(_settings.certificateAuthorities))
{
}

IndicationDelivery::~IndicationDelivery()
{
    stop();
}

void IndicationDelivery::send(const std::string& destination, const ListenerUrl& url,
                              std::shared_ptr<const std::string> indicationElement)
{
    std::shared_ptr<Channel> channel;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        if (_stopped) return;
        auto found = _channels.find(destination);
        if (found == _channels.end())
        {
            channel = std::make_shared<Channel>(destination, url, _settings, _tls.get(), _gaveUp);
            channel->start();
            _channels.emplace(destination, channel);
        }
        else
            channel = found->second;
    }
    channel->push(std::move(indicationElement));
}

void IndicationDelivery::remove(const std::string& destination)
{
    std::shared_ptr<Channel> channel;
    std::vector<std::shared_ptr<Channel>> finished;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        auto found = _channels.find(destination);
        if (found == _channels.end()) return;
        channel = found->second;
        _channels.erase(found);
        _retired.push_back(channel);
        reapFinished(finished);
    }
    channel->end(false, std::string());
    for (const std::shared_ptr<Channel>& done : finished)
        done->join();
}

// Moves out the retired channels whose threads have ended (joined by the caller, outside the lock).
void IndicationDelivery::reapFinished(std::vector<std::shared_ptr<Channel>>& finished)
{
    for (auto it = _retired.begin(); it != _retired.end();)
    {
        if ((*it)->finished())
        {
            add(_retiredCounts, (*it)->counts());
            finished.push_back(std::move(*it));
            it = _retired.erase(it);
        }
        else
            ++it;
    }
}

DeliveryCounts IndicationDelivery::counts(const std::string& destination) const
{
    std::lock_guard<std::mutex> lock(_mutex);
    auto found = _channels.find(destination);
    return found == _channels.end() ? DeliveryCounts() : found->second->counts();
}

DeliveryCounts IndicationDelivery::totals() const
{
    std::lock_guard<std::mutex> lock(_mutex);
    DeliveryCounts total = _retiredCounts;
    for (const auto& [name, channel] : _channels)
        add(total, channel->counts());
    for (const std::shared_ptr<Channel>& channel : _retired)
        add(total, channel->counts());
    return total;
}

void IndicationDelivery::stop()
{
    std::vector<std::shared_ptr<Channel>> channels;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        if (_stopped) return;
        _stopped = true;
        for (auto& [name, channel] : _channels)
            channels.push_back(channel);
        channels.insert(channels.end(), _retired.begin(), _retired.end());
    }
    for (const std::shared_ptr<Channel>& channel : channels)
        channel->end(true, "the host is stopping");
    for (const std::shared_ptr<Channel>& channel : channels)
        channel->join();
}

} // namespace cimhost
