// What a CIM-XML export listener answers to one HTTP request: an ExportIndication request
// (POST, "CIMExport: MethodRequest", "CIMExportMethod: ExportIndication") is decoded; anything else
// gets the HTTP fault an export server expects, with its CIMError header.
#ifndef SCSCTL_ExportRequest_h
#define SCSCTL_ExportRequest_h

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ExportMessages.h"

namespace scsctl
{

struct ExportRequest
{
    std::string method; // the HTTP method
    std::string cimExport;
    std::string cimExportMethod;
    std::string body;
};

struct ExportReply
{
    int status = 200;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
};

struct ExportOutcome
{
    // Set when the request is a well-formed ExportIndication: the listener takes it and answers
    // with exportAccepted. Otherwise "refusal" is the answer and "problem" says why.
    std::optional<cimhost::ExportedIndication> indication;
    ExportReply refusal;
    std::string problem;
};

ExportOutcome readExportRequest(const ExportRequest& request);

// The answer to an indication taken (code CIM_ERR_SUCCESS) or that the listener could not take.
ExportReply exportAnswer(const std::string& messageID, Pegasus::CIMStatusCode code = Pegasus::CIM_ERR_SUCCESS,
                         const std::string& description = std::string());

} // namespace scsctl

#endif
