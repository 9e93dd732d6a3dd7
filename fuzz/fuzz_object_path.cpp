// libFuzzer target: object path text, as clients send it in reference parameters and wbemcli
// writes it ("//host/root/snia:Class.Key=\"v\",Other=3"). Text either parses or is refused with a
// Pegasus Exception (ValueConversionError where the host types a reference parameter); a path that
// parses prints as text that parses back to the same path, since the host hands printed paths to
// clients that send them back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/Exception.h>

#include "ValueFromText.h"

using namespace Pegasus;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    String text;
    try
    {
        text = String(reinterpret_cast<const char*>(data), Uint32(size));
    }
    catch (const Exception&)
    {
        return 0; // not UTF-8: the transport never hands such text on
    }

    try
    {
        (void)cimhost::valueFromText(CIMValue(text), CIMTYPE_REFERENCE, false);
    }
    catch (const cimhost::ValueConversionError&)
    {
    }

    const CIMObjectPath before(String("//h/root/snia:C.K=\"v\""));
    CIMObjectPath path(before);
    try
    {
        path.set(text);
    }
    catch (const Exception&)
    {
        // A refused name leaves the path as it was.
        if (!path.identical(before)) std::abort();
        return 0;
    }
    const CIMObjectPath again(path.toString());
    if (!again.identical(path) || again.toString() != path.toString()) std::abort();
    return 0;
}
