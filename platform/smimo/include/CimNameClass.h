// One name of the CIM model (class, key, property or provider name), readable as a CIMName, a
// String or a C string.
#ifndef SMIMO_CimNameClass_h
#define SMIMO_CimNameClass_h

#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/String.h>
#include <Pegasus/Common/CIMName.h>
#include <string>
#include <SMIMOTypes.h>

PEGASUS_NAMESPACE_BEGIN

class SMIMO_LINKAGE CimNameClass
{
public:
    // text must be a legal CIM name; it is copied.
    explicit CimNameClass(const char* text);

    operator const CIMName&() const { return _name; }
    operator const String&() const { return _name.getString(); }
    const CIMName& getCIMName() const { return _name; }
    const String& getString() const { return _name.getString(); }
    const char* getCstr() const { return _text.c_str(); }

private:
    CIMName _name;
    std::string _text;
};

PEGASUS_NAMESPACE_END

#endif
