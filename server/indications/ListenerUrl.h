// The URL of a CIM-XML listener (CIM_ListenerDestinationCIMXML.Destination):
// http://host[:port][/path] or https://..., the host a name, an IPv4 address or an [IPv6] one.
#ifndef CIMHOST_ListenerUrl_h
#define CIMHOST_ListenerUrl_h

#include <stdexcept>
#include <string>

namespace cimhost
{

class ListenerUrlError : public std::invalid_argument
{
public:
    using std::invalid_argument::invalid_argument;
};

struct ListenerUrl
{
    bool https = false;
    std::string host;   // without the brackets of an IPv6 address
    std::string port;   // 80 or 443 when the URL names none
    std::string target; // the path and query; "/" when the URL has none
    std::string text;   // the URL as given
};

// Throws ListenerUrlError saying what is wrong.
ListenerUrl parseListenerUrl(const std::string& text);

} // namespace cimhost

#endif
