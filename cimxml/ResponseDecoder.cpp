#include "ResponseDecoder.h"

#include <cstdlib>

#include <Pegasus/Common/CIMMethod.h>
#include <Pegasus/Common/CIMQualifier.h>
#include <Pegasus/Common/Exception.h>

#include "CimValueText.h"
#include "XmlDecodeSupport.h"
#include "XmlPathDecoder.h"
#include "XmlValueDecoder.h"

namespace cimhost
{

using namespace Pegasus;

namespace
{

CIMType declaredType(pugi::xml_node element, const char* attribute)
{
    CIMType type = CIMTYPE_STRING;
    const std::string name = element.attribute(attribute).value();
    if (!name.empty() && !cimTypeFromName(name, type))
        throwNotValid("<" + std::string(element.name()) + "> has the unknown type \"" + name + "\"");
    return type;
}

// The value child of a QUALIFIER, RETURNVALUE or PARAMVALUE, typed; null when it has none.
CIMValue typedChildValue(pugi::xml_node element, CIMType type, DecodeState& state)
{
    for (pugi::xml_node child : element.children())
        if (child.type() == pugi::node_element && std::string(child.name()).rfind("VALUE", 0) == 0)
            return decodeTypedValue(child, type, element.attribute("NAME").value(), state);
    return CIMValue(type, false);
}

void addQualifiers(pugi::xml_node element, CIMMethod& method, DecodeState& state)
{
    for (pugi::xml_node qualifier : element.children("QUALIFIER"))
    {
        const CIMName name = decodeCimName(requiredAttribute(qualifier, "NAME"), "qualifier name", state);
        if (name.isNull()) continue;
        method.addQualifier(
            CIMQualifier(name, typedChildValue(qualifier, declaredType(qualifier, "TYPE"), state)));
    }
}

CIMClass decodeClass(pugi::xml_node element, DecodeState& state)
{
    const CIMName superClass =
        element.attribute("SUPERCLASS")
            ? decodeCimName(element.attribute("SUPERCLASS").value(), "superclass", state)
            : CIMName();
    CIMClass cimClass(decodeCimName(requiredAttribute(element, "NAME"), "class name", state), superClass);
    for (pugi::xml_node methodElement : element.children("METHOD"))
    {
        CIMMethod method(decodeCimName(requiredAttribute(methodElement, "NAME"), "method name", state),
                         declaredType(methodElement, "TYPE"));
        addQualifiers(methodElement, method, state);
        cimClass.addMethod(method);
    }
    return cimClass;
}

CIMObjectPath decodeObjectPath(pugi::xml_node element, DecodeState& state)
{
    ElementReader reader(element);
    const pugi::xml_node path = reader.next();
    reader.finish();
    if (isElement(path, "INSTANCEPATH")) return decodeInstancePath(path, state);
    if (isElement(path, "CLASSPATH")) return decodeClassPath(path, state);
    throwNotValid("<OBJECTPATH> holds no <INSTANCEPATH> or <CLASSPATH>");
}

CIMInstance decodeInstanceWithPath(pugi::xml_node element, DecodeState& state)
{
    ElementReader reader(element);
    const CIMObjectPath path = decodeInstancePath(reader.required("INSTANCEPATH"), state);
    CIMInstance instance = decodeInstance(reader.required("INSTANCE"), state);
    reader.finish();
    instance.setPath(path);
    return instance;
}

void setReturnKind(CimResponse& response, CimResponse::ReturnKind kind)
{
    if (response.returnKind != CimResponse::NoReturn && response.returnKind != kind)
        throwNotValid("<IRETURNVALUE> mixes kinds of result");
    response.returnKind = kind;
}

void decodeIReturnValue(pugi::xml_node element, CimResponse& response, DecodeState& state)
{
    for (pugi::xml_node child : element.children())
    {
        if (child.type() != pugi::node_element) continue;
        const std::string name = child.name();
        if (name == "VALUE.NAMEDINSTANCE")
        {
            setReturnKind(response, CimResponse::NamedInstances);
            response.instances.append(decodeNamedInstance(child, state));
        }
        else if (name == "INSTANCE")
        {
            setReturnKind(response, CimResponse::SingleInstance);
            response.instances.append(decodeInstance(child, state));
        }
        else if (name == "INSTANCENAME")
        {
            setReturnKind(response, CimResponse::InstanceNames);
            response.paths.append(decodeInstanceName(child, state));
        }
        else if (name == "VALUE.INSTANCEWITHPATH")
        {
            setReturnKind(response, CimResponse::InstancesWithPath);
            response.instances.append(decodeInstanceWithPath(child, state));
        }
        else if (name == "INSTANCEPATH")
        {
            setReturnKind(response, CimResponse::InstancePaths);
            response.paths.append(decodeInstancePath(child, state));
        }
        else if (name == "OBJECTPATH")
        {
            setReturnKind(response, CimResponse::ObjectPaths);
            response.paths.append(decodeObjectPath(child, state));
        }
        else if (name == "VALUE.OBJECTWITHPATH")
        {
            setReturnKind(response, CimResponse::ObjectsWithPath);
            response.objects.append(CIMObject(decodeInstanceWithPath(child, state)));
        }
        else if (name == "CLASS")
        {
            setReturnKind(response, CimResponse::SingleClass);
            response.classes.append(decodeClass(child, state));
        }
        else if (name == "CLASSNAME")
        {
            setReturnKind(response, CimResponse::ClassNames);
            response.classNames.append(decodeClassName(child, state));
        }
        else
            throwNotValid("<" + name + "> is not expected in <IRETURNVALUE>");
    }
}

// A boolean output parameter, typed or sent as text.
bool isTrue(const CIMValue& value)
{
    if (value.isNull() || value.isArray()) return false;
    if (value.getType() == CIMTYPE_BOOLEAN)
    {
        Boolean flag = false;
        value.get(flag);
        return flag;
    }
    String text;
    if (value.getType() == CIMTYPE_STRING) value.get(text);
    return String::equalNoCase(text, "TRUE");
}

// EndOfSequence and EnumerationContext of a pull answer become its pull fields, not output
// parameters.
void takePullParameters(CimResponse& response)
{
    Array<CIMParamValue> others;
    for (Uint32 i = 0; i < response.outParams.size(); ++i)
    {
        const CIMParamValue& param = response.outParams[i];
        const CIMValue value = param.getValue();
        if (String::equalNoCase(param.getParameterName(), "EndOfSequence"))
            response.endOfSequence = isTrue(value);
        else if (String::equalNoCase(param.getParameterName(), "EnumerationContext"))
        {
            String text;
            if (!value.isNull() && !value.isArray() && value.getType() == CIMTYPE_STRING) value.get(text);
            response.enumerationContext = static_cast<const char*>(text.getCString());
        }
        else
        {
            others.append(param);
            continue;
        }
        response.isPull = true;
    }
    response.outParams = others;
}

void decodeError(pugi::xml_node element, CimResponse& response)
{
    response.isError = true;
    response.errorCode = CIMStatusCode(std::strtoul(requiredAttribute(element, "CODE").c_str(), nullptr, 10));
    response.errorDescription = element.attribute("DESCRIPTION").value();
}

void decodeMethodResponse(pugi::xml_node element, CimResponse& response, DecodeState& state)
{
    for (pugi::xml_node child : element.children())
    {
        if (child.type() != pugi::node_element) continue;
        if (isElement(child, "ERROR"))
            decodeError(child, response);
        else if (isElement(child, "IRETURNVALUE"))
            decodeIReturnValue(child, response, state);
        else if (isElement(child, "RETURNVALUE"))
            response.returnValue = typedChildValue(child, declaredType(child, "PARAMTYPE"), state);
        else if (isElement(child, "PARAMVALUE"))
        {
            const std::string name = requiredAttribute(child, "NAME");
            response.outParams.append(
                CIMParamValue(toPegasusString(name),
                              typedChildValue(child, declaredType(child, "PARAMTYPE"), state), true));
        }
        else
            throwNotValid("<" + std::string(child.name()) + "> is not expected in <" + element.name() + ">");
    }
}

} // namespace

CimResponse decodeResponse(const std::string& body)
{
    pugi::xml_document document;
    parseDocument(document, body.data(), body.size(), DecoderLimits().maxDepth, ~size_t(0));
    DecodeState state;
    const pugi::xml_node root = document.document_element();
    if (!isElement(root, "CIM")) throwNotValid("the document element is not <CIM>");
    const pugi::xml_node message = root.child("MESSAGE");
    const pugi::xml_node simple = message.child("SIMPLERSP");
    if (!simple) throwNotValid("the answer holds no <MESSAGE>/<SIMPLERSP>");

    CimResponse response;
    response.messageId = requiredAttribute(message, "ID");
    pugi::xml_node call = simple.child("IMETHODRESPONSE");
    response.kind = OperationKind::Intrinsic;
    if (!call)
    {
        call = simple.child("METHODRESPONSE");
        response.kind = OperationKind::Extrinsic;
    }
    if (!call) throwNotValid("<SIMPLERSP> holds no <IMETHODRESPONSE> or <METHODRESPONSE>");
    response.methodName = requiredAttribute(call, "NAME");
    try
    {
        decodeMethodResponse(call, response, state);
        if (response.kind == OperationKind::Intrinsic) takePullParameters(response);
    }
    catch (const Exception& error)
    {
        state.fail(CIM_ERR_FAILED, static_cast<const char*>(error.getMessage().getCString()));
    }
    if (state.failed) throwNotValid("a value in the answer is not valid: " + state.text);
    return response;
}

} // namespace cimhost
