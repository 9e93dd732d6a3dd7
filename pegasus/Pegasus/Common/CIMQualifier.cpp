#include <Pegasus/Common/CIMQualifier.h>
#include <Pegasus/Common/CIMHandleAccess.h>
#include <Pegasus/Common/CIMNamedList.h>

PEGASUS_NAMESPACE_BEGIN

struct CIMQualifierRep : CIMSharedRep
{
    CIMQualifierRep(const CIMName& name_, const CIMValue& value_, const CIMFlavor& flavor_,
                    Boolean propagated_)
        : name(requireElementName(name_)), value(value_), flavor(flavor_), propagated(propagated_)
    {
    }

    Boolean identical(const CIMQualifierRep& x) const
    {
        return this == &x || (name.equal(x.name) && value.equal(x.value) && flavor.equal(x.flavor) &&
                              propagated == x.propagated);
    }

    CIMName name;
    CIMValue value;
    CIMFlavor flavor;
    Boolean propagated;
};

// CIMQualifier

CIMQualifier::CIMQualifier() : _rep(nullptr) {}

CIMQualifier::CIMQualifier(const CIMQualifier& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMQualifier::CIMQualifier(const CIMName& name, const CIMValue& value, const CIMFlavor& flavor,
                           Boolean propagated)
    : _rep(new CIMQualifierRep(name, value, flavor, propagated))
{
}

CIMQualifier::CIMQualifier(CIMQualifierRep* rep) : _rep(rep) {}

CIMQualifier::~CIMQualifier()
{
    releaseRep(_rep);
}

CIMQualifier& CIMQualifier::operator=(const CIMQualifier& x)
{
    assignRep(_rep, x._rep);
    return *this;
}

const CIMName& CIMQualifier::getName() const
{
    return checkedRep(_rep).name;
}

void CIMQualifier::setName(const CIMName& name)
{
    checkedRep(_rep).name = requireElementName(name);
}

CIMType CIMQualifier::getType() const
{
    return checkedRep(_rep).value.getType();
}

Boolean CIMQualifier::isArray() const
{
    return checkedRep(_rep).value.isArray();
}

const CIMValue& CIMQualifier::getValue() const
{
    return checkedRep(_rep).value;
}

void CIMQualifier::setValue(const CIMValue& value)
{
    checkedRep(_rep).value = value;
}

// setFlavor and unsetFlavor set and clear bits; the flavor is never replaced as a whole.
void CIMQualifier::setFlavor(const CIMFlavor& flavor)
{
    checkedRep(_rep).flavor.addFlavor(flavor);
}

void CIMQualifier::unsetFlavor(const CIMFlavor& flavor)
{
    checkedRep(_rep).flavor.removeFlavor(flavor);
}

const CIMFlavor& CIMQualifier::getFlavor() const
{
    return checkedRep(_rep).flavor;
}

Uint32 CIMQualifier::getPropagated() const
{
    return checkedRep(_rep).propagated ? 1 : 0;
}

void CIMQualifier::setPropagated(Boolean propagated)
{
    checkedRep(_rep).propagated = propagated;
}

Boolean CIMQualifier::isUninitialized() const
{
    return _rep == nullptr;
}

Boolean CIMQualifier::identical(const CIMConstQualifier& x) const
{
    return checkedRep(_rep).identical(checkedRep(x._rep));
}

CIMQualifier CIMQualifier::clone() const
{
    return CIMQualifier(new CIMQualifierRep(checkedRep(_rep)));
}

// CIMConstQualifier

CIMConstQualifier::CIMConstQualifier() : _rep(nullptr) {}

CIMConstQualifier::CIMConstQualifier(const CIMConstQualifier& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMConstQualifier::CIMConstQualifier(const CIMQualifier& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMConstQualifier::CIMConstQualifier(const CIMName& name, const CIMValue& value, const CIMFlavor& flavor,
                                     Boolean propagated)
    : _rep(new CIMQualifierRep(name, value, flavor, propagated))
{
}

CIMConstQualifier::~CIMConstQualifier()
{
    releaseRep(_rep);
}

CIMConstQualifier& CIMConstQualifier::operator=(const CIMConstQualifier& x)
{
    assignRep(_rep, x._rep);
    return *this;
}

CIMConstQualifier& CIMConstQualifier::operator=(const CIMQualifier& x)
{
    assignRep(_rep, x._rep);
    return *this;
}

const CIMName& CIMConstQualifier::getName() const
{
    return checkedRep(_rep).name;
}

CIMType CIMConstQualifier::getType() const
{
    return checkedRep(_rep).value.getType();
}

Boolean CIMConstQualifier::isArray() const
{
    return checkedRep(_rep).value.isArray();
}

const CIMValue& CIMConstQualifier::getValue() const
{
    return checkedRep(_rep).value;
}

const CIMFlavor& CIMConstQualifier::getFlavor() const
{
    return checkedRep(_rep).flavor;
}

Uint32 CIMConstQualifier::getPropagated() const
{
    return checkedRep(_rep).propagated ? 1 : 0;
}

Boolean CIMConstQualifier::isUninitialized() const
{
    return _rep == nullptr;
}

Boolean CIMConstQualifier::identical(const CIMConstQualifier& x) const
{
    return checkedRep(_rep).identical(checkedRep(x._rep));
}

CIMQualifier CIMConstQualifier::clone() const
{
    return CIMQualifier(new CIMQualifierRep(checkedRep(_rep)));
}

PEGASUS_NAMESPACE_END
