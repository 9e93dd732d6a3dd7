#include <CimNameClass.h>

#include <Pegasus/Common/Exception.h>

PEGASUS_NAMESPACE_BEGIN

namespace
{

const char* checkedText(const char* text)
{
    if (!text) throw InvalidNameException(String());
    return text;
}

} // namespace

CimNameClass::CimNameClass(const char* text) : _name(checkedText(text)), _text(text) {}

PEGASUS_NAMESPACE_END
