#include "CimMessages.h"

#include <strings.h>

namespace cimhost
{

const IParamValue* CimRequest::iparam(const char* name) const
{
    // Parameter names are CIM names, which compare ignoring case.
    for (const IParam& param : iparams)
        if (strcasecmp(param.name.c_str(), name) == 0) return &param.value;
    return nullptr;
}

CimResponse CimResponse::error(const CimRequest& request, Pegasus::CIMStatusCode code,
                               const std::string& text)
{
    CimResponse response;
    response.messageId = request.messageId;
    response.kind = request.kind;
    response.methodName = request.methodName;
    response.isError = true;
    response.errorCode = code;
    response.errorDescription = text;
    return response;
}

} // namespace cimhost
