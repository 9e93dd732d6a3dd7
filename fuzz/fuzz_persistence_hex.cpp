// libFuzzer target: the persistence block a client writes, as upper-case hexadecimal text turned
// into bytes a chunk at a time. Text decodes exactly when its length is even and every unit is an
// upper-case hex digit; the bytes print back as the text; no chunk is empty or over the size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include <PersistenceHex.h>

using namespace Pegasus;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Two input bytes a unit, so that units above 0xFF (which must be refused) occur too.
    std::vector<Char16> text;
    for (size_t i = 0; i + 1 < size; i += 2)
        text.push_back(Char16(Uint16(data[i] | data[i + 1] << 8)));
    const Uint32 length = Uint32(text.size());

    constexpr size_t CHUNK = 7; // small, so that inputs span several chunks
    std::vector<Uint8> bytes;
    const HexDecoding result = decodeUpperHex<CHUNK>(text.data(), length,
                                                     [&](const Uint8* chunk, size_t count)
                                                     {
                                                         if (count == 0 || count > CHUNK) std::abort();
                                                         bytes.insert(bytes.end(), chunk, chunk + count);
                                                         return true;
                                                     });
    bool wellFormed = length % 2 == 0;
    for (Uint32 i = 0; wellFormed && i < length; ++i)
    {
        const Uint16 unit = text[i];
        wellFormed = (unit >= '0' && unit <= '9') || (unit >= 'A' && unit <= 'F');
    }
    if (result == HexDecoding::SinkFailed || (result == HexDecoding::Done) != wellFormed) std::abort();
    if (!wellFormed) return 0;

    const char digits[] = "0123456789ABCDEF";
    if (bytes.size() * 2 != length) std::abort();
    for (size_t i = 0; i < bytes.size(); ++i)
        if (text[2 * i] != Char16(Uint16(digits[bytes[i] >> 4])) ||
            text[2 * i + 1] != Char16(Uint16(digits[bytes[i] & 15])))
            std::abort();
    return 0;
}
