#include <memory>
#include <string>
#include <Pegasus/Common/CIMObject.h>
#include <Pegasus/Common/CIMObjectRep.h>
#include <Pegasus/Common/CIMClass.h>
#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/XmlWriter.h>

PEGASUS_NAMESPACE_BEGIN

// CIMObjectRep

CIMObjectRep::CIMObjectRep(Kind kind_, const CIMName& className_, const CIMName& superClassName_)
    : kind(kind_), className(requireElementName(className_)), path(String(), CIMNamespaceName(), className_),
      superClassName(superClassName_)
{
}

CIMObjectRep* CIMObjectRep::clone() const
{
    std::unique_ptr<CIMObjectRep> copy(new CIMObjectRep(*this));
    copy->qualifiers = qualifiers.clone();
    copy->properties = properties.clone();
    copy->methods = methods.clone();
    return copy.release();
}

Boolean CIMObjectRep::isShared() const
{
    if (refs.load(std::memory_order_acquire) > 1) return true;
    for (Uint32 i = 0; i < properties.size(); ++i)
        if (isSharedProperty(properties.at(i))) return true;
    return false;
}

Boolean CIMObjectRep::identical(const CIMObjectRep& x) const
{
    return this == &x || (kind == x.kind && className.equal(x.className) && path.identical(x.path) &&
                          superClassName.equal(x.superClassName) && qualifiers.identical(x.qualifiers) &&
                          properties.identical(x.properties) && methods.identical(x.methods));
}

void CIMObjectRep::setPath(const CIMObjectPath& newPath)
{
    if (newPath.getClassName().isNull()) throw UninitializedObjectException();
    if (!newPath.getClassName().equal(className)) throw TypeMismatchException();
    path = newPath;
}

void CIMObjectRep::filter(Boolean includeQualifiers, Boolean includeClassOrigin,
                          const CIMPropertyList& propertyList)
{
    if (!includeQualifiers) qualifiers.clear();

    // Backwards, so removing a property does not shift the ones still to visit.
    for (Uint32 i = properties.size(); i-- > 0;)
    {
        CIMProperty& property = properties.at(i);
        if (!propertyList.useThisProperty(property.getName()))
        {
            properties.remove(i);
            continue;
        }
        if (!includeQualifiers)
        {
            for (Uint32 q = property.getQualifierCount(); q-- > 0;)
                property.removeQualifier(q);
        }
        if (!includeClassOrigin) property.setClassOrigin(CIMName());
    }
}

CIMObjectRep* CIMObjectRep::cast(CIMObjectRep* rep, Kind wanted)
{
    if (!rep || rep->kind != wanted) throw DynamicCastFailedException();
    return rep;
}

namespace
{

String objectToXml(const CIMConstObject& object)
{
    if (object.isUninitialized()) throw UninitializedObjectException();
    std::string xml;
    XmlWriter::appendObjectElement(xml, object);
    return String(xml.data(), Uint32(xml.size()));
}

} // namespace

// CIMObject

CIMObject::CIMObject() : _rep(nullptr) {}

CIMObject::CIMObject(const CIMObject& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMObject::CIMObject(const CIMClass& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMObject::CIMObject(const CIMInstance& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMObject& CIMObject::operator=(const CIMObject& x)
{
    assignRep(_rep, x._rep);
    return *this;
}

CIMObject::~CIMObject()
{
    releaseRep(_rep);
}

const CIMName& CIMObject::getClassName() const
{
    return checkedRep(_rep).className;
}

const CIMObjectPath& CIMObject::getPath() const
{
    return checkedRep(_rep).path;
}

void CIMObject::setPath(const CIMObjectPath& path)
{
    checkedRep(_rep).setPath(path);
}

CIMObject& CIMObject::addQualifier(const CIMQualifier& qualifier)
{
    checkedRep(_rep).qualifiers.add(qualifier);
    return *this;
}

Uint32 CIMObject::findQualifier(const CIMName& name) const
{
    return checkedRep(_rep).qualifiers.find(name);
}

CIMQualifier CIMObject::getQualifier(Uint32 index)
{
    return checkedRep(_rep).qualifiers.at(index);
}

CIMConstQualifier CIMObject::getQualifier(Uint32 index) const
{
    return checkedRep(_rep).qualifiers.at(index);
}

void CIMObject::removeQualifier(Uint32 index)
{
    checkedRep(_rep).qualifiers.remove(index);
}

Uint32 CIMObject::getQualifierCount() const
{
    return checkedRep(_rep).qualifiers.size();
}

CIMObject& CIMObject::addProperty(const CIMProperty& x)
{
    checkedRep(_rep).properties.add(x);
    return *this;
}

Uint32 CIMObject::findProperty(const CIMName& name) const
{
    return checkedRep(_rep).properties.find(name);
}

CIMProperty CIMObject::getProperty(Uint32 index)
{
    return checkedRep(_rep).properties.at(index);
}

CIMConstProperty CIMObject::getProperty(Uint32 index) const
{
    return checkedRep(_rep).properties.at(index);
}

void CIMObject::removeProperty(Uint32 index)
{
    checkedRep(_rep).properties.remove(index);
}

Uint32 CIMObject::getPropertyCount() const
{
    return checkedRep(_rep).properties.size();
}

CIMObject CIMObject::clone() const
{
    return CIMHandleAccess::adopt<CIMObject>(checkedRep(_rep).clone());
}

Boolean CIMObject::identical(const CIMConstObject& x) const
{
    return checkedRep(_rep).identical(checkedRep(x._rep));
}

Boolean CIMObject::isUninitialized() const
{
    return _rep == nullptr;
}

String CIMObject::toString() const
{
    return objectToXml(CIMConstObject(*this));
}

Boolean CIMObject::isClass() const
{
    return checkedRep(_rep).kind == CIMObjectRep::CLASS;
}

Boolean CIMObject::isInstance() const
{
    return checkedRep(_rep).kind == CIMObjectRep::INSTANCE;
}

void CIMObject::instanceFilter(Boolean includeQualifiers, Boolean includeClassOrigin,
                               const CIMPropertyList& propertyList)
{
    checkedRep(_rep).filter(includeQualifiers, includeClassOrigin, propertyList);
}

// CIMConstObject

CIMConstObject::CIMConstObject() : _rep(nullptr) {}

CIMConstObject::CIMConstObject(const CIMConstObject& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMConstObject::CIMConstObject(const CIMObject& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMConstObject::CIMConstObject(const CIMClass& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMConstObject::CIMConstObject(const CIMInstance& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMConstObject::CIMConstObject(const CIMConstClass& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMConstObject::CIMConstObject(const CIMConstInstance& x) : _rep(x._rep)
{
    acquireRep(_rep);
}

CIMConstObject& CIMConstObject::operator=(const CIMConstObject& x)
{
    assignRep(_rep, x._rep);
    return *this;
}

CIMConstObject::~CIMConstObject()
{
    releaseRep(_rep);
}

const CIMName& CIMConstObject::getClassName() const
{
    return checkedRep(_rep).className;
}

const CIMObjectPath& CIMConstObject::getPath() const
{
    return checkedRep(_rep).path;
}

Uint32 CIMConstObject::findQualifier(const CIMName& name) const
{
    return checkedRep(_rep).qualifiers.find(name);
}

CIMConstQualifier CIMConstObject::getQualifier(Uint32 index) const
{
    return checkedRep(_rep).qualifiers.at(index);
}

Uint32 CIMConstObject::getQualifierCount() const
{
    return checkedRep(_rep).qualifiers.size();
}

Uint32 CIMConstObject::findProperty(const CIMName& name) const
{
    return checkedRep(_rep).properties.find(name);
}

CIMConstProperty CIMConstObject::getProperty(Uint32 index) const
{
    return checkedRep(_rep).properties.at(index);
}

Uint32 CIMConstObject::getPropertyCount() const
{
    return checkedRep(_rep).properties.size();
}

CIMObject CIMConstObject::clone() const
{
    return CIMHandleAccess::adopt<CIMObject>(checkedRep(_rep).clone());
}

Boolean CIMConstObject::identical(const CIMConstObject& x) const
{
    return checkedRep(_rep).identical(checkedRep(x._rep));
}

Boolean CIMConstObject::isUninitialized() const
{
    return _rep == nullptr;
}

String CIMConstObject::toString() const
{
    return objectToXml(*this);
}

Boolean CIMConstObject::isClass() const
{
    return checkedRep(_rep).kind == CIMObjectRep::CLASS;
}

Boolean CIMConstObject::isInstance() const
{
    return checkedRep(_rep).kind == CIMObjectRep::INSTANCE;
}

PEGASUS_NAMESPACE_END
