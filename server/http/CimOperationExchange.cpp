#include "CimOperationExchange.h"

#include <algorithm>
#include <cctype>

#include <Pegasus/Common/OperationContext.h>

#include "CimHeaders.h"
#include "ResponseEncoder.h"

namespace cimhost
{
namespace
{

const char XML_CONTENT_TYPE[] = "application/xml; charset=\"utf-8\"";

bool equalNoCase(const std::string& x, const std::string& y)
{
    return x.size() == y.size() &&
           std::equal(x.begin(), x.end(), y.begin(),
                      [](unsigned char a, unsigned char b) { return std::tolower(a) == std::tolower(b); });
}

// 1.x: the CIM operations this host speaks have not changed within the major version.
bool supportedProtocolVersion(const std::string& version)
{
    return version.size() > 2 && version[0] == '1' && version[1] == '.' &&
           std::all_of(version.begin() + 2, version.end(),
                       [](unsigned char c) { return std::isdigit(c) != 0; });
}

std::string text(const Pegasus::CIMName& name)
{
    return static_cast<const char*>(name.getString().getCString());
}

std::string className(const IParamValue& value)
{
    switch (value.kind)
    {
    case IParamValue::ClassName:
        return text(value.className);
    case IParamValue::ObjectPath:
        return text(value.path.getClassName());
    case IParamValue::Instance:
    case IParamValue::NamedInstance:
        return value.instance.isUninitialized() ? "-" : text(value.instance.getClassName());
    default:
        return "-";
    }
}

// The class an operation addresses, for the access log.
std::string addressedObject(const CimRequest& request)
{
    if (request.kind == OperationKind::Extrinsic)
        return text(request.target.getClassName()) + "." + request.methodName;
    for (const char* name : {"ClassName", "InstanceName", "ObjectName", "NewInstance", "ModifiedInstance"})
        if (const IParamValue* value = request.iparam(name)) return className(*value);
    return "-";
}

// Builds the answer, prefixing the CIM headers of an M-POST exchange.
class AnswerBuilder
{
public:
    explicit AnswerBuilder(HttpAnswer& answer) : _answer(answer) {}

    void setPrefix(const std::string& prefix) { _prefix = prefix; }
    const std::string& prefix() const { return _prefix; }

    // reason: for the access log; by default the CIMError value.
    HttpAnswer& fault(int status, const std::string& cimError, const std::string& reason = std::string())
    {
        _answer.status = status;
        _answer.outcome = "HTTP " + std::to_string(status);
        _answer.reason = reason.empty() ? cimError : cimError + ": " + reason;
        if (!cimError.empty()) cimHeader("CIMError", cimError);
        return _answer;
    }

    void header(const std::string& name, const std::string& value)
    {
        _answer.headers.emplace_back(name, value);
    }
    void cimHeader(const std::string& name, const std::string& value) { header(_prefix + name, value); }

private:
    HttpAnswer& _answer;
    std::string _prefix;
};

} // namespace

CimOperationExchange::CimOperationExchange(Dispatcher& dispatcher, const DecoderLimits& limits,
                                           const StreamLimits& streamLimits)
    : _dispatcher(dispatcher), _limits(limits), _streamLimits(streamLimits)
{
}

HttpAnswer CimOperationExchange::handle(const HeaderMap& headers, const std::string& body,
                                        bool extendedMethod, std::chrono::steady_clock::time_point start,
                                        const std::string& user, AnswerStream* stream) const
{
    HttpAnswer answer;
    AnswerBuilder reply(answer);
    const auto headerValue = [&](const std::string& name, bool prefixed) -> const std::string*
    {
        const auto found = headers.find(prefixed ? reply.prefix() + name : name);
        return found == headers.end() ? nullptr : &found->second;
    };

    if (extendedMethod)
    {
        // An M-POST must declare the CIM mapping as a mandatory extension; without it the
        // request is not one this host understands.
        const std::string* man = headerValue("Man", false);
        const std::string ns = man ? cimMappingNamespace(*man) : std::string();
        if (ns.empty()) return reply.fault(510, "", "M-POST without the CIM mapping in its Man header");
        reply.setPrefix(ns + "-");
        reply.header("Ext", "");
        reply.header("Cache-Control", "no-cache");
        reply.header("Man", "http://www.dmtf.org/cim/mapping/http/v1.0;ns=" + ns);
    }

    const std::string* contentType = headerValue("Content-Type", false);
    if (!contentType || !isXmlUtf8ContentType(*contentType))
        return reply.fault(400, "request-not-well-formed");

    // Without CIMOperation the headers do not describe the MethodCall in the body; with any
    // other value the request is not an operation this host performs.
    const std::string* operation = headerValue("CIMOperation", true);
    if (!operation) return reply.fault(400, "header-mismatch");
    if (!equalNoCase(*operation, "MethodCall")) return reply.fault(400, "unsupported-operation");
    if (headerValue("CIMBatch", true)) return reply.fault(501, "multiple-requests-unsupported");
    // Checked before the body: a body of another protocol version may not decode at all.
    const std::string* version = headerValue("CIMProtocolVersion", true);
    if (version && !supportedProtocolVersion(*version))
        return reply.fault(501, "unsupported-protocol-version");

    CimRequest request;
    try
    {
        request = decodeRequest(body, _limits);
    }
    catch (const CimXmlError& error)
    {
        return reply.fault(error.httpStatus, error.cimError, error.what());
    }
    catch (...)
    {
        return reply.fault(500, "", "internal decoder fault"); // not the client's
    }
    answer.operation = request.kind == OperationKind::Extrinsic ? "CallMethod" : request.methodName;
    answer.object = addressedObject(request);

    std::string decoded;
    const std::string* method = headerValue("CIMMethod", true);
    if (!method || !uriDecode(*method, decoded) || !equalNoCase(decoded, request.methodName))
        return reply.fault(400, "header-mismatch");
    // A request whose addressing did not decode answers with its CIM error; there is nothing
    // reliable to compare CIMObject with.
    const std::string* object = headerValue("CIMObject", true);
    if (!object || !uriDecode(*object, decoded) || decoded.find('\0') != std::string::npos ||
        (!request.hasDecodeError && !objectHeaderMatches(decoded, request)))
        return reply.fault(400, "header-mismatch");

    const std::string* timing = headerValue("WBEMServerResponseTime", true);
    // The answer's head once it is known to be a CIM answer (whole or the first chunk's).
    const auto completeHead = [&](HttpAnswer& head)
    {
        head.status = 200;
        head.contentType = XML_CONTENT_TYPE;
        head.headers.emplace_back(reply.prefix() + "CIMOperation", "MethodResponse");
        if (!timing || !equalNoCase(*timing, "true")) return;
        const auto elapsed = std::chrono::steady_clock::now() - start;
        head.headers.emplace_back(
            reply.prefix() + "WBEMServerResponseTime",
            std::to_string(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count()));
    };

    // The dispatcher answers a request with a decode error with that error.
    CimResponse response;
    Pegasus::OperationContext context;
    context.insert(Pegasus::IdentityContainer(Pegasus::String(user.c_str())));
    try
    {
        if (stream && stream->canStream() && _dispatcher.streams(request))
        {
            const std::string* te = headerValue("TE", false);
            ChunkedCimAnswer out(*stream, _streamLimits, te && acceptsTrailers(*te), reply.prefix(),
                                 [&]
                                 {
                                     HttpAnswer head = answer;
                                     completeHead(head);
                                     return head;
                                 });
            response = _dispatcher.executeStreamed(request, context, out);
            if (out.streaming())
            {
                out.finish(response);
                answer.status = 200;
                answer.outcome =
                    response.isError ? std::to_string(static_cast<int>(response.errorCode)) : "0";
                return answer;
            }
            if (!response.isError) answer.body = std::move(out.text);
        }
        else
            response = _dispatcher.execute(request, context);
    }
    catch (...)
    {
        response = CimResponse::error(request, Pegasus::CIM_ERR_FAILED, "internal error");
    }
    try
    {
        if (answer.body.empty()) answer.body = encodeResponse(response);
    }
    catch (...)
    {
        return reply.fault(500, "", "the answer could not be encoded");
    }
    answer.outcome = response.isError ? std::to_string(static_cast<int>(response.errorCode)) : "0";
    completeHead(answer);
    return answer;
}

} // namespace cimhost
