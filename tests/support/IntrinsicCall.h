// An intrinsic operation over a test's connection to cimhost, through the client side of the
// codec (cimxml's request encoder and response decoder), as WBEM clients send them.
#ifndef TESTS_SUPPORT_IntrinsicCall_h
#define TESTS_SUPPORT_IntrinsicCall_h

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HttpClient.h"
#include "RequestEncoder.h"
#include "ResponseDecoder.h"

namespace testhttp
{

// The answer; a failed expectation and a CIM_ERR_FAILED answer when HTTP did not say 200.
inline cimhost::CimResponse intrinsicCall(Connection& connection, int& messages, const char* method,
                                          std::vector<cimhost::IParam> params, const char* nameSpace)
{
    cimhost::CimRequest call;
    call.messageId = std::to_string(++messages);
    call.methodName = method;
    call.nameSpace = Pegasus::CIMNamespaceName(nameSpace);
    call.iparams = std::move(params);
    std::string object = nameSpace;
    for (size_t slash; (slash = object.find('/')) != std::string::npos;)
        object.replace(slash, 1, "%2F");
    const Reply reply = connection.exchange(
        request(cimhost::encodeRequest(call), {{"Content-Type", "application/xml; charset=\"utf-8\""},
                                               {"CIMOperation", "MethodCall"},
                                               {"CIMMethod", method},
                                               {"CIMObject", object}}));
    EXPECT_EQ(200, reply.status) << method;
    return reply.status == 200 ? cimhost::decodeResponse(reply.body)
                               : cimhost::CimResponse::error(call, Pegasus::CIM_ERR_FAILED, "HTTP");
}

} // namespace testhttp

#endif
