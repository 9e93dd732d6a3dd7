// The representation behind CIMProperty and CIMConstProperty, for the object model's own code
// that reads many properties at once (an instance's property list, the XML writer) without a call
// per field.
#ifndef Pegasus_CIMPropertyRep_h
#define Pegasus_CIMPropertyRep_h

#include <memory>
#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/CIMName.h>
#include <Pegasus/Common/CIMValue.h>
#include <Pegasus/Common/CIMQualifier.h>
#include <Pegasus/Common/CIMHandleAccess.h>
#include <Pegasus/Common/CIMNamedList.h>

PEGASUS_NAMESPACE_BEGIN

// A declared fixed size must agree with the value. A null array carries no elements to count, so only
// its array flag is checked.
inline Boolean fitsArraySize(const CIMValue& value, Uint32 arraySize)
{
    if (arraySize == 0) return true;
    return value.isArray() && (value.isNull() || value.getArraySize() == arraySize);
}

struct CIMPropertyRep : CIMSharedRep
{
    CIMPropertyRep(const CIMName& name_, const CIMValue& value_, Uint32 arraySize_,
                   const CIMName& referenceClassName_, const CIMName& classOrigin_, Boolean propagated_)
        : name(requireElementName(name_)), value(value_), arraySize(arraySize_),
          referenceClassName(referenceClassName_), classOrigin(classOrigin_), propagated(propagated_)
    {
        if (!fitsArraySize(value, arraySize)) throw TypeMismatchException();
        if (value.isArray() && value.getType() == CIMTYPE_REFERENCE) throw TypeMismatchException();
        if (!referenceClassName.isNull() && value.getType() != CIMTYPE_REFERENCE)
            throw TypeMismatchException();
    }

    // The type and array flag are fixed at construction, even while the value is null.
    void setValue(const CIMValue& newValue)
    {
        if (!value.typeCompatible(newValue) || !fitsArraySize(newValue, arraySize))
            throw TypeMismatchException();
        value = newValue;
    }

    CIMPropertyRep* clone() const
    {
        std::unique_ptr<CIMPropertyRep> copy(new CIMPropertyRep(*this));
        copy->qualifiers = qualifiers.clone();
        return copy.release();
    }

    Boolean identical(const CIMPropertyRep& x) const
    {
        return this == &x ||
               (name.equal(x.name) && value.equal(x.value) && arraySize == x.arraySize &&
                referenceClassName.equal(x.referenceClassName) && classOrigin.equal(x.classOrigin) &&
                propagated == x.propagated && qualifiers.identical(x.qualifiers));
    }

    CIMName name;
    CIMValue value;
    Uint32 arraySize;
    CIMName referenceClassName;
    CIMName classOrigin;
    Boolean propagated;
    CIMNamedList<CIMQualifier> qualifiers;
};

PEGASUS_NAMESPACE_END

#endif
