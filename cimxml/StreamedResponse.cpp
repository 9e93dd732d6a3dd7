#include "StreamedResponse.h"

#include <Pegasus/Common/CIMClass.h>
#include <Pegasus/Common/CIMObjectRep.h>
#include <Pegasus/Common/CIMProperty.h>
#include <Pegasus/Common/CIMPropertyRep.h>
#include <Pegasus/Common/XmlWriter.h>

#include "XmlEncodeSupport.h"

namespace cimhost
{

using Pegasus::XmlWriter;

void appendIntrinsicOpening(std::string& out, const std::string& messageId, const std::string& methodName)
{
    out += "<?xml version=\"1.0\" encoding=\"utf-8\"?><CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE";
    appendAttribute(out, "ID", messageId);
    out += " PROTOCOLVERSION=\"1.0\"><SIMPLERSP><IMETHODRESPONSE";
    appendAttribute(out, "NAME", methodName);
    out += "><IRETURNVALUE>";
}

void appendIntrinsicClosing(std::string& out)
{
    out += "</IRETURNVALUE></IMETHODRESPONSE></SIMPLERSP></MESSAGE></CIM>";
}

void appendPullParameters(std::string& out, bool endOfSequence, const std::string& enumerationContext)
{
    out += "<PARAMVALUE NAME=\"EndOfSequence\" PARAMTYPE=\"boolean\"><VALUE>";
    out += endOfSequence ? "TRUE" : "FALSE";
    out += "</VALUE></PARAMVALUE><PARAMVALUE NAME=\"EnumerationContext\" PARAMTYPE=\"string\"><VALUE>";
    XmlWriter::appendEscaped(out, enumerationContext.c_str());
    out += "</VALUE></PARAMVALUE>";
}

void appendPullClosing(std::string& out, bool endOfSequence, const std::string& enumerationContext)
{
    out += "</IRETURNVALUE>";
    appendPullParameters(out, endOfSequence, enumerationContext);
    out += "</IMETHODRESPONSE></SIMPLERSP></MESSAGE></CIM>";
}

void appendShownInstanceElement(std::string& out, const Pegasus::CIMConstInstance& instance,
                                const ShownElements& shown)
{
    out += "<INSTANCE CLASSNAME=\"";
    XmlWriter::appendEscaped(out, instance.getClassName().getString());
    out += "\">";
    if (shown.includeQualifiers)
        for (Pegasus::Uint32 i = 0, n = instance.getQualifierCount(); i < n; ++i)
            XmlWriter::appendQualifierElement(out, instance.getQualifier(i));
    // The properties are read in place, without a handle (and its count) made for each.
    const Pegasus::CIMNamedList<Pegasus::CIMProperty>& properties =
        Pegasus::checkedRep(Pegasus::CIMHandleAccess::rep(instance)).properties;
    const Pegasus::CIMProperty* property = properties.data();
    for (Pegasus::Uint32 i = 0, n = properties.size(); i < n; ++i, ++property)
    {
        const Pegasus::CIMPropertyRep& rep = *Pegasus::CIMHandleAccess::rep(*property);
        if (shown.propertyList && !shown.propertyList->useThisProperty(rep.name)) continue;
        const bool dropQualifiers = !shown.includeQualifiers && rep.qualifiers.size() > 0;
        const bool dropOrigin = !shown.includeClassOrigin && !rep.classOrigin.isNull();
        if (!dropQualifiers && !dropOrigin)
        {
            XmlWriter::appendPropertyElement(out, *property);
            continue;
        }
        // Rare (providers seldom set either on instances): only this property is copied.
        Pegasus::CIMProperty trimmed = property->clone();
        if (dropQualifiers)
            for (Pegasus::Uint32 q = trimmed.getQualifierCount(); q-- > 0;)
                trimmed.removeQualifier(q);
        if (dropOrigin) trimmed.setClassOrigin(Pegasus::CIMName());
        XmlWriter::appendPropertyElement(out, trimmed);
    }
    out += "</INSTANCE>";
}

void appendShownNamedInstance(std::string& out, const Pegasus::CIMConstInstance& instance,
                              const Pegasus::CIMObjectPath& path, const ShownElements& shown)
{
    out += "<VALUE.NAMEDINSTANCE>";
    XmlWriter::appendInstanceNameElement(out, path);
    appendShownInstanceElement(out, instance, shown);
    out += "</VALUE.NAMEDINSTANCE>";
}

void appendShownInstanceWithPath(std::string& out, const Pegasus::CIMConstInstance& instance,
                                 const Pegasus::CIMObjectPath& path, const ShownElements& shown)
{
    out += "<VALUE.INSTANCEWITHPATH>";
    XmlWriter::appendInstancePathElement(out, path);
    appendShownInstanceElement(out, instance, shown);
    out += "</VALUE.INSTANCEWITHPATH>";
}

void appendShownObjectWithPath(std::string& out, const Pegasus::CIMConstObject& object,
                               const Pegasus::CIMObjectPath& path, const ShownElements& shown)
{
    out += "<VALUE.OBJECTWITHPATH>";
    if (object.isClass())
    {
        XmlWriter::appendClassPathElement(out, path);
        XmlWriter::appendClassElement(out, Pegasus::CIMConstClass(object));
    }
    else
    {
        XmlWriter::appendInstancePathElement(out, path);
        appendShownInstanceElement(out, Pegasus::CIMConstInstance(object), shown);
    }
    out += "</VALUE.OBJECTWITHPATH>";
}

} // namespace cimhost
