#include "IntrinsicRequests.h"

#include <Pegasus/Common/Exception.h>

#include "IParamReader.h"
#include "ResultSinks.h"
#include "ValueFromText.h"

namespace cimhost
{

using Pegasus::Uint32; // PEG_NOT_FOUND names it unqualified

namespace
{

using Pegasus::OperationContext;

ResultFilter readFilter(const IParamReader& in, bool includeQualifiersDefault)
{
    ResultFilter filter;
    filter.includeQualifiers = in.flag("IncludeQualifiers", includeQualifiersDefault);
    filter.includeClassOrigin = in.flag("IncludeClassOrigin", false);
    filter.propertyList = in.propertyList("PropertyList");
    return filter;
}

// The source object of an association operation. A class name asks about the schema rather
// than about instances, which this host does not answer.
Pegasus::CIMObjectPath objectName(const IParamReader& in)
{
    const IParamValue* value = in.find("ObjectName");
    if (value && value->kind == IParamValue::ClassName)
        throw Pegasus::CIMException(Pegasus::CIM_ERR_NOT_SUPPORTED,
                                    "association operations on classes are not supported");
    return in.instanceName("ObjectName");
}

void getClass(const CimOperations& operations, const CimRequest& request, const OperationContext&,
              CimResponse& response)
{
    IParamReader in(request,
                    {"ClassName", "LocalOnly", "IncludeQualifiers", "IncludeClassOrigin", "PropertyList"});
    Pegasus::CIMName className = in.className("ClassName", true);
    bool localOnly = in.flag("LocalOnly", true);
    ResultFilter filter = readFilter(in, true);
    response.returnKind = CimResponse::SingleClass;
    response.classes.append(operations.getClass(request.nameSpace, className, localOnly, filter));
}

void enumerateClasses(const CimOperations& operations, const CimRequest& request, const OperationContext&,
                      CimResponse& response)
{
    IParamReader in(request,
                    {"ClassName", "DeepInheritance", "LocalOnly", "IncludeQualifiers", "IncludeClassOrigin"});
    Pegasus::CIMName className = in.className("ClassName", false);
    bool deep = in.flag("DeepInheritance", false);
    bool localOnly = in.flag("LocalOnly", true);
    ResultFilter filter = readFilter(in, true);
    response.returnKind = CimResponse::Classes;
    response.classes = operations.enumerateClasses(request.nameSpace, className, deep, localOnly, filter);
}

void enumerateClassNames(const CimOperations& operations, const CimRequest& request, const OperationContext&,
                         CimResponse& response)
{
    IParamReader in(request, {"ClassName", "DeepInheritance"});
    Pegasus::CIMName className = in.className("ClassName", false);
    bool deep = in.flag("DeepInheritance", false);
    response.returnKind = CimResponse::ClassNames;
    response.classNames = operations.enumerateClassNames(request.nameSpace, className, deep);
}

void getInstance(const CimOperations& operations, const CimRequest& request, const OperationContext& context,
                 CimResponse& response)
{
    IParamReader in(request,
                    {"InstanceName", "LocalOnly", "IncludeQualifiers", "IncludeClassOrigin", "PropertyList"});
    Pegasus::CIMObjectPath instanceName = in.instanceName("InstanceName");
    in.flag("LocalOnly", false); // checked, but instances always carry inherited properties
    ResultFilter filter = readFilter(in, false);
    response.returnKind = CimResponse::SingleInstance;
    response.instances.append(operations.getInstance(context, request.nameSpace, instanceName, filter));
}

void enumerateInstances(const CimOperations& operations, const CimRequest& request,
                        const OperationContext& context, ResultSink& sink)
{
    IParamReader in(request, {"ClassName", "LocalOnly", "DeepInheritance", "IncludeQualifiers",
                              "IncludeClassOrigin", "PropertyList"});
    Pegasus::CIMName className = in.className("ClassName", true);
    in.flag("LocalOnly", false);
    bool deep = in.flag("DeepInheritance", true);
    ResultFilter filter = readFilter(in, false);
    operations.enumerateInstances(context, request.nameSpace, className, deep, filter, sink);
}

void enumerateInstanceNames(const CimOperations& operations, const CimRequest& request,
                            const OperationContext& context, ResultSink& sink)
{
    IParamReader in(request, {"ClassName"});
    Pegasus::CIMName className = in.className("ClassName", true);
    operations.enumerateInstanceNames(context, request.nameSpace, className, sink);
}

void createInstance(const CimOperations& operations, const CimRequest& request,
                    const OperationContext& context, CimResponse& response)
{
    IParamReader in(request, {"NewInstance"});
    Pegasus::CIMInstance newInstance = in.instance("NewInstance");
    response.returnKind = CimResponse::NewInstanceName;
    response.paths.append(operations.createInstance(context, request.nameSpace, newInstance));
}

void modifyInstance(const CimOperations& operations, const CimRequest& request,
                    const OperationContext& context, CimResponse& response)
{
    IParamReader in(request, {"ModifiedInstance", "IncludeQualifiers", "PropertyList"});
    Pegasus::CIMInstance modified = in.namedInstance("ModifiedInstance");
    bool includeQualifiers = in.flag("IncludeQualifiers", true);
    Pegasus::CIMPropertyList propertyList = in.propertyList("PropertyList");
    operations.modifyInstance(context, request.nameSpace, modified, includeQualifiers, propertyList);
    response.returnKind = CimResponse::NoReturn;
}

void deleteInstance(const CimOperations& operations, const CimRequest& request,
                    const OperationContext& context, CimResponse& response)
{
    IParamReader in(request, {"InstanceName"});
    operations.deleteInstance(context, request.nameSpace, in.instanceName("InstanceName"));
    response.returnKind = CimResponse::NoReturn;
}

AssociationQuery associationQuery(const IParamReader& in, bool references)
{
    AssociationQuery query;
    query.objectName = objectName(in);
    if (!references) query.assocClass = in.className("AssocClass", false);
    query.resultClass = in.className("ResultClass", false);
    query.role = in.text("Role");
    if (!references) query.resultRole = in.text("ResultRole");
    return query;
}

void associators(const CimOperations& operations, const CimRequest& request, const OperationContext& context,
                 ResultSink& sink)
{
    IParamReader in(request, {"ObjectName", "AssocClass", "ResultClass", "Role", "ResultRole",
                              "IncludeQualifiers", "IncludeClassOrigin", "PropertyList"});
    AssociationQuery query = associationQuery(in, false);
    ResultFilter filter = readFilter(in, false);
    operations.associators(context, request.nameSpace, query, filter, sink);
}

void associatorNames(const CimOperations& operations, const CimRequest& request,
                     const OperationContext& context, ResultSink& sink)
{
    IParamReader in(request, {"ObjectName", "AssocClass", "ResultClass", "Role", "ResultRole"});
    operations.associatorNames(context, request.nameSpace, associationQuery(in, false), sink);
}

void references(const CimOperations& operations, const CimRequest& request, const OperationContext& context,
                ResultSink& sink)
{
    IParamReader in(request, {"ObjectName", "ResultClass", "Role", "IncludeQualifiers", "IncludeClassOrigin",
                              "PropertyList"});
    AssociationQuery query = associationQuery(in, true);
    ResultFilter filter = readFilter(in, false);
    operations.references(context, request.nameSpace, query, filter, sink);
}

void referenceNames(const CimOperations& operations, const CimRequest& request,
                    const OperationContext& context, ResultSink& sink)
{
    IParamReader in(request, {"ObjectName", "ResultClass", "Role"});
    operations.referenceNames(context, request.nameSpace, associationQuery(in, true), sink);
}

const StreamedIntrinsic STREAMED[] = {
    {"EnumerateInstances", CimResponse::NamedInstances, enumerateInstances},
    {"EnumerateInstanceNames", CimResponse::InstanceNames, enumerateInstanceNames},
    {"Associators", CimResponse::ObjectsWithPath, associators},
    {"AssociatorNames", CimResponse::ObjectPaths, associatorNames},
    {"References", CimResponse::ObjectsWithPath, references},
    {"ReferenceNames", CimResponse::ObjectPaths, referenceNames},
};

// The classic answer of a streamed enumeration: every object gathered, then answered at once.
template <StreamedIntrinsic::Handler handler, CimResponse::ReturnKind kind>
void collected(const CimOperations& operations, const CimRequest& request, const OperationContext& context,
               CimResponse& response)
{
    CollectingSink sink;
    handler(operations, request, context, sink);
    response.returnKind = kind;
    if (kind == CimResponse::NamedInstances)
        response.instances = sink.takeInstances();
    else if (kind == CimResponse::ObjectsWithPath)
        response.objects = sink.takeObjects();
    else
        response.paths = sink.takePaths();
}

void getProperty(const CimOperations& operations, const CimRequest& request, const OperationContext& context,
                 CimResponse& response)
{
    IParamReader in(request, {"InstanceName", "PropertyName"});
    Pegasus::CIMObjectPath instanceName = in.instanceName("InstanceName");
    Pegasus::CIMName propertyName = in.nameValue("PropertyName");
    response.returnKind = CimResponse::PropertyValue;
    response.value = operations.getProperty(context, request.nameSpace, instanceName, propertyName);
}

// NewValue arrives as text (or a reference); the property's declaration gives its type.
Pegasus::CIMValue typedNewValue(const IParamValue* value, const Pegasus::CIMConstProperty& declaration)
{
    if (!value) return Pegasus::CIMValue(declaration.getType(), declaration.isArray());
    Pegasus::CIMValue untyped;
    switch (value->kind)
    {
    case IParamValue::Text:
        untyped = Pegasus::CIMValue(Pegasus::String(value->text.c_str()));
        break;
    case IParamValue::TextArray:
    {
        Pegasus::Array<Pegasus::String> texts;
        for (const std::string& text : value->texts)
            texts.append(Pegasus::String(text.c_str()));
        untyped = Pegasus::CIMValue(texts);
        break;
    }
    case IParamValue::ObjectPath:
        if (declaration.getType() == Pegasus::CIMTYPE_REFERENCE && !declaration.isArray())
            return Pegasus::CIMValue(value->path);
        throw invalidParameter("NewValue", "the property does not hold a reference");
    default:
        throw invalidParameter("NewValue", "a value expected");
    }
    try
    {
        return valueFromText(untyped, declaration.getType(), declaration.isArray());
    }
    catch (const ValueConversionError& e)
    {
        throw invalidParameter("NewValue", e.what());
    }
}

void setProperty(const CimOperations& operations, const CimRequest& request, const OperationContext& context,
                 CimResponse& response)
{
    IParamReader in(request, {"InstanceName", "PropertyName", "NewValue"});
    Pegasus::CIMObjectPath instanceName = in.instanceName("InstanceName");
    Pegasus::CIMName propertyName = in.nameValue("PropertyName");
    Pegasus::CIMConstClass cimClass = operations.requireClass(request.nameSpace, instanceName.getClassName());
    Pegasus::Uint32 index = cimClass.findProperty(propertyName);
    if (index == PEG_NOT_FOUND)
        throw Pegasus::CIMException(Pegasus::CIM_ERR_NO_SUCH_PROPERTY, propertyName.getString());
    Pegasus::CIMValue newValue = typedNewValue(in.find("NewValue"), cimClass.getProperty(index));
    operations.setProperty(context, request.nameSpace, instanceName, propertyName, newValue);
    response.returnKind = CimResponse::NoReturn;
}

struct IntrinsicEntry
{
    const char* name;
    IntrinsicHandler handler;
};

const IntrinsicEntry INTRINSICS[] = {
    {"GetClass", getClass},
    {"EnumerateClasses", enumerateClasses},
    {"EnumerateClassNames", enumerateClassNames},
    {"GetInstance", getInstance},
    {"EnumerateInstances", collected<enumerateInstances, CimResponse::NamedInstances>},
    {"EnumerateInstanceNames", collected<enumerateInstanceNames, CimResponse::InstanceNames>},
    {"CreateInstance", createInstance},
    {"ModifyInstance", modifyInstance},
    {"DeleteInstance", deleteInstance},
    {"Associators", collected<associators, CimResponse::ObjectsWithPath>},
    {"AssociatorNames", collected<associatorNames, CimResponse::ObjectPaths>},
    {"References", collected<references, CimResponse::ObjectsWithPath>},
    {"ReferenceNames", collected<referenceNames, CimResponse::ObjectPaths>},
    {"GetProperty", getProperty},
    {"SetProperty", setProperty},
};

} // namespace

IntrinsicHandler findIntrinsic(const std::string& methodName)
{
    for (const IntrinsicEntry& entry : INTRINSICS)
        if (sameName(methodName, entry.name)) return entry.handler;
    return nullptr;
}

const StreamedIntrinsic* findStreamedIntrinsic(const std::string& methodName)
{
    for (const StreamedIntrinsic& entry : STREAMED)
        if (sameName(methodName, entry.name)) return &entry;
    return nullptr;
}

} // namespace cimhost
