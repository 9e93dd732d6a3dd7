// libFuzzer target: any byte string given to a listener's decoder of export requests, or to the
// host's decoder of a listener's answer, either decodes or is refused with CimXmlError; anything
// else (a crash, another exception, a sanitizer report) is a bug. Both read what another party
// sends over the network.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ExportMessages.h"
#include "RequestDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string body(reinterpret_cast<const char*>(data), size);
    try
    {
        (void)cimhost::decodeExportIndication(body).indication.isUninitialized();
    }
    catch (const cimhost::CimXmlError&)
    {
    }
    try
    {
        (void)cimhost::decodeExportResponse(body).code;
    }
    catch (const cimhost::CimXmlError&)
    {
    }
    return 0;
}
