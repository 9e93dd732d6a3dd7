// The access log: one line per request on standard error, written with one system call so that
// lines of concurrent requests never interleave.
#ifndef CIMHOST_AccessLog_h
#define CIMHOST_AccessLog_h

#include <chrono>
#include <string>

namespace cimhost
{

struct AccessRecord
{
    std::string peer;      // "address:port"
    std::string operation; // intrinsic method name, "CallMethod", or "-"
    std::string object;    // class, Class.Method, or "-"
    std::string outcome;   // "0", a CIM status code, "HTTP nnn", or "TLS"
    std::string reason;    // why a request or connection was refused; empty otherwise
    std::chrono::microseconds elapsed{0};
    std::string user; // the authenticated user; empty without authentication or before it
};

// "<peer> <operation> <object> <outcome> <elapsed>us[ user=<user>][ <reason>]"
std::string formatAccessLine(const AccessRecord& record);
void writeAccessLine(const AccessRecord& record);
// A request or connection refused before anything was answered: "<peer> - - <outcome> ...".
void writeRefusalLine(const std::string& peer, const std::string& outcome, const std::string& reason,
                      std::chrono::steady_clock::time_point start);

} // namespace cimhost

#endif
