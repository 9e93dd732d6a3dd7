#include "HttpMessage.h"

#include <strings.h>

namespace cimhost
{

bool HeaderNameLess::operator()(const std::string& x, const std::string& y) const
{
    return ::strcasecmp(x.c_str(), y.c_str()) < 0;
}

const std::string* HttpRequest::header(const std::string& name) const
{
    const auto found = headers.find(name);
    return found == headers.end() ? nullptr : &found->second;
}

HttpAnswer HttpAnswer::fault(int status, const std::string& reason)
{
    HttpAnswer answer;
    answer.status = status;
    answer.outcome = "HTTP " + std::to_string(status);
    answer.reason = reason;
    return answer;
}

} // namespace cimhost
