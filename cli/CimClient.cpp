#include "CimClient.h"

#include <cctype>
#include <cstdlib>

#include <Pegasus/Common/CIMStatusCode.h>

#include "Failures.h"
#include "RequestDecoder.h"
#include "RequestEncoder.h"
#include "ResponseDecoder.h"

namespace scsctl
{

using namespace Pegasus;
using cimhost::CimRequest;
using cimhost::CimResponse;
using cimhost::IParam;
using cimhost::IParamValue;

namespace
{

// Header values are URI-encoded: everything but the unreserved characters becomes %XX.
std::string uriEncoded(const std::string& text)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text)
    {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~')
            out += char(c);
        else
        {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

std::string text(const String& value)
{
    return static_cast<const char*>(value.getCString());
}

IParam param(const char* name, IParamValue::Kind kind)
{
    IParam result;
    result.name = name;
    result.value.kind = kind;
    return result;
}

IParam textParam(const char* name, const char* value)
{
    IParam result = param(name, IParamValue::Text);
    result.value.text = value;
    return result;
}

IParam classParam(const std::string& className)
{
    IParam result = param("ClassName", IParamValue::ClassName);
    result.value.className = CIMName(className.c_str());
    return result;
}

IParam pathParam(const char* name, const CIMObjectPath& path)
{
    IParam result = param(name, IParamValue::ObjectPath);
    result.value.path = path;
    return result;
}

// Objects an answer of a pulled enumeration carries.
const char PULL_CHUNK[] = "1000";

} // namespace

CIMValue MethodAnswer::out(const char* name) const
{
    for (Uint32 i = 0; i < outParams.size(); ++i)
        if (String::equalNoCase(outParams[i].getParameterName(), name)) return outParams[i].getValue();
    return CIMValue();
}

CimClient::CimClient(ConnectionOptions options, const std::string& nameSpace)
    : _connection(options), _user(options.user), _nameSpace(nameSpace.c_str()), _nameSpaceText(nameSpace)
{
}

CIMObjectPath CimClient::local(const CIMObjectPath& path) const
{
    return CIMObjectPath(String(), _nameSpace, path.getClassName(), path.getKeyBindings());
}

CimResponse CimClient::call(CimRequest request, const std::string& object)
{
    const std::string operation = request.methodName + (object.empty() ? "" : " " + object);
    CimResponse answer = exchange(std::move(request), object);
    if (answer.isError)
        throw CimError(operation + ": " + cimStatusCodeToString(answer.errorCode) +
                           (answer.errorDescription.empty() ? "" : ": " + answer.errorDescription),
                       answer.errorCode);
    return answer;
}

CimResponse CimClient::exchange(CimRequest request, const std::string& object)
{
    request.messageId = std::to_string(_nextId++);
    const std::string operation = request.methodName + (object.empty() ? "" : " " + object);
    std::string target = text(_nameSpace.getString());
    if (request.kind == cimhost::OperationKind::Extrinsic)
        target += ":" + text(CIMObjectPath(String(), CIMNamespaceName(), request.target.getClassName(),
                                           request.target.getKeyBindings())
                                 .toString());
    const HttpAnswer http = _connection.post({{"CIMOperation", "MethodCall"},
                                              {"CIMMethod", uriEncoded(request.methodName)},
                                              {"CIMObject", uriEncoded(target)},
                                              {"CIMProtocolVersion", "1.0"}},
                                             cimhost::encodeRequest(request));
    if (http.status == 401)
        throw Failure(ExitNoContact,
                      _user.empty()
                          ? "the server asks for a user: give --user NAME (or set SCSCTL_USER); the "
                            "password comes from SCSCTL_PASSWORD or is asked"
                          : "the server refused user " + _user +
                                ": unknown user or wrong password (check SCSCTL_PASSWORD; "
                                "cimhost-passwd on the server manages the users)",
                      operation + ": HTTP 401");
    if (http.status != 200)
        throw Failure(ExitRefused, operation + ": HTTP " + std::to_string(http.status) +
                                       (http.cimError.empty() ? "" : " (" + http.cimError + ")"));
    // A server that failed after its answer began says so in the trailers; the body is cut.
    if (!http.trailerStatus.empty() && http.trailerStatus != "0")
    {
        const int code = std::atoi(http.trailerStatus.c_str());
        return CimResponse::error(request, Pegasus::CIMStatusCode(code > 0 ? code : Pegasus::CIM_ERR_FAILED),
                                  http.trailerDescription);
    }
    CimResponse answer;
    try
    {
        answer = cimhost::decodeResponse(http.body);
    }
    catch (const cimhost::CimXmlError& error)
    {
        throw Failure(ExitRefused, operation + ": the answer is not CIM-XML: " + error.what());
    }
    return answer;
}

namespace
{

// Instances as the classic answer names them: class and keys, without host and namespace.
void appendNamedAsClassic(Array<CIMInstance>& all, const Array<CIMInstance>& chunk)
{
    for (Uint32 i = 0; i < chunk.size(); ++i)
    {
        CIMInstance instance = chunk[i];
        const CIMObjectPath& path = instance.getPath();
        instance.setPath(
            CIMObjectPath(String(), CIMNamespaceName(), path.getClassName(), path.getKeyBindings()));
        all.append(instance);
    }
}

} // namespace

Array<CIMInstance> CimClient::enumerateInstances(const std::string& className)
{
    // Pulled in chunks where the server offers the pull operations, so that neither side builds
    // one answer of every instance; a server without them answers CIM_ERR_NOT_SUPPORTED once and
    // gets the classic request from then on.
    if (_pullOffered)
    {
        CimRequest open;
        open.methodName = "OpenEnumerateInstances";
        open.nameSpace = _nameSpace;
        open.iparams = {classParam(className), textParam("MaxObjectCount", PULL_CHUNK)};
        CimResponse answer = exchange(open, className);
        if (answer.isError && answer.errorCode == CIM_ERR_NOT_SUPPORTED)
            _pullOffered = false;
        else
        {
            if (answer.isError) return call(open, className).instances; // throws the failure
            Array<CIMInstance> all;
            appendNamedAsClassic(all, answer.instances);
            while (!answer.endOfSequence)
            {
                CimRequest pull;
                pull.methodName = "PullInstancesWithPath";
                pull.nameSpace = _nameSpace;
                pull.iparams = {textParam("EnumerationContext", answer.enumerationContext.c_str()),
                                textParam("MaxObjectCount", PULL_CHUNK)};
                answer = call(pull, className);
                if (!answer.endOfSequence && answer.instances.size() == 0)
                    throw Failure(ExitRefused,
                                  "PullInstancesWithPath " + className + ": the server delivers nothing");
                appendNamedAsClassic(all, answer.instances);
            }
            return all;
        }
    }
    CimRequest request;
    request.methodName = "EnumerateInstances";
    request.nameSpace = _nameSpace;
    request.iparams = {classParam(className), textParam("LocalOnly", "FALSE"),
                       textParam("DeepInheritance", "TRUE")};
    return call(request, className).instances;
}

CIMInstance CimClient::getInstance(const CIMObjectPath& path)
{
    CimRequest request;
    request.methodName = "GetInstance";
    request.nameSpace = _nameSpace;
    request.iparams = {pathParam("InstanceName", path), textParam("LocalOnly", "FALSE")};
    CimResponse answer = call(request, text(path.toString()));
    if (answer.instances.size() != 1) throw Failure(ExitRefused, "GetInstance: the answer holds no instance");
    CIMInstance instance = answer.instances[0];
    instance.setPath(local(path));
    return instance;
}

Array<CIMObjectPath> CimClient::associatorNames(const CIMObjectPath& path, const std::string& assocClass,
                                                const std::string& resultClass)
{
    CimRequest request;
    request.methodName = "AssociatorNames";
    request.nameSpace = _nameSpace;
    IParam assoc = param("AssocClass", IParamValue::ClassName);
    assoc.value.className = CIMName(assocClass.c_str());
    request.iparams = {pathParam("ObjectName", path), assoc};
    if (!resultClass.empty())
    {
        IParam result = param("ResultClass", IParamValue::ClassName);
        result.value.className = CIMName(resultClass.c_str());
        request.iparams.push_back(result);
    }
    return call(request, text(path.toString())).paths;
}

Array<CIMObjectPath> CimClient::enumerateInstanceNames(const std::string& className)
{
    CimRequest request;
    request.methodName = "EnumerateInstanceNames";
    request.nameSpace = _nameSpace;
    request.iparams = {classParam(className)};
    return call(request, className).paths;
}

CIMObjectPath CimClient::createInstance(const CIMInstance& instance)
{
    CimRequest request;
    request.methodName = "CreateInstance";
    request.nameSpace = _nameSpace;
    IParam created = param("NewInstance", IParamValue::Instance);
    created.value.instance = instance;
    request.iparams = {created};
    const std::string className = text(instance.getClassName().getString());
    CimResponse answer = call(request, className);
    if (answer.paths.size() != 1)
        throw Failure(ExitRefused, "CreateInstance " + className + ": the answer holds no path");
    return answer.paths[0];
}

void CimClient::deleteInstance(const CIMObjectPath& path)
{
    CimRequest request;
    request.methodName = "DeleteInstance";
    request.nameSpace = _nameSpace;
    request.iparams = {pathParam("InstanceName", path)};
    call(request, text(path.toString()));
}

void CimClient::modifyInstance(const CIMInstance& instance, const std::vector<std::string>& properties)
{
    CimRequest request;
    request.methodName = "ModifyInstance";
    request.nameSpace = _nameSpace;
    IParam modified = param("ModifiedInstance", IParamValue::NamedInstance);
    modified.value.instance = instance;
    IParam list = param("PropertyList", IParamValue::TextArray);
    list.value.texts = properties;
    request.iparams = {modified, list};
    call(request, text(instance.getPath().toString()));
}

MethodAnswer CimClient::invokeMethod(const CIMObjectPath& target, const std::string& method,
                                     const Array<CIMParamValue>& in)
{
    CimRequest request;
    request.kind = cimhost::OperationKind::Extrinsic;
    request.methodName = method;
    request.target = local(target);
    request.nameSpace = _nameSpace;
    request.params = in;
    CimResponse answer = call(request, "");
    return MethodAnswer{answer.returnValue, answer.outParams};
}

const CIMClass& CimClient::getClass(const std::string& className)
{
    auto found = _classes.find(className);
    if (found != _classes.end()) return found->second;
    CimRequest request;
    request.methodName = "GetClass";
    request.nameSpace = _nameSpace;
    request.iparams = {classParam(className), textParam("LocalOnly", "FALSE"),
                       textParam("IncludeQualifiers", "TRUE")};
    CimResponse answer = call(request, className);
    if (answer.classes.size() != 1) throw Failure(ExitRefused, "GetClass: the answer holds no class");
    return _classes.emplace(className, answer.classes[0]).first->second;
}

} // namespace scsctl
