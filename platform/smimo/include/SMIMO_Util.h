// Parameter, key and property helpers, and the trace texts of paths and property lists.
#ifndef SMIMO_SMIMO_Util_h
#define SMIMO_SMIMO_Util_h

#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/Array.h>
#include <Pegasus/Common/String.h>
#include <Pegasus/Common/CIMName.h>
#include <Pegasus/Common/CIMValue.h>
#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMParamValue.h>
#include <Pegasus/Common/CIMPropertyList.h>
#include <SMIMOTypes.h>

PEGASUS_NAMESPACE_BEGIN

class SMIMO_LINKAGE SMIMO_Util
{
public:
    static const Uint32 NOT_FOUND = PEG_NOT_FOUND;

    // Index of the first parameter with that name (compared as a CIM name, ignoring case), or
    // NOT_FOUND.
    static Uint32 findParamIndex(const Array<CIMParamValue>& inParameters, const char* name);
    static Uint32 findParamIndex(const Array<CIMParamValue>& inParameters, const String& name);
    // The value of that parameter. A missing parameter throws CIMInvalidParameterException
    // ("Missing parameter '<name>'").
    static CIMValue getParamValue(const Array<CIMParamValue>& inParameters, const char* name);
    static CIMValue getParamValue(const Array<CIMParamValue>& inParameters, const String& name);

    // The text of the key binding with that name (ignoring case). A path without it throws
    // CIMInvalidParameterException ("Object path has no key '<name>'").
    static String getKeyStringValue(const CIMObjectPath& path, const CIMName& keyName);
    // The engine object pointer held in that key as hexadecimal text. A missing key, or text
    // that is not a hexadecimal 32-bit number, throws CIMInvalidParameterException.
    static Uint32 getIptrFromPath(const CIMObjectPath& path, const char* keyName);

    // Index of the named property of the instance when the property list admits it (a null
    // list admits every property); PEG_NOT_FOUND when the instance lacks it or the list
    // excludes it.
    static Uint32 findPropertyIndexIfQualified(const CIMInstance& instance,
                                               const CIMPropertyList& propertyList, const char* name);
};

// Trace texts: the path in its string form; the property list as "NULL", "EMPTY" or its names
// separated by ", ".
SMIMO_LINKAGE String SMIMO_ObjectPath2String(const CIMObjectPath& path);
SMIMO_LINKAGE String SMIMO_PropertyList2String(const CIMPropertyList& propertyList);

PEGASUS_NAMESPACE_END

#endif
