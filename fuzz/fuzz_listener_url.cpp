// libFuzzer target: any text given as a listener destination's URL is read or refused with
// ListenerUrlError, and what is read names a host, a port of 1 to 65535 and a path. Clients write
// destinations, so the URL is outside input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ListenerUrl.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    try
    {
        const cimhost::ListenerUrl url = cimhost::parseListenerUrl(text);
        const unsigned long port = std::stoul(url.port);
        if (url.host.empty() || port == 0 || port > 65535 || url.target.empty() || url.target[0] != '/')
            std::abort();
    }
    catch (const cimhost::ListenerUrlError&)
    {
    }
    return 0;
}
