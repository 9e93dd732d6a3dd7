#include "ListenAddress.h"

#include <boost/asio/ip/address.hpp>

#include "Failures.h"

namespace scsctl
{

namespace
{

unsigned short portNumber(const std::string& text, const std::string& whole)
{
    const bool digits =
        !text.empty() && text.size() <= 5 && text.find_first_not_of("0123456789") == std::string::npos;
    const unsigned long number = digits ? std::stoul(text) : 0;
    if (number == 0 || number > 65535)
        throw Failure(ExitUsage, "--listen " + whole + ": the port must be a number from 1 to 65535");
    return static_cast<unsigned short>(number);
}

} // namespace

ListenAddress parseListenAddress(const std::string& text)
{
    ListenAddress address;
    if (!text.empty() && text.front() == '[')
    {
        const size_t close = text.find(']');
        if (close == std::string::npos)
            throw Failure(ExitUsage, "--listen " + text + ": no ] after the IPv6 address");
        address.host = text.substr(1, close - 1);
        const std::string rest = text.substr(close + 1);
        if (!rest.empty())
        {
            if (rest.front() != ':')
                throw Failure(ExitUsage, "--listen " + text + ": a port follows the ] after a colon");
            address.port = portNumber(rest.substr(1), text);
        }
        return address;
    }
    const size_t colon = text.find(':');
    if (colon != std::string::npos && text.find(':', colon + 1) == std::string::npos)
    {
        address.host = text.substr(0, colon);
        address.port = portNumber(text.substr(colon + 1), text);
    }
    else
        address.host = text; // none, or an IPv6 address without a port
    return address;
}

bool isAnyAddress(const std::string& host)
{
    boost::system::error_code error;
    const auto address = boost::asio::ip::make_address(host, error);
    return !error && address.is_unspecified();
}

std::string listenerUrl(const std::string& host, unsigned short port)
{
    const bool v6 = host.find(':') != std::string::npos;
    return "http://" + (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

} // namespace scsctl
