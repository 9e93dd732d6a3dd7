// Delivers indications to listener destinations: per destination in order, over a connection of
// its own run by a thread of its own, so that a slow or dead listener holds nothing but that
// thread and its queue. An indication a listener does not take is tried again (retryAttempts
// more times, retryInterval apart); a queue over queueLimit drops its oldest waiting indication.
// Whatever is given up is counted and logged.
#ifndef CIMHOST_IndicationDelivery_h
#define CIMHOST_IndicationDelivery_h

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ListenerUrl.h"

namespace boost::asio::ssl
{
class context;
}

namespace cimhost
{

struct DeliverySettings
{
    unsigned retryAttempts = 3;
    std::chrono::milliseconds retryInterval{20000};
    size_t queueLimit = 10000;                // waiting indications per destination
    std::chrono::milliseconds timeout{10000}; // each step of an export: connect, handshake, write, read
    std::string certificateAuthorities;       // PEM file that https listeners' certificates must chain to;
                                              // empty: their certificates are not checked
};

struct DeliveryCounts
{
    std::uint64_t delivered = 0;
    std::uint64_t retried = 0; // tries after a failed one
    std::uint64_t lost = 0;    // dropped from a full queue, refused, or given up after the retries
    std::size_t queued = 0;    // waiting, and the one being tried
};

class IndicationDelivery
{
public:
    // Called (on the destination's thread) when an indication to it was given up after every try.
    using GaveUp = std::function<void(const std::string& destination)>;

    // Throws std::runtime_error when the certificate authorities cannot be read.
    IndicationDelivery(DeliverySettings settings, GaveUp gaveUp);
    ~IndicationDelivery(); // stop()
    IndicationDelivery(const IndicationDelivery&) = delete;
    IndicationDelivery& operator=(const IndicationDelivery&) = delete;

    const DeliverySettings& settings() const { return _settings; }

    // Queues an indication (its encoded INSTANCE element) for the destination, named by any text
    // unique to it. Never waits for the network.
    void send(const std::string& destination, const ListenerUrl& url,
              std::shared_ptr<const std::string> indicationElement);
    // Forgets the destination: what is queued for it is dropped (and counted lost). Never waits
    // for its thread, so the GaveUp callback may call it.
    void remove(const std::string& destination);
    DeliveryCounts counts(const std::string& destination) const;
    DeliveryCounts totals() const;
    // Ends every delivery; what is still queued is lost (and logged). Idempotent.
    void stop();

    class Channel; // one destination's queue, thread and connection

private:
    void reapFinished(std::vector<std::shared_ptr<Channel>>& finished);

    const DeliverySettings _settings;
    const GaveUp _gaveUp;
    std::unique_ptr<boost::asio::ssl::context> _tls;

    mutable std::mutex _mutex;
    bool _stopped = false;
    std::map<std::string, std::shared_ptr<Channel>> _channels;
    std::vector<std::shared_ptr<Channel>> _retired; // removed, their threads not yet joined
    DeliveryCounts _retiredCounts;                  // of channels gone since
};

} // namespace cimhost

#endif
