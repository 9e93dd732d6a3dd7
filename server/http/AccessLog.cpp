#include "AccessLog.h"

#include <unistd.h>

namespace cimhost
{

namespace
{

// Names come from the request body: a control character or a space in one must not forge a
// line or shift the fields.
void appendField(std::string& line, const std::string& text)
{
    if (text.empty())
    {
        line.push_back('-');
        return;
    }
    for (const char c : text)
        line.push_back(static_cast<unsigned char>(c) <= ' ' || c == 0x7f ? '?' : c);
}

// A reason may quote the client (a user name): it stays on its line.
void appendPrintable(std::string& line, const std::string& text)
{
    for (const char c : text)
        line.push_back(static_cast<unsigned char>(c) < ' ' || c == 0x7f ? '?' : c);
}

} // namespace

std::string formatAccessLine(const AccessRecord& record)
{
    std::string line;
    line.reserve(record.peer.size() + record.operation.size() + record.object.size() + record.outcome.size() +
                 record.reason.size() + record.user.size() + 40);
    appendField(line, record.peer);
    line.push_back(' ');
    appendField(line, record.operation);
    line.push_back(' ');
    appendField(line, record.object);
    line.push_back(' ');
    line += record.outcome;
    line.push_back(' ');
    line += std::to_string(record.elapsed.count());
    line += "us";
    if (!record.user.empty())
    {
        line += " user=";
        appendField(line, record.user);
    }
    if (!record.reason.empty())
    {
        line.push_back(' ');
        appendPrintable(line, record.reason);
    }
    line.push_back('\n');
    return line;
}

void writeAccessLine(const AccessRecord& record)
{
    const std::string line = formatAccessLine(record);
    // A failed or short write loses a log line, never the answer.
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line.data(), line.size());
}

void writeRefusalLine(const std::string& peer, const std::string& outcome, const std::string& reason,
                      std::chrono::steady_clock::time_point start)
{
    AccessRecord record;
    record.peer = peer;
    record.outcome = outcome;
    record.reason = reason;
    record.elapsed =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    writeAccessLine(record);
}

} // namespace cimhost
