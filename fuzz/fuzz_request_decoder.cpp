// libFuzzer target: any byte string given to the CIM-XML request decoder either decodes or is
// refused with CimXmlError; anything else (a crash, another exception, a sanitizer report) is a bug.
#include <cstddef>
#include <cstdint>
#include <string>

#include "RequestDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string body(reinterpret_cast<const char*>(data), size);
    try
    {
        const cimhost::CimRequest request = cimhost::decodeRequest(body);
        (void)request.iparam("ClassName");
    }
    catch (const cimhost::CimXmlError&)
    {
    }
    return 0;
}
