// Where scsctl watch listens (--listen ADDR[:PORT]) and the URL the server is to deliver to.
#ifndef SCSCTL_ListenAddress_h
#define SCSCTL_ListenAddress_h

#include <string>

namespace scsctl
{

struct ListenAddress
{
    std::string host;        // an IP address; empty: the one the server sees scsctl at
    unsigned short port = 0; // 0: any free port
};

// "ADDR", "ADDR:PORT", ":PORT", "[V6ADDR]:PORT" or a bare IPv6 address. A port that is no number
// from 1 to 65535 is a usage Failure.
ListenAddress parseListenAddress(const std::string& text);

// Whether the address stands for every interface (0.0.0.0, ::): no address a server can send to.
bool isAnyAddress(const std::string& host);

// "http://127.0.0.1:5990", "http://[::1]:5990".
std::string listenerUrl(const std::string& host, unsigned short port);

} // namespace scsctl

#endif
