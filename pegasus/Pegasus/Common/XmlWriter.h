// CIM-XML rendering of the object model, written once and shared by
// CIMObject::toString, CIMValue::toString and the CIM-XML server. Output is UTF-8 appended to a
// std::string; this header is internal to our implementation and not part of the provider API.
#ifndef Pegasus_XmlWriter_h
#define Pegasus_XmlWriter_h

#include <string>
#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/Linkage.h>
#include <Pegasus/Common/String.h>
#include <Pegasus/Common/CIMValue.h>
#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/CIMObject.h>
#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMClass.h>
#include <Pegasus/Common/CIMParamValue.h>

PEGASUS_NAMESPACE_BEGIN

class PEGASUS_COMMON_LINKAGE XmlWriter
{
public:
    // Character data or attribute text with &, <, >, " and ' escaped; control characters as &#N;.
    static void appendEscaped(std::string& out, const String& text);
    static void appendEscaped(std::string& out, const char* utf8);

    // VALUE, VALUE.ARRAY, VALUE.REFERENCE or VALUE.REFARRAY as the value's type asks; nothing for a
    // null value. Embedded objects and instances are written escaped inside VALUE.
    static void appendValueElement(std::string& out, const CIMValue& value);

    // VALUE.REFERENCE holding the fullest form the path has: INSTANCEPATH (host and namespace),
    // LOCALINSTANCEPATH (namespace only) or INSTANCENAME; the class forms for keyless paths.
    static void appendValueReferenceElement(std::string& out, const CIMObjectPath& reference);

    static void appendInstancePathElement(std::string& out, const CIMObjectPath& path); // INSTANCEPATH
    static void appendLocalInstancePathElement(std::string& out,
                                               const CIMObjectPath& path);                // LOCALINSTANCEPATH
    static void appendInstanceNameElement(std::string& out, const CIMObjectPath& path);   // INSTANCENAME
    static void appendClassPathElement(std::string& out, const CIMObjectPath& path);      // CLASSPATH
    static void appendLocalClassPathElement(std::string& out, const CIMObjectPath& path); // LOCALCLASSPATH
    static void appendClassNameElement(std::string& out, const CIMName& className);       // CLASSNAME
    static void appendNameSpacePathElement(std::string& out, const String& host,
                                           const CIMNamespaceName& nameSpace); // NAMESPACEPATH
    static void appendLocalNameSpacePathElement(std::string& out,
                                                const CIMNamespaceName& nameSpace); // LOCALNAMESPACEPATH
    // OBJECTPATH wrapping INSTANCEPATH or CLASSPATH, as AssociatorNames/ReferenceNames answers carry.
    static void appendObjectPathElement(std::string& out, const CIMObjectPath& path);

    static void appendQualifierElement(std::string& out, const CIMConstQualifier& qualifier);
    static void appendPropertyElement(std::string& out, const CIMConstProperty& property);
    // The same without the const handle a conversion would make.
    static void appendPropertyElement(std::string& out, const CIMProperty& property);
    static void appendMethodElement(std::string& out, const CIMConstMethod& method);
    // PARAMETER, PARAMETER.ARRAY, PARAMETER.REFERENCE or PARAMETER.REFARRAY, always with an end tag.
    static void appendParameterElement(std::string& out, const CIMConstParameter& parameter);
    static void appendInstanceElement(std::string& out, const CIMConstInstance& instance);
    static void appendClassElement(std::string& out, const CIMConstClass& cimClass);
    static void appendObjectElement(std::string& out, const CIMConstObject& object); // INSTANCE or CLASS

    // VALUE.NAMEDINSTANCE (INSTANCENAME + INSTANCE) from the instance and its path.
    static void appendValueNamedInstanceElement(std::string& out, const CIMConstInstance& instance);
    // VALUE.OBJECTWITHPATH (INSTANCEPATH + INSTANCE, or CLASSPATH + CLASS).
    static void appendValueObjectWithPathElement(std::string& out, const CIMConstObject& object);

    // PARAMVALUE NAME=... PARAMTYPE=... (EmbeddedObject="instance"/"object" for embedded values).
    static void appendParamValueElement(std::string& out, const CIMParamValue& paramValue);
    // RETURNVALUE PARAMTYPE=... holding the value.
    static void appendReturnValueElement(std::string& out, const CIMValue& value);

    // The text of a scalar value inside VALUE (unescaped): numbers in decimal, booleans TRUE/FALSE,
    // reals in shortest round-trip form, date-times in their 25-character form.
    static std::string scalarValueText(const CIMValue& value, Uint32 arrayIndex);
};

PEGASUS_NAMESPACE_END

#endif
