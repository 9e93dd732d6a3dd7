#include <Pegasus/Common/CIMParamValue.h>
#include <Pegasus/Common/CIMHandleAccess.h>

PEGASUS_NAMESPACE_BEGIN

namespace
{

const String& requireParameterName(const String& name)
{
    if (name.size() == 0) throw UninitializedObjectException();
    return name;
}

} // namespace

struct CIMParamValueRep : CIMSharedRep
{
    CIMParamValueRep(const String& name_, const CIMValue& value_, Boolean isTyped_)
        : name(requireParameterName(name_)), value(value_), isTyped(isTyped_)
    {
    }

    String name;
    CIMValue value;
    Boolean isTyped;
};

CIMParamValue::CIMParamValue() : _rep(nullptr) {}

CIMParamValue::CIMParamValue(const CIMParamValue& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMParamValue& CIMParamValue::operator=(const CIMParamValue& x)
{
    assignRep(_rep, x._rep);
    return *this;
}

CIMParamValue::CIMParamValue(String parameterName, CIMValue value, Boolean isTyped)
    : _rep(new CIMParamValueRep(parameterName, value, isTyped))
{
}

CIMParamValue::CIMParamValue(CIMParamValueRep* rep) : _rep(rep) {}

CIMParamValue::~CIMParamValue()
{
    releaseRep(_rep);
}

String CIMParamValue::getParameterName() const
{
    return checkedRep(_rep).name;
}

CIMValue CIMParamValue::getValue() const
{
    return checkedRep(_rep).value;
}

Boolean CIMParamValue::isTyped() const
{
    return checkedRep(_rep).isTyped;
}

void CIMParamValue::setParameterName(String& parameterName)
{
    checkedRep(_rep).name = requireParameterName(parameterName);
}

void CIMParamValue::setValue(CIMValue& value)
{
    checkedRep(_rep).value = value;
}

void CIMParamValue::setIsTyped(Boolean isTyped)
{
    checkedRep(_rep).isTyped = isTyped;
}

// The value is copy-on-write and clones embedded objects itself, so copying the rep is a deep copy.
CIMParamValue CIMParamValue::clone() const
{
    return CIMParamValue(new CIMParamValueRep(checkedRep(_rep)));
}

Boolean CIMParamValue::isUninitialized() const
{
    return _rep == nullptr;
}

PEGASUS_NAMESPACE_END
