// cimhost-passwd: adds, removes and lists the users of cimhost's HTTP Basic authentication.
//   cimhost-passwd FILE add USER     password from the terminal (asked twice, not echoed), or the
//                                    first two lines of standard input when that is not a
//                                    terminal; shorter than 8 characters only with --force
//   cimhost-passwd FILE remove USER
//   cimhost-passwd FILE list         user names only
// Exit status: 0 done, 1 failed (message on standard error), 2 usage error.
#include <CLI/CLI.hpp>

#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <string>

#include "PasswordHash.h"
#include "UserFile.h"

namespace
{

using namespace cimhost;

termios savedTerminal;
volatile std::sig_atomic_t echoIsOff = 0;

// Ctrl-C at the prompt must not leave the terminal without echo.
void restoreTerminalAndDie(int signal)
{
    if (echoIsOff) ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

std::string readHidden(const std::string& prompt)
{
    if (::tcgetattr(STDIN_FILENO, &savedTerminal) != 0) throw std::runtime_error("cannot read the terminal");
    termios quiet = savedTerminal;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ECHONL; // the Enter key still ends the line on screen
    std::signal(SIGINT, restoreTerminalAndDie);
    std::signal(SIGTERM, restoreTerminalAndDie);
    std::cerr << prompt << std::flush;
    echoIsOff = 1;
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    std::string line;
    const bool read = static_cast<bool>(std::getline(std::cin, line));
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
    echoIsOff = 0;
    if (!read) throw std::runtime_error("no password entered");
    return line;
}

const size_t SHORTEST_PASSWORD = 8;

std::string readLine(const char* what)
{
    std::string line;
    if (!std::getline(std::cin, line))
        throw std::runtime_error(std::string("no ") + what + " on standard input");
    return line;
}

// Asked twice either way, so that a typing mistake (or a script that sends one line) cannot set a
// password nobody knows.
std::string readNewPassword(bool allowShort)
{
    std::string password, again;
    if (::isatty(STDIN_FILENO))
    {
        password = readHidden("Password: ");
        again = readHidden("Password again: ");
    }
    else
    {
        password = readLine("password");
        again = readLine("second line repeating the password");
    }
    if (again != password) throw std::runtime_error("the passwords do not match");
    if (password.empty()) throw std::runtime_error("empty passwords are refused");
    // Basic authentication refuses control characters, so such a password could never log in.
    if (std::any_of(password.begin(), password.end(),
                    [](char c) { return static_cast<unsigned char>(c) < ' ' || c == 0x7f; }))
        throw std::runtime_error("a password must not contain control characters");
    if (password.size() < SHORTEST_PASSWORD && !allowShort)
        throw std::runtime_error("a password needs at least " + std::to_string(SHORTEST_PASSWORD) +
                                 " characters (--force takes a shorter one)");
    return password;
}

UserFile loadOrStartEmpty(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::exists(path, error) && !error) return UserFile();
    return UserFile::load(path);
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app("Manages the users file of cimhost's HTTP Basic authentication.", "cimhost-passwd");
    std::string path;
    std::string user;
    app.add_option("FILE", path, "The users file (created mode 0600 when missing)")->required();
    const CLI::Validator userName(
        [](const std::string& name)
        {
            return isValidUserName(name)
                       ? std::string()
                       : "a user name is non-empty, without ':', whitespace or control characters";
        },
        "USER");
    bool force = false;
    CLI::App* add = app.add_subcommand("add", "Add USER, or replace its password (asked twice)");
    add->add_option("USER", user)->required()->check(userName);
    add->add_flag("--force", force, "accept a password shorter than 8 characters");
    CLI::App* remove = app.add_subcommand("remove", "Remove USER");
    remove->add_option("USER", user)->required();
    app.add_subcommand("list", "List the user names");
    app.require_subcommand(1);
    try
    {
        app.parse(argc, argv);
    }
    catch (const CLI::ParseError& error)
    {
        return app.exit(error) == 0 ? 0 : 2;
    }

    try
    {
        if (add->parsed())
        {
            UserFile users = loadOrStartEmpty(path);
            const bool added = users.set(user, hashPassword(readNewPassword(force)));
            users.save(path);
            std::cout << (added ? "added user " : "replaced the password of user ") << user << "\n";
        }
        else if (remove->parsed())
        {
            UserFile users = UserFile::load(path);
            if (!users.remove(user)) throw std::runtime_error("no user " + user + " in " + path);
            users.save(path);
            std::cout << "removed user " << user << "\n";
        }
        else
        {
            for (const std::string& name : UserFile::load(path).userNames())
                std::cout << name << "\n";
        }
    }
    catch (const std::exception& error)
    {
        std::cerr << "cimhost-passwd: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
