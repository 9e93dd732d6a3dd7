// The CIM operations scsctl uses, over one connection. A CIM error, an HTTP fault or an answer that
// is no CIM-XML throws Failure(ExitRefused) naming the operation, the status and the server's
// description; an authentication failure throws Failure(ExitNoContact).
#ifndef SCSCTL_CimClient_h
#define SCSCTL_CimClient_h

#include <map>
#include <string>
#include <vector>

#include <Pegasus/Common/CIMClass.h>
#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/CIMParamValue.h>

#include "CimMessages.h"
#include "Failures.h"
#include "HttpConnection.h"

namespace scsctl
{

// A CIM error answer, with its status code for the callers that explain some of them.
class CimError : public Failure
{
public:
    CimError(const std::string& message, Pegasus::CIMStatusCode code)
        : Failure(ExitRefused, message), code(code)
    {
    }
    Pegasus::CIMStatusCode code;
};

struct MethodAnswer
{
    Pegasus::CIMValue returnValue;
    Pegasus::Array<Pegasus::CIMParamValue> outParams;
    // The output parameter of that name, or a null value.
    Pegasus::CIMValue out(const char* name) const;
};

class CimClient
{
public:
    CimClient(ConnectionOptions options, const std::string& nameSpace);

    // Every instance of the class and its subclasses (pulled in chunks when the server can).
    Pegasus::Array<Pegasus::CIMInstance> enumerateInstances(const std::string& className);
    Pegasus::CIMInstance getInstance(const Pegasus::CIMObjectPath& path);
    Pegasus::Array<Pegasus::CIMObjectPath> associatorNames(const Pegasus::CIMObjectPath& path,
                                                           const std::string& assocClass,
                                                           const std::string& resultClass = std::string());
    Pegasus::Array<Pegasus::CIMObjectPath> enumerateInstanceNames(const std::string& className);
    // The new instance's path as the server made it (keys it filled in included).
    Pegasus::CIMObjectPath createInstance(const Pegasus::CIMInstance& instance);
    // Changes the listed properties of the instance (its path names it) to the values it holds.
    void deleteInstance(const Pegasus::CIMObjectPath& path);
    void modifyInstance(const Pegasus::CIMInstance& instance, const std::vector<std::string>& properties);
    MethodAnswer invokeMethod(const Pegasus::CIMObjectPath& target, const std::string& method,
                              const Pegasus::Array<Pegasus::CIMParamValue>& in);
    // With qualifiers, fetched once per class.
    const Pegasus::CIMClass& getClass(const std::string& className);

    const std::string& nameSpace() const { return _nameSpaceText; }
    // The address the server sees this client's requests come from.
    std::string localAddress() { return _connection.localAddress(); }

    // The path in this client's namespace and without host, as method parameters take it.
    Pegasus::CIMObjectPath local(const Pegasus::CIMObjectPath& path) const;

private:
    // Sends the request; "object" names what it is about in a failure message.
    cimhost::CimResponse call(cimhost::CimRequest request, const std::string& object);
    // The same, with a CIM error answered rather than thrown.
    cimhost::CimResponse exchange(cimhost::CimRequest request, const std::string& object);

    HttpConnection _connection;
    std::string _user;
    Pegasus::CIMNamespaceName _nameSpace;
    std::string _nameSpaceText;
    unsigned _nextId = 1;
    bool _pullOffered = true; // until the server answers an Open with CIM_ERR_NOT_SUPPORTED
    std::map<std::string, Pegasus::CIMClass> _classes;
};

} // namespace scsctl

#endif
