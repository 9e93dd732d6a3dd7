#include "ExportMessages.h"

#include <cstdlib>

#include <Pegasus/Common/XmlWriter.h>

#include "RequestDecoder.h"
#include "XmlDecodeSupport.h"
#include "XmlEncodeSupport.h"
#include "XmlValueDecoder.h"

namespace cimhost
{

namespace
{

const char* const EXPORT_METHOD = "ExportIndication";
const char* const INDICATION_PARAMETER = "NewIndication";

void openMessage(std::string& out, const std::string& messageID, const char* kind)
{
    out += "<?xml version=\"1.0\" encoding=\"utf-8\"?><CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE";
    appendAttribute(out, "ID", messageID);
    out += " PROTOCOLVERSION=\"1.0\"><";
    out += kind;
    out += '>';
}

void closeMessage(std::string& out, const char* kind)
{
    out += "</";
    out += kind;
    out += "></MESSAGE></CIM>";
}

// The SIMPLEEXPREQ or SIMPLEEXPRSP of a document, with its MESSAGE's ID.
pugi::xml_node simpleExport(pugi::xml_document& document, const std::string& body, const char* kind,
                            std::string& messageID)
{
    parseDocument(document, body.data(), body.size(), DecoderLimits().maxDepth);
    const pugi::xml_node root = document.document_element();
    if (!isElement(root, "CIM")) throwNotValid("the document element is not <CIM>");
    const pugi::xml_node message = root.child("MESSAGE");
    if (!message) throwNotValid("<CIM> holds no <MESSAGE>");
    messageID = requiredAttribute(message, "ID");
    const pugi::xml_node simple = message.child(kind);
    if (!simple) throwNotValid(std::string("<MESSAGE> holds no <") + kind + ">");
    return simple;
}

} // namespace

std::string encodeIndicationElement(const Pegasus::CIMInstance& indication)
{
    std::string out;
    Pegasus::XmlWriter::appendInstanceElement(out, indication);
    return out;
}

std::string encodeExportIndication(const std::string& messageID, const std::string& indicationElement)
{
    std::string out;
    out.reserve(indicationElement.size() + 320);
    openMessage(out, messageID, "SIMPLEEXPREQ");
    out += "<EXPMETHODCALL NAME=\"";
    out += EXPORT_METHOD;
    out += "\"><EXPPARAMVALUE NAME=\"";
    out += INDICATION_PARAMETER;
    out += "\">";
    out += indicationElement;
    out += "</EXPPARAMVALUE></EXPMETHODCALL>";
    closeMessage(out, "SIMPLEEXPREQ");
    return out;
}

std::string encodeExportIndication(const std::string& messageID, const Pegasus::CIMInstance& indication)
{
    return encodeExportIndication(messageID, encodeIndicationElement(indication));
}

ExportedIndication decodeExportIndication(const std::string& body)
{
    pugi::xml_document document;
    ExportedIndication exported;
    const pugi::xml_node simple = simpleExport(document, body, "SIMPLEEXPREQ", exported.messageID);
    const pugi::xml_node call = simple.child("EXPMETHODCALL");
    if (!call) throwNotValid("<SIMPLEEXPREQ> holds no <EXPMETHODCALL>");
    if (requiredAttribute(call, "NAME") != EXPORT_METHOD)
        throw CimXmlError(400, "request-not-valid",
                          "export method " + requiredAttribute(call, "NAME") + " is not " + EXPORT_METHOD);
    pugi::xml_node instance;
    for (pugi::xml_node parameter : call.children("EXPPARAMVALUE"))
        if (requiredAttribute(parameter, "NAME") == INDICATION_PARAMETER)
            instance = parameter.child("INSTANCE");
    if (!instance) throwNotValid("<EXPMETHODCALL> holds no NewIndication <INSTANCE>");
    DecodeState state;
    exported.indication = decodeInstance(instance, state);
    if (state.failed) throwNotValid("the indication holds a bad value: " + state.text);
    return exported;
}

std::string encodeExportResponse(const std::string& messageID, Pegasus::CIMStatusCode code,
                                 const std::string& description)
{
    std::string out;
    openMessage(out, messageID, "SIMPLEEXPRSP");
    out += "<EXPMETHODRESPONSE NAME=\"";
    out += EXPORT_METHOD;
    out += "\">";
    if (code != Pegasus::CIM_ERR_SUCCESS) appendErrorElement(out, int(code), description);
    out += "</EXPMETHODRESPONSE>";
    closeMessage(out, "SIMPLEEXPRSP");
    return out;
}

ExportResponse decodeExportResponse(const std::string& body)
{
    pugi::xml_document document;
    ExportResponse response;
    const pugi::xml_node simple = simpleExport(document, body, "SIMPLEEXPRSP", response.messageID);
    const pugi::xml_node answer = simple.child("EXPMETHODRESPONSE");
    if (!answer) throwNotValid("<SIMPLEEXPRSP> holds no <EXPMETHODRESPONSE>");
    if (const pugi::xml_node error = answer.child("ERROR"))
    {
        const std::string code = requiredAttribute(error, "CODE");
        char* end = nullptr;
        const long number = std::strtol(code.c_str(), &end, 10);
        if (code.empty() || *end != '\0' || number <= 0 || number > 1000)
            throwNotValid("<ERROR> has the code \"" + code + "\"");
        response.code = Pegasus::CIMStatusCode(number);
        response.description = error.attribute("DESCRIPTION").value();
    }
    return response;
}

} // namespace cimhost
