// libFuzzer target: the engine's hexadecimal text of byte strings (a job's InstanceID names its
// task key this way). Text either decodes to its bytes or to an empty key, the same through both
// overloads, and a decoded key prints back as the text in upper case.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <ManagedObject.h>
#include <Pegasus/Common/Exception.h>

using namespace Pegasus;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const KVELKey fromChars = ManagedObject::hexToBin(bytes.c_str());
    String text;
    try
    {
        text = String(bytes.data(), Uint32(bytes.size()));
    }
    catch (const Exception&)
    {
        return 0; // not UTF-8: no String holds it
    }
    const KVELKey fromString = ManagedObject::hexToBin(text);
    // The char* form stops at the first NUL, which the String form keeps.
    if (bytes.find('\0') == std::string::npos && fromString != fromChars) std::abort();
    if (fromString.empty()) return 0;

    std::string upper(bytes);
    for (char& c : upper)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    if (ManagedObject::binToHex(fromString) != String(upper.c_str())) std::abort();
    return 0;
}
