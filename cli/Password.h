// The password for --user: SCSCTL_PASSWORD, or asked on the terminal without echo.
#ifndef SCSCTL_Password_h
#define SCSCTL_Password_h

#include <string>

namespace scsctl
{

// Throws Failure(ExitNoContact) when there is neither the variable nor a terminal to ask on.
std::string passwordFor(const std::string& user);

} // namespace scsctl

#endif
