// CIM-XML export messages: the ExportIndication request a server sends a listener
// (SIMPLEEXPREQ/EXPMETHODCALL NAME="ExportIndication" with the EXPPARAMVALUE "NewIndication"), and
// the listener's answer (SIMPLEEXPRSP/EXPMETHODRESPONSE, with an ERROR on failure). Shared by the
// host, which sends indications, and the listeners (scsctl, tests), which receive them.
#ifndef CIMHOST_ExportMessages_h
#define CIMHOST_ExportMessages_h

#include <string>

#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMStatusCode.h>

namespace cimhost
{

std::string encodeExportIndication(const std::string& messageID, const Pegasus::CIMInstance& indication);
// The same in two steps, for a sender that encodes an indication once for several listeners: the
// INSTANCE element, and the request around it.
std::string encodeIndicationElement(const Pegasus::CIMInstance& indication);
std::string encodeExportIndication(const std::string& messageID, const std::string& indicationElement);

struct ExportedIndication
{
    std::string messageID;
    Pegasus::CIMInstance indication; // embedded instances (SourceInstance, ...) as instance values
};

// Throws CimXmlError when the document is not an ExportIndication request (request-not-well-formed
// or request-not-valid, as for a request to the host) or one of its values is malformed.
ExportedIndication decodeExportIndication(const std::string& body);

// The answer: success, or the CIM error the listener reports.
std::string encodeExportResponse(const std::string& messageID,
                                 Pegasus::CIMStatusCode code = Pegasus::CIM_ERR_SUCCESS,
                                 const std::string& description = std::string());

struct ExportResponse
{
    std::string messageID;
    Pegasus::CIMStatusCode code = Pegasus::CIM_ERR_SUCCESS;
    std::string description;
};

// Throws CimXmlError when the document is not an export answer.
ExportResponse decodeExportResponse(const std::string& body);

} // namespace cimhost

#endif
