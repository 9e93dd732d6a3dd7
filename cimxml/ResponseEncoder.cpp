#include "ResponseEncoder.h"

#include <Pegasus/Common/XmlWriter.h>

#include "StreamedResponse.h"
#include "XmlEncodeSupport.h"

namespace cimhost
{

using Pegasus::Uint32;
using Pegasus::XmlWriter;

namespace
{

void appendError(std::string& out, const CimResponse& response)
{
    appendErrorElement(out, int(response.errorCode), response.errorDescription);
}

void appendReturnValue(std::string& out, const CimResponse& response)
{
    switch (response.returnKind)
    {
    case CimResponse::NoReturn:
        return;
    case CimResponse::ClassNames:
        for (Uint32 i = 0; i < response.classNames.size(); ++i)
            XmlWriter::appendClassNameElement(out, response.classNames[i]);
        break;
    case CimResponse::Classes:
        for (Uint32 i = 0; i < response.classes.size(); ++i)
            XmlWriter::appendClassElement(out, response.classes[i]);
        break;
    case CimResponse::SingleClass:
        if (response.classes.size() > 0) XmlWriter::appendClassElement(out, response.classes[0]);
        break;
    case CimResponse::SingleInstance:
        if (response.instances.size() > 0) XmlWriter::appendInstanceElement(out, response.instances[0]);
        break;
    case CimResponse::InstanceNames:
        for (Uint32 i = 0; i < response.paths.size(); ++i)
            XmlWriter::appendInstanceNameElement(out, response.paths[i]);
        break;
    case CimResponse::NamedInstances:
        for (Uint32 i = 0; i < response.instances.size(); ++i)
            XmlWriter::appendValueNamedInstanceElement(out, response.instances[i]);
        break;
    case CimResponse::ObjectsWithPath:
        for (Uint32 i = 0; i < response.objects.size(); ++i)
            XmlWriter::appendValueObjectWithPathElement(out, response.objects[i]);
        break;
    case CimResponse::ObjectPaths:
        for (Uint32 i = 0; i < response.paths.size(); ++i)
            XmlWriter::appendObjectPathElement(out, response.paths[i]);
        break;
    case CimResponse::InstancesWithPath:
        for (Uint32 i = 0; i < response.instances.size(); ++i)
        {
            out += "<VALUE.INSTANCEWITHPATH>";
            XmlWriter::appendInstancePathElement(out, response.instances[i].getPath());
            XmlWriter::appendInstanceElement(out, response.instances[i]);
            out += "</VALUE.INSTANCEWITHPATH>";
        }
        break;
    case CimResponse::InstancePaths:
        for (Uint32 i = 0; i < response.paths.size(); ++i)
            XmlWriter::appendInstancePathElement(out, response.paths[i]);
        break;
    case CimResponse::NewInstanceName:
        if (response.paths.size() > 0) XmlWriter::appendInstanceNameElement(out, response.paths[0]);
        break;
    case CimResponse::PropertyValue:
        XmlWriter::appendValueElement(out, response.value);
        break;
    }
}

void appendIntrinsicResponse(std::string& out, const CimResponse& response)
{
    out += "<IMETHODRESPONSE";
    appendAttribute(out, "NAME", response.methodName);
    out += '>';
    if (response.isError)
        appendError(out, response);
    else if (response.returnKind != CimResponse::NoReturn || response.isPull)
    {
        // Written with both tags even when empty: an empty enumeration is still an answer.
        out += "<IRETURNVALUE>";
        appendReturnValue(out, response);
        out += response.encodedObjects;
        out += "</IRETURNVALUE>";
        if (response.isPull) appendPullParameters(out, response.endOfSequence, response.enumerationContext);
    }
    out += "</IMETHODRESPONSE>";
}

void appendExtrinsicResponse(std::string& out, const CimResponse& response)
{
    out += "<METHODRESPONSE";
    appendAttribute(out, "NAME", response.methodName);
    out += '>';
    if (response.isError)
        appendError(out, response);
    else
    {
        if (!response.returnValue.isNull()) XmlWriter::appendReturnValueElement(out, response.returnValue);
        // Clients type output parameters from PARAMTYPE, so it is written whatever the provider
        // marked.
        for (Uint32 i = 0; i < response.outParams.size(); ++i)
        {
            const Pegasus::CIMParamValue& param = response.outParams[i];
            XmlWriter::appendParamValueElement(
                out, Pegasus::CIMParamValue(param.getParameterName(), param.getValue(), true));
        }
    }
    out += "</METHODRESPONSE>";
}

} // namespace

std::string encodeResponse(const CimResponse& response)
{
    // Room for the usual answer at once: an instance takes about 2 KiB (a volume 2.2 KiB), a path a
    // few hundred bytes. A large enumeration otherwise grows the buffer, copying it each time and
    // touching twice the pages. Twice the room is reserved: pages of a large buffer that are
    // never written are never made resident, so erring high costs address space only.
    std::string out;
    out.reserve(1024 + 4096 * (size_t(response.instances.size()) + response.objects.size()) +
                256 * size_t(response.paths.size()));
    out += "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
           "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE";
    appendAttribute(out, "ID", response.messageId);
    out += " PROTOCOLVERSION=\"1.0\"><SIMPLERSP>";
    if (response.kind == OperationKind::Intrinsic)
        appendIntrinsicResponse(out, response);
    else
        appendExtrinsicResponse(out, response);
    out += "</SIMPLERSP></MESSAGE></CIM>";
    return out;
}

} // namespace cimhost
