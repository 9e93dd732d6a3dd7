#include "ChunkedCimAnswer.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace cimhost
{

namespace
{

// A header value must not break the message: control characters become spaces.
std::string fieldValue(const std::string& text)
{
    std::string value = text;
    for (char& c : value)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
    return value;
}

std::string lowered(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

bool acceptsTrailers(const std::string& te)
{
    // A list of transfer codings with optional parameters: "trailers, deflate;q=0.5".
    std::istringstream items(te);
    std::string item;
    while (std::getline(items, item, ','))
    {
        const size_t start = item.find_first_not_of(" \t");
        if (start == std::string::npos) continue;
        const size_t end = item.find_first_of(" \t;", start);
        if (lowered(item.substr(start, end - start)) == "trailers") return true;
    }
    return false;
}

ChunkedCimAnswer::ChunkedCimAnswer(AnswerStream& stream, const StreamLimits& limits, bool trailers,
                                   std::string prefix, std::function<HttpAnswer()> head)
    : _stream(stream), _chunkBytes(limits.chunkBytes),
      _heldBytes(trailers ? limits.chunkBytes : std::max(limits.heldBytes, limits.chunkBytes)),
      _trailers(trailers), _prefix(std::move(prefix)), _head(std::move(head))
{
}

bool ChunkedCimAnswer::elementDone()
{
    if (_gone) return false;
    if (text.size() < (_streaming ? _chunkBytes : _heldBytes)) return true;
    if (!_streaming)
    {
        HttpAnswer head = _head();
        if (_trailers)
            head.headers.emplace_back("Trailer",
                                      _prefix + "CIMStatusCode, " + _prefix + "CIMStatusCodeDescription");
        _stream.begin(head);
        _streaming = true;
    }
    return send();
}

// Hands the text on as one chunk; the next is encoded into a fresh buffer, so no byte of the
// answer is copied on its way.
bool ChunkedCimAnswer::send()
{
    std::string chunk;
    chunk.swap(text);
    text.reserve(_chunkBytes + _chunkBytes / 4);
    if (!_stream.write(std::move(chunk))) _gone = true;
    return !_gone;
}

void ChunkedCimAnswer::finish(const CimResponse& response)
{
    if (_gone) return _stream.abort();
    if (!response.isError)
    {
        if (!text.empty() && !send()) return _stream.abort();
        return _stream.finish({});
    }
    if (!_trailers) return _stream.abort();
    // What was encoded before the error goes too: the trailers are the answer's last word.
    if (!text.empty() && !send()) return _stream.abort();
    _stream.finish({{_prefix + "CIMStatusCode", std::to_string(static_cast<int>(response.errorCode))},
                    {_prefix + "CIMStatusCodeDescription", fieldValue(response.errorDescription)}});
}

} // namespace cimhost
