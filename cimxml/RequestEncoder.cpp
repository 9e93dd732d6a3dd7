#include "RequestEncoder.h"

#include <Pegasus/Common/XmlWriter.h>

#include "XmlEncodeSupport.h"

namespace cimhost
{

using Pegasus::Uint32;
using Pegasus::XmlWriter;

namespace
{

void appendTextValue(std::string& out, const std::string& text)
{
    out += "<VALUE>";
    XmlWriter::appendEscaped(out, text.c_str());
    out += "</VALUE>";
}

void appendIParamValue(std::string& out, const IParam& param)
{
    out += "<IPARAMVALUE";
    appendAttribute(out, "NAME", param.name);
    out += '>';
    const IParamValue& value = param.value;
    switch (value.kind)
    {
    case IParamValue::Null:
        break;
    case IParamValue::Text:
        appendTextValue(out, value.text);
        break;
    case IParamValue::TextArray:
        out += "<VALUE.ARRAY>";
        for (const std::string& text : value.texts)
            appendTextValue(out, text);
        out += "</VALUE.ARRAY>";
        break;
    case IParamValue::ClassName:
        XmlWriter::appendClassNameElement(out, value.className);
        break;
    case IParamValue::ObjectPath:
        XmlWriter::appendInstanceNameElement(out, value.path);
        break;
    case IParamValue::Instance:
        XmlWriter::appendInstanceElement(out, value.instance);
        break;
    case IParamValue::NamedInstance:
        XmlWriter::appendValueNamedInstanceElement(out, value.instance);
        break;
    }
    out += "</IPARAMVALUE>";
}

void appendIntrinsicCall(std::string& out, const CimRequest& request)
{
    out += "<IMETHODCALL";
    appendAttribute(out, "NAME", request.methodName);
    out += '>';
    XmlWriter::appendLocalNameSpacePathElement(out, request.nameSpace);
    for (const IParam& param : request.iparams)
        appendIParamValue(out, param);
    out += "</IMETHODCALL>";
}

void appendExtrinsicCall(std::string& out, const CimRequest& request)
{
    out += "<METHODCALL";
    appendAttribute(out, "NAME", request.methodName);
    out += '>';
    if (request.target.getKeyBindings().size() > 0)
        XmlWriter::appendLocalInstancePathElement(out, request.target);
    else
        XmlWriter::appendLocalClassPathElement(out, request.target);
    for (Uint32 i = 0; i < request.params.size(); ++i)
        XmlWriter::appendParamValueElement(out, request.params[i]);
    out += "</METHODCALL>";
}

} // namespace

std::string encodeRequest(const CimRequest& request)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                      "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE";
    appendAttribute(out, "ID", request.messageId);
    out += " PROTOCOLVERSION=\"1.0\"><SIMPLEREQ>";
    if (request.kind == OperationKind::Intrinsic)
        appendIntrinsicCall(out, request);
    else
        appendExtrinsicCall(out, request);
    out += "</SIMPLEREQ></MESSAGE></CIM>";
    return out;
}

} // namespace cimhost
