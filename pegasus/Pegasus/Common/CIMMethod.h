// A method declaration: return type, qualifiers and parameters. A shared handle.
#ifndef Pegasus_CIMMethod_h
#define Pegasus_CIMMethod_h

#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/Linkage.h>
#include <Pegasus/Common/CIMName.h>
#include <Pegasus/Common/CIMType.h>
#include <Pegasus/Common/CIMQualifier.h>
#include <Pegasus/Common/CIMParameter.h>

PEGASUS_NAMESPACE_BEGIN

struct CIMMethodRep;
class CIMConstMethod;

class PEGASUS_COMMON_LINKAGE CIMMethod
{
public:
    CIMMethod();
    CIMMethod(const CIMMethod& x);
    CIMMethod(const CIMName& name, CIMType type, const CIMName& classOrigin = CIMName(),
              Boolean propagated = false);
    ~CIMMethod();
    CIMMethod& operator=(const CIMMethod& x);

    const CIMName& getName() const;
    void setName(const CIMName& name);
    CIMType getType() const;
    void setType(CIMType type);
    const CIMName& getClassOrigin() const;
    void setClassOrigin(const CIMName& classOrigin);
    Boolean getPropagated() const;
    void setPropagated(Boolean propagated);

    CIMMethod& addQualifier(const CIMQualifier& x);
    Uint32 findQualifier(const CIMName& name) const;
    CIMQualifier getQualifier(Uint32 index);
    CIMConstQualifier getQualifier(Uint32 index) const;
    void removeQualifier(Uint32 index);
    Uint32 getQualifierCount() const;

    CIMMethod& addParameter(const CIMParameter& x);
    Uint32 findParameter(const CIMName& name) const;
    CIMParameter getParameter(Uint32 index);
    CIMConstParameter getParameter(Uint32 index) const;
    void removeParameter(Uint32 index);
    Uint32 getParameterCount() const;

    Boolean isUninitialized() const;
    Boolean identical(const CIMConstMethod& x) const;
    CIMMethod clone() const;

private:
    CIMMethod(CIMMethodRep* rep);
    CIMMethodRep* _rep;
    friend class CIMConstMethod;
    friend struct CIMHandleAccess;
};

class PEGASUS_COMMON_LINKAGE CIMConstMethod
{
public:
    CIMConstMethod();
    CIMConstMethod(const CIMConstMethod& x);
    CIMConstMethod(const CIMMethod& x);
    CIMConstMethod(const CIMName& name, CIMType type, const CIMName& classOrigin = CIMName(),
                   Boolean propagated = false);
    ~CIMConstMethod();
    CIMConstMethod& operator=(const CIMConstMethod& x);
    CIMConstMethod& operator=(const CIMMethod& x);

    const CIMName& getName() const;
    CIMType getType() const;
    const CIMName& getClassOrigin() const;
    Boolean getPropagated() const;
    Uint32 findQualifier(const CIMName& name) const;
    CIMConstQualifier getQualifier(Uint32 index) const;
    Uint32 getQualifierCount() const;
    Uint32 findParameter(const CIMName& name) const;
    CIMConstParameter getParameter(Uint32 index) const;
    Uint32 getParameterCount() const;
    Boolean isUninitialized() const;
    Boolean identical(const CIMConstMethod& x) const;
    CIMMethod clone() const;

private:
    CIMMethodRep* _rep;
    friend class CIMMethod;
    friend struct CIMHandleAccess;
};

PEGASUS_NAMESPACE_END

#endif
