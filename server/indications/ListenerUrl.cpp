#include "ListenerUrl.h"

#include <cctype>

namespace cimhost
{

namespace
{

bool startsWithIgnoringCase(const std::string& text, const char* prefix)
{
    size_t i = 0;
    for (; prefix[i] != '\0'; ++i)
        if (i >= text.size() || std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

bool isHostNameCharacter(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_';
}

} // namespace

ListenerUrl parseListenerUrl(const std::string& text)
{
    ListenerUrl url;
    url.text = text;
    for (char c : text)
        if (static_cast<unsigned char>(c) <= ' ' || c == 0x7f)
            throw ListenerUrlError("a listener URL holds no spaces or control characters");
    size_t at = 0;
    if (startsWithIgnoringCase(text, "http://"))
        at = 7;
    else if (startsWithIgnoringCase(text, "https://"))
    {
        url.https = true;
        at = 8;
    }
    else
        throw ListenerUrlError("a listener URL starts with http:// or https://");

    const size_t authorityEnd = text.find_first_of("/?#", at);
    const std::string authority =
        text.substr(at, authorityEnd == std::string::npos ? std::string::npos : authorityEnd - at);
    if (authority.find('@') != std::string::npos)
        throw ListenerUrlError("a listener URL carries no user name or password");
    size_t portAt = std::string::npos;
    if (!authority.empty() && authority[0] == '[')
    {
        const size_t close = authority.find(']');
        if (close == std::string::npos)
            throw ListenerUrlError("the IPv6 address of a listener URL lacks its ']'");
        url.host = authority.substr(1, close - 1);
        if (url.host.empty() || url.host.find_first_not_of("0123456789abcdefABCDEF:.") != std::string::npos)
            throw ListenerUrlError("'" + url.host + "' is not an IPv6 address");
        if (close + 1 < authority.size())
        {
            if (authority[close + 1] != ':') throw ListenerUrlError("expected ':' and a port after ']'");
            portAt = close + 2;
        }
    }
    else
    {
        const size_t colon = authority.find(':');
        url.host = authority.substr(0, colon);
        if (colon != std::string::npos) portAt = colon + 1;
        for (char c : url.host)
            if (!isHostNameCharacter(c))
                throw ListenerUrlError("'" + url.host + "' is not a host name or IPv4 address");
    }
    if (url.host.empty()) throw ListenerUrlError("a listener URL names a host");

    if (portAt == std::string::npos)
        url.port = url.https ? "443" : "80";
    else
    {
        url.port = authority.substr(portAt);
        if (url.port.empty() || url.port.size() > 5 ||
            url.port.find_first_not_of("0123456789") != std::string::npos || std::stoul(url.port) == 0 ||
            std::stoul(url.port) > 65535)
            throw ListenerUrlError("'" + url.port + "' is not a port from 1 to 65535");
    }

    url.target = authorityEnd == std::string::npos ? "/" : text.substr(authorityEnd);
    const size_t fragment = url.target.find('#');
    if (fragment != std::string::npos) url.target.erase(fragment);
    if (url.target.empty() || url.target[0] != '/') url.target.insert(0, "/");
    return url;
}

} // namespace cimhost
