// A CIM operation request as the codec decodes it from CIM-XML, and the response the
// dispatcher produces for the codec to encode.
#ifndef CIMHOST_CimMessages_h
#define CIMHOST_CimMessages_h

#include <string>
#include <vector>

#include <Pegasus/Common/Array.h>
#include <Pegasus/Common/CIMClass.h>
#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMName.h>
#include <Pegasus/Common/CIMObject.h>
#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/CIMParamValue.h>
#include <Pegasus/Common/CIMStatusCode.h>
#include <Pegasus/Common/CIMValue.h>

namespace cimhost
{

enum class OperationKind
{
    Intrinsic, // IMETHODCALL: GetClass, EnumerateInstances, ...
    Extrinsic  // METHODCALL: a method of a class or instance
};

// The value of one IPARAMVALUE, in the form the element carried it.
struct IParamValue
{
    enum Kind
    {
        Null,         // the IPARAMVALUE had no child
        Text,         // VALUE
        TextArray,    // VALUE.ARRAY (e.g. PropertyList)
        ClassName,    // CLASSNAME
        ObjectPath,   // INSTANCENAME, VALUE.REFERENCE (namespace and host as given, if any)
                      // (an INSTANCENAME with a lone KEYVALUE has one key with a null name)
        Instance,     // INSTANCE (NewInstance)
        NamedInstance // VALUE.NAMEDINSTANCE (ModifiedInstance): instance with its path set
    };
    Kind kind = Null;
    std::string text;
    std::vector<std::string> texts;
    Pegasus::CIMName className;
    Pegasus::CIMObjectPath path;
    Pegasus::CIMInstance instance;
};

struct IParam
{
    std::string name; // as the element names it ("ClassName", "InstanceName", ...)
    IParamValue value;
};

struct CimRequest
{
    std::string messageId;
    std::string protocolVersion; // MESSAGE PROTOCOLVERSION
    OperationKind kind = OperationKind::Intrinsic;
    std::string methodName; // IMETHODCALL / METHODCALL NAME
    Pegasus::CIMNamespaceName nameSpace;
    // Extrinsic calls: the target (LOCALINSTANCEPATH or LOCALCLASSPATH), its namespace set.
    Pegasus::CIMObjectPath target;
    std::vector<IParam> iparams;
    // Extrinsic calls, in order. A PARAMVALUE with PARAMTYPE (or a VALUE.REFERENCE / embedded
    // instance) is typed; one without keeps its text untyped (isTyped false): a String, or an
    // Array<String> for VALUE.ARRAY. The dispatcher types those from the method declaration.
    Pegasus::Array<Pegasus::CIMParamValue> params;

    // Set when the request was well-formed CIM-XML but a value in it is not (a key of the wrong
    // form, a bad date-time, ...): the answer is this CIM error rather than an HTTP fault.
    bool hasDecodeError = false;
    Pegasus::CIMStatusCode decodeErrorCode = Pegasus::CIM_ERR_SUCCESS;
    std::string decodeErrorText;

    // The IPARAMVALUE of that name, or null when absent.
    const IParamValue* iparam(const char* name) const;
};

struct CimResponse
{
    std::string messageId;
    OperationKind kind = OperationKind::Intrinsic;
    std::string methodName;

    bool isError = false;
    Pegasus::CIMStatusCode errorCode = Pegasus::CIM_ERR_SUCCESS;
    std::string errorDescription;

    // Intrinsic results: IRETURNVALUE holds exactly one of these kinds.
    enum ReturnKind
    {
        NoReturn,          // DeleteInstance, ModifyInstance, SetProperty
        ClassNames,        // CLASSNAME*
        Classes,           // CLASS*
        SingleClass,       // CLASS
        SingleInstance,    // INSTANCE
        InstanceNames,     // INSTANCENAME*
        NamedInstances,    // VALUE.NAMEDINSTANCE*
        ObjectsWithPath,   // VALUE.OBJECTWITHPATH* (Associators, References)
        ObjectPaths,       // OBJECTPATH* (AssociatorNames, ReferenceNames)
        InstancesWithPath, // VALUE.INSTANCEWITHPATH* (Open*Instances, PullInstancesWithPath)
        InstancePaths,     // INSTANCEPATH* (Open*InstancePaths, PullInstancePaths)
        NewInstanceName,   // INSTANCENAME (CreateInstance)
        PropertyValue      // VALUE / VALUE.ARRAY / VALUE.REFERENCE, or nothing for null (GetProperty)
    };
    ReturnKind returnKind = NoReturn;
    Pegasus::Array<Pegasus::CIMName> classNames;
    Pegasus::Array<Pegasus::CIMClass> classes;
    Pegasus::Array<Pegasus::CIMInstance> instances; // with their paths set (host and namespace too)
    Pegasus::Array<Pegasus::CIMObject> objects;     // with their paths set
    Pegasus::Array<Pegasus::CIMObjectPath> paths;
    Pegasus::CIMValue value;

    // Pull operations (Open*, Pull*): after IRETURNVALUE the output parameters EndOfSequence and
    // EnumerationContext (empty when the sequence has ended).
    bool isPull = false;
    bool endOfSequence = false;
    std::string enumerationContext;
    // A pulled chunk's elements (VALUE.INSTANCEWITHPATH or INSTANCEPATH), encoded as the providers
    // delivered them; written after the instances and paths above.
    std::string encodedObjects;

    // Extrinsic results. A null return value writes no RETURNVALUE.
    Pegasus::CIMValue returnValue;
    Pegasus::Array<Pegasus::CIMParamValue> outParams;

    static CimResponse error(const CimRequest& request, Pegasus::CIMStatusCode code, const std::string& text);
};

} // namespace cimhost

#endif
