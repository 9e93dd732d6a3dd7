#include "ExportRequest.h"

#include "RequestDecoder.h"

namespace scsctl
{

namespace
{

ExportOutcome refused(int status, const std::string& cimError, const std::string& problem)
{
    ExportOutcome outcome;
    outcome.refusal.status = status;
    if (!cimError.empty()) outcome.refusal.headers.emplace_back("CIMError", cimError);
    outcome.problem = problem;
    return outcome;
}

} // namespace

ExportOutcome readExportRequest(const ExportRequest& request)
{
    if (request.method != "POST")
    {
        ExportOutcome outcome = refused(405, "", "HTTP method " + request.method + " is not POST");
        outcome.refusal.headers.emplace_back("Allow", "POST");
        return outcome;
    }
    // An operation request sent here by mistake (CIMOperation instead of CIMExport) is no export.
    if (request.cimExport != "MethodRequest")
        return refused(400, "unsupported-operation", "the request is no CIM export request");
    if (request.cimExportMethod != "ExportIndication")
        return refused(400, "unsupported-operation",
                       "export method \"" + request.cimExportMethod + "\" is not ExportIndication");
    try
    {
        ExportOutcome outcome;
        outcome.indication = cimhost::decodeExportIndication(request.body);
        return outcome;
    }
    catch (const cimhost::CimXmlError& error)
    {
        return refused(error.httpStatus, error.cimError, error.what());
    }
}

ExportReply exportAnswer(const std::string& messageID, Pegasus::CIMStatusCode code,
                         const std::string& description)
{
    ExportReply reply;
    reply.headers = {{"Content-Type", "application/xml; charset=\"utf-8\""}, {"CIMExport", "MethodResponse"}};
    reply.body = cimhost::encodeExportResponse(messageID, code, description);
    return reply;
}

} // namespace scsctl
