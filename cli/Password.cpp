#include "Password.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include <termios.h>
#include <unistd.h>

#include "Failures.h"

namespace scsctl
{

std::string passwordFor(const std::string& user)
{
    if (const char* given = std::getenv("SCSCTL_PASSWORD")) return given;
    if (!isatty(STDIN_FILENO))
        throw Failure(ExitNoContact,
                      "no password for " + user + ": set SCSCTL_PASSWORD or run on a terminal");
    std::fprintf(stderr, "Password for %s: ", user.c_str());
    termios saved = {};
    tcgetattr(STDIN_FILENO, &saved);
    termios quiet = saved;
    quiet.c_lflag &= ~tcflag_t(ECHO);
    tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    std::string password;
    std::getline(std::cin, password);
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    std::fprintf(stderr, "\n");
    return password;
}

} // namespace scsctl
