// CIM-XML answers for CannedServer: a success carrying nothing or one path, and a refusal.
#ifndef SCSCTL_TESTS_CannedAnswers_h
#define SCSCTL_TESTS_CannedAnswers_h

#include <string>

#include <Pegasus/Common/CIMObjectPath.h>

#include "CimMessages.h"
#include "ResponseEncoder.h"

inline std::string cannedAnswer(const char* method,
                                cimhost::CimResponse::ReturnKind kind = cimhost::CimResponse::NoReturn,
                                const char* path = nullptr)
{
    cimhost::CimResponse response;
    response.messageId = "1";
    response.methodName = method;
    response.returnKind = kind;
    if (path) response.paths.append(Pegasus::CIMObjectPath(Pegasus::String(path)));
    return cimhost::encodeResponse(response);
}

inline std::string cannedRefusal(const char* method, Pegasus::CIMStatusCode code,
                                 const char* description = "")
{
    cimhost::CimResponse response;
    response.messageId = "1";
    response.methodName = method;
    response.isError = true;
    response.errorCode = code;
    response.errorDescription = description;
    return cimhost::encodeResponse(response);
}

#endif
