#include "RequestDecoder.h"

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

// "2.0", "2.1", ...: the given major version and any minor one.
bool hasMajorVersion(const std::string& version, char major)
{
    return version.size() >= 3 && version[0] == major && version[1] == '.' &&
           version.find_first_not_of("0123456789.", 2) == std::string::npos;
}

void checkVersion(pugi::xml_node element, const char* attribute, char major, const char* cimError)
{
    const std::string version = requiredAttribute(element, attribute);
    if (!hasMajorVersion(version, major))
        throw CimXmlError(501, cimError, std::string(attribute) + " \"" + version + "\" is not supported");
}

// Text the response will echo or the dispatcher will read must be UTF-8.
std::string checkedText(const std::string& text)
{
    toPegasusString(text);
    return text;
}

// --- intrinsic calls ---

IParamValue decodeIParamValue(pugi::xml_node element, DecodeState& state)
{
    ElementReader reader(element);
    const pugi::xml_node child = reader.next();
    reader.finish();

    IParamValue value;
    if (!child)
        value.kind = IParamValue::Null;
    else if (isElement(child, "VALUE"))
    {
        value.kind = IParamValue::Text;
        value.text = checkedText(textContent(child));
    }
    else if (isElement(child, "VALUE.ARRAY"))
    {
        value.kind = IParamValue::TextArray;
        for (const std::string& text : decodeValueArrayTexts(child, state))
            value.texts.push_back(checkedText(text));
    }
    else if (isElement(child, "CLASSNAME"))
    {
        value.kind = IParamValue::ClassName;
        value.className = decodeClassName(child, state);
    }
    else if (isElement(child, "INSTANCENAME"))
    {
        value.kind = IParamValue::ObjectPath;
        value.path = decodeInstanceName(child, state);
    }
    else if (isElement(child, "VALUE.REFERENCE"))
    {
        value.kind = IParamValue::ObjectPath;
        value.path = decodeValueReference(child, state);
    }
    else if (isElement(child, "INSTANCE"))
    {
        value.kind = IParamValue::Instance;
        value.instance = decodeInstance(child, state);
    }
    else if (isElement(child, "VALUE.NAMEDINSTANCE"))
    {
        value.kind = IParamValue::NamedInstance;
        value.instance = decodeNamedInstance(child, state);
    }
    else if (isElement(child, "CLASS") || isElement(child, "QUALIFIER.DECLARATION"))
        state.fail(CIM_ERR_NOT_SUPPORTED, std::string("<") + child.name() + "> parameters are not supported");
    else
        throwNotValid(std::string("<") + child.name() + "> is not allowed in <IPARAMVALUE>");
    return value;
}

void decodeIntrinsicCall(pugi::xml_node call, CimRequest& request, DecodeState& state)
{
    request.kind = OperationKind::Intrinsic;
    ElementReader reader(call);
    request.nameSpace = decodeLocalNamespacePath(reader.required("LOCALNAMESPACEPATH"), state);
    while (pugi::xml_node element = reader.optional("IPARAMVALUE"))
    {
        IParam param;
        param.name = checkedText(requiredAttribute(element, "NAME"));
        decodeCimName(param.name, "parameter name", state);
        param.value = decodeIParamValue(element, state);
        if (request.iparam(param.name.c_str()))
            state.fail(CIM_ERR_INVALID_PARAMETER, "parameter " + param.name + " is given twice");
        else
            request.iparams.push_back(param);
    }
    reader.optional("RESPONSEDESTINATION");
    reader.finish();
}

// --- extrinsic calls ---

// A reference, however the PARAMVALUE spelled it; a declared type other than reference is a bad
// value.
CIMValue referenceParameter(const CIMObjectPath& path, bool hasType, CIMType type, const std::string& what,
                            DecodeState& state)
{
    if (!hasType || type == CIMTYPE_REFERENCE) return CIMValue(path);
    state.fail(CIM_ERR_INVALID_PARAMETER,
               what + ": a reference is not a " + cimTypeToString(type) + " value");
    return CIMValue(type, false);
}

CIMValue instanceParameter(const CIMInstance& instance, CIMType embeddedType)
{
    if (instance.isUninitialized()) return CIMValue(embeddedType, false);
    return embeddedType == CIMTYPE_OBJECT ? CIMValue(CIMObject(instance)) : CIMValue(instance);
}

Array<String> untypedTexts(const std::vector<std::string>& texts)
{
    Array<String> strings;
    for (const std::string& text : texts)
        strings.append(toPegasusString(text));
    return strings;
}

bool hasParameter(const Array<CIMParamValue>& params, const String& name)
{
    for (Uint32 i = 0; i < params.size(); ++i)
        if (String::equalNoCase(params[i].getParameterName(), name)) return true;
    return false;
}

void decodeParamValue(pugi::xml_node element, CimRequest& request, DecodeState& state)
{
    const std::string nameText = requiredAttribute(element, "NAME");
    const CIMName name = decodeCimName(nameText, "parameter name", state);
    const std::string what = "parameter " + nameText;

    CIMType type = CIMTYPE_STRING;
    const pugi::xml_attribute paramType = element.attribute("PARAMTYPE");
    if (paramType && !cimTypeFromName(paramType.value(), type))
        throwNotValid(std::string("PARAMTYPE \"") + paramType.value() + "\" is not a CIM type");
    CIMType embeddedType = CIMTYPE_INSTANCE;
    const bool isEmbedded = embeddedObjectType(element, embeddedType);
    if (isEmbedded) type = embeddedType;
    const bool hasType = paramType || isEmbedded;

    ElementReader reader(element);
    const pugi::xml_node child = reader.next();
    reader.finish();

    CIMValue value;
    bool typed = true;
    if (!child)
    {
        typed = hasType;
        if (hasType) value.setNullValue(type, false);
    }
    else if (isElement(child, "VALUE") || isElement(child, "VALUE.ARRAY"))
    {
        typed = hasType;
        if (hasType)
            value = decodeTypedValue(child, type, what, state);
        else if (isElement(child, "VALUE"))
            value = CIMValue(toPegasusString(textContent(child)));
        else
            value = CIMValue(untypedTexts(decodeValueArrayTexts(child, state)));
    }
    else if (isElement(child, "VALUE.REFERENCE") || isElement(child, "VALUE.REFARRAY"))
        value = decodeTypedValue(child, hasType ? type : CIMTYPE_REFERENCE, what, state);
    else if (isElement(child, "INSTANCENAME"))
        value = referenceParameter(decodeInstanceName(child, state), hasType, type, what, state);
    else if (isElement(child, "CLASSNAME"))
        value = referenceParameter(CIMObjectPath(String(), CIMNamespaceName(), decodeClassName(child, state)),
                                   hasType, type, what, state);
    else if (isElement(child, "INSTANCE"))
        value = instanceParameter(decodeInstance(child, state), embeddedType);
    else if (isElement(child, "VALUE.NAMEDINSTANCE"))
        value = instanceParameter(decodeNamedInstance(child, state), embeddedType);
    else if (isElement(child, "CLASS"))
        state.fail(CIM_ERR_NOT_SUPPORTED, what + ": class definitions are not accepted as values");
    else
        throwNotValid(std::string("<") + child.name() + "> is not allowed in <PARAMVALUE>");

    if (name.isNull()) return;
    if (hasParameter(request.params, name.getString()))
        state.fail(CIM_ERR_INVALID_PARAMETER, what + " is given twice");
    else
        request.params.append(CIMParamValue(name.getString(), value, typed));
}

void decodeExtrinsicCall(pugi::xml_node call, CimRequest& request, DecodeState& state)
{
    request.kind = OperationKind::Extrinsic;
    ElementReader reader(call);
    const pugi::xml_node target = reader.next();
    if (isElement(target, "LOCALINSTANCEPATH"))
        request.target = decodeLocalInstancePath(target, state);
    else if (isElement(target, "LOCALCLASSPATH"))
        request.target = decodeLocalClassPath(target, state);
    else
        throwNotValid("<METHODCALL> needs <LOCALINSTANCEPATH> or <LOCALCLASSPATH> first");
    request.nameSpace = request.target.getNameSpace();
    while (pugi::xml_node element = reader.optional("PARAMVALUE"))
        decodeParamValue(element, request, state);
    reader.optional("RESPONSEDESTINATION");
    reader.finish();
}

// --- envelope ---

void decodeMessage(pugi::xml_node root, CimRequest& request, DecodeState& state)
{
    if (!isElement(root, "CIM"))
        throwNotValid(std::string("the document element is <") + root.name() + ">, not <CIM>");
    checkVersion(root, "CIMVERSION", '2', "unsupported-cim-version");
    checkVersion(root, "DTDVERSION", '2', "unsupported-dtd-version");

    ElementReader cim(root);
    const pugi::xml_node message = cim.required("MESSAGE");
    cim.finish();
    request.messageId = checkedText(requiredAttribute(message, "ID"));
    request.protocolVersion = requiredAttribute(message, "PROTOCOLVERSION");
    checkVersion(message, "PROTOCOLVERSION", '1', "unsupported-protocol-version");

    ElementReader content(message);
    const pugi::xml_node simple = content.next();
    content.finish();
    if (isElement(simple, "MULTIREQ"))
        throw CimXmlError(501, "multiple-requests-unsupported", "batched requests are not supported");
    if (!isElement(simple, "SIMPLEREQ")) throwNotValid("<MESSAGE> holds no <SIMPLEREQ>");

    ElementReader calls(simple);
    calls.skip("CORRELATOR");
    const pugi::xml_node call = calls.next();
    calls.finish();
    const bool intrinsic = isElement(call, "IMETHODCALL");
    if (!intrinsic && !isElement(call, "METHODCALL"))
        throwNotValid("<SIMPLEREQ> holds no <IMETHODCALL> or <METHODCALL>");
    request.methodName = checkedText(requiredAttribute(call, "NAME"));
    decodeCimName(request.methodName, "method name", state);
    if (intrinsic)
        decodeIntrinsicCall(call, request, state);
    else
        decodeExtrinsicCall(call, request, state);
}

} // namespace

CimRequest decodeRequest(const std::string& body, const DecoderLimits& limits)
{
    // A body that does not even begin as XML is not a CIM request at all (request-not-valid, as
    // OpenPegasus answers); XML that breaks off or is malformed later is not well formed.
    const size_t first = body.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    const size_t start = body.find_first_not_of(" \t\r\n", first);
    if (start == std::string::npos || body[start] != '<') throwNotValid("the body is not an XML document");
    DecodeState state;
    state.maxDepth = limits.maxDepth;
    pugi::xml_document document;
    parseDocument(document, body.data(), body.size(), limits.maxDepth, limits.maxElements);

    CimRequest request;
    try
    {
        decodeMessage(document.document_element(), request, state);
    }
    catch (const Exception& error)
    {
        // The object model refused something the checks above let through: still a bad value.
        state.fail(CIM_ERR_INVALID_PARAMETER, static_cast<const char*>(error.getMessage().getCString()));
    }
    if (state.failed)
    {
        request.hasDecodeError = true;
        request.decodeErrorCode = state.code;
        request.decodeErrorText = state.text;
    }
    return request;
}

} // namespace cimhost
