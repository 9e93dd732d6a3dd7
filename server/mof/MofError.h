// The one error type of the MOF compiler, carrying where the problem is.
#ifndef CIMHOST_MofError_h
#define CIMHOST_MofError_h

#include <stdexcept>
#include <string>

namespace cimhost
{

// A MOF error: what() is "<file>:<line>: <what was expected or what is wrong>".
class MofError : public std::runtime_error
{
public:
    MofError(const std::string& file, int line, const std::string& message);
    const std::string& file() const { return _file; }
    int line() const { return _line; }
    // The message without the location prefix.
    const std::string& message() const { return _message; }

private:
    std::string _file;
    int _line;
    std::string _message;
};

} // namespace cimhost

#endif
