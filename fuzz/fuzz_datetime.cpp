// libFuzzer target: CIM datetime text (timestamps "yyyymmddhhmmss.mmmmmmsutc" and intervals
// "ddddddddhhmmss.mmmmmm:000", with '*' wildcards), as clients send it and as the engine's job
// times are given. Text either parses or is refused with a Pegasus Exception; a value that
// parses prints as text that parses back to the same value, and the arithmetic the host does on
// job times either works or throws.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <Pegasus/Common/CIMDateTime.h>
#include <Pegasus/Common/Exception.h>

using namespace Pegasus;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CIMDateTime value;
    try
    {
        value.set(String(reinterpret_cast<const char*>(data), Uint32(size)));
    }
    catch (const Exception&)
    {
        return 0;
    }
    const String printed = value.toString();
    const CIMDateTime again(printed);
    if (again.toString() != printed || !again.equal(value)) std::abort();

    try
    {
        (void)value.toMicroSeconds();
        (void)CIMDateTime::getDifference(value, again);
        (void)(value - again);
        (void)(value + value);
        (void)(value < again);
    }
    catch (const Exception&)
    {
    }
    return 0;
}
