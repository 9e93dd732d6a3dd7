#include "AccessLog.h"

#include <unistd.h>

namespace cimhost
{

namespace
{

// Names come from the request body: a control character or a space in one must not forge a
// line or shift the fields.
std::string field(const std::string& text)
{
    if (text.empty()) return "-";
    std::string out(text);
    for (char& c : out)
        if (static_cast<unsigned char>(c) <= ' ' || c == 0x7f) c = '?';
    return out;
}

// A reason may quote the client (a user name): it stays on its line.
std::string printable(std::string text)
{
    for (char& c : text)
        if (static_cast<unsigned char>(c) < ' ' || c == 0x7f) c = '?';
    return text;
}

} // namespace

std::string formatAccessLine(const AccessRecord& record)
{
    return field(record.peer) + " " + field(record.operation) + " " + field(record.object) + " " +
           record.outcome + " " + std::to_string(record.elapsed.count()) + "us" +
           (record.reason.empty() ? std::string() : " " + printable(record.reason)) + "\n";
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
