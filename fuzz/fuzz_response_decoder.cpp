// libFuzzer target: any byte string given to the client's CIM-XML response decoder either
// decodes or is refused with CimXmlError; anything else (a crash, another exception, a sanitizer
// report) is a bug. scsctl reads what a server answers, which is outside input too.
#include <cstddef>
#include <cstdint>
#include <string>

#include "RequestDecoder.h"
#include "ResponseDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string body(reinterpret_cast<const char*>(data), size);
    try
    {
        const cimhost::CimResponse response = cimhost::decodeResponse(body);
        (void)response.instances.size();
    }
    catch (const cimhost::CimXmlError&)
    {
    }
    return 0;
}
