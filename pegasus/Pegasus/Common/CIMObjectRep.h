// The one representation behind CIMObject, CIMInstance, CIMClass and their Const forms. It knows
// whether it is a class or an instance, so casts between the handles can be checked.
#ifndef Pegasus_CIMObjectRep_h
#define Pegasus_CIMObjectRep_h

#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/CIMName.h>
#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/CIMQualifier.h>
#include <Pegasus/Common/CIMProperty.h>
#include <Pegasus/Common/CIMMethod.h>
#include <Pegasus/Common/CIMPropertyList.h>
#include <Pegasus/Common/CIMHandleAccess.h>
#include <Pegasus/Common/CIMNamedList.h>

PEGASUS_NAMESPACE_BEGIN

struct CIMObjectRep : CIMSharedRep
{
    enum Kind
    {
        CLASS,
        INSTANCE
    };

    // The path starts out as the class name alone.
    CIMObjectRep(Kind kind, const CIMName& className, const CIMName& superClassName = CIMName());

    // Deep copy: qualifiers, properties and methods are cloned.
    CIMObjectRep* clone() const;

    Boolean identical(const CIMObjectRep& x) const;

    // True when another handle holds this rep or one of its properties: whoever changes the
    // object then must change a clone, or the other holder sees the change.
    Boolean isShared() const;

    // The path must name this object's class (ignoring case).
    void setPath(const CIMObjectPath& newPath);

    // Drops qualifiers (of the object and its properties) unless includeQualifiers, clears property
    // class origins unless includeClassOrigin, and keeps only the listed properties of a non-null list.
    void filter(Boolean includeQualifiers, Boolean includeClassOrigin, const CIMPropertyList& propertyList);

    // rep itself if it is of the wanted kind; DynamicCastFailedException otherwise, also for no rep.
    static CIMObjectRep* cast(CIMObjectRep* rep, Kind wanted);

    const Kind kind;
    const CIMName className;
    CIMObjectPath path;
    CIMName superClassName;
    CIMNamedList<CIMQualifier> qualifiers;
    CIMNamedList<CIMProperty> properties;
    CIMNamedList<CIMMethod> methods;
};

// True when more than one handle holds the property's rep.
Boolean isSharedProperty(const CIMProperty& property);

PEGASUS_NAMESPACE_END

#endif
