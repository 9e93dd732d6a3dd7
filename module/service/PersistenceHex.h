// The client's persistence block arrives as upper-case hexadecimal text; it is turned into bytes a
// chunk at a time, so that the block is never held whole in binary form.
#ifndef SCS_PersistenceHex_h
#define SCS_PersistenceHex_h

#include <cstddef>
#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/Char16.h>

PEGASUS_NAMESPACE_BEGIN

enum class HexDecoding
{
    Done,
    Malformed, // odd length, or a unit that is not "0"-"9" or "A"-"F" (lower case included)
    SinkFailed
};

// 0-15 for "0"-"9" and "A"-"F"; -1 for anything else.
inline int upperHexDigitValue(Uint16 c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Hands the decoded bytes to sink(const Uint8*, size_t) in chunks of at most Chunk bytes; a sink
// returning false stops the decoding. Bytes before a malformed pair have been handed over.
template <size_t Chunk, class Sink> HexDecoding decodeUpperHex(const Char16* text, Uint32 length, Sink&& sink)
{
    if (length % 2 != 0) return HexDecoding::Malformed;
    Uint8 buffer[Chunk];
    size_t filled = 0;
    for (Uint32 i = 0; i < length; i += 2)
    {
        const int high = upperHexDigitValue(text[i]), low = upperHexDigitValue(text[i + 1]);
        if (high < 0 || low < 0) return HexDecoding::Malformed;
        buffer[filled++] = Uint8(high * 16 + low);
        if (filled == Chunk)
        {
            if (!sink(static_cast<const Uint8*>(buffer), filled)) return HexDecoding::SinkFailed;
            filled = 0;
        }
    }
    if (filled > 0 && !sink(static_cast<const Uint8*>(buffer), filled)) return HexDecoding::SinkFailed;
    return HexDecoding::Done;
}

PEGASUS_NAMESPACE_END

#endif
