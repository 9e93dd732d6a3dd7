#include "Confirm.h"

#include <cstdio>
#include <iostream>

#include <unistd.h>

#include "Failures.h"

namespace scsctl
{

void confirmOrRefuse(bool confirmed, const std::string& what, const std::string& question)
{
    if (confirmed) return;
    if (!isatty(STDIN_FILENO)) throw Failure(ExitRefused, what + " needs --yes when not asked on a terminal");
    std::fprintf(stderr, "%s [y/N] ", question.c_str());
    std::string answer;
    std::getline(std::cin, answer);
    if (answer != "y" && answer != "Y" && answer != "yes")
        throw Failure(ExitRefused, "not confirmed: nothing done");
}

} // namespace scsctl
