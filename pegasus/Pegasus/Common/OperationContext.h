// Per-operation context: a set of named containers (the caller's identity and the like).
#ifndef Pegasus_OperationContext_h
#define Pegasus_OperationContext_h

#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/Linkage.h>
#include <Pegasus/Common/String.h>
#include <Pegasus/Common/Exception.h>

PEGASUS_NAMESPACE_BEGIN

struct OperationContextRep;

class PEGASUS_COMMON_LINKAGE OperationContext
{
public:
    class PEGASUS_COMMON_LINKAGE Container
    {
    public:
        virtual ~Container();
        virtual String getName() const = 0;
        virtual Container* clone() const = 0;
        virtual void destroy() = 0;
    };

    OperationContext();
    OperationContext(const OperationContext& context);
    virtual ~OperationContext();
    OperationContext& operator=(const OperationContext& context);

    void clear();
    const Container& get(const String& containerName) const;
    Boolean contains(const String& containerName) const;
    void set(const Container& container);
    void insert(const Container& container);
    void remove(const String& containerName);

protected:
    OperationContextRep* _rep;
};

class PEGASUS_COMMON_LINKAGE IdentityContainer : virtual public OperationContext::Container
{
public:
    static const String NAME;

    IdentityContainer(const OperationContext::Container& container);
    IdentityContainer(const IdentityContainer& container);
    IdentityContainer(const String& userName);
    virtual ~IdentityContainer();
    IdentityContainer& operator=(const IdentityContainer& container);

    virtual String getName() const;
    virtual OperationContext::Container* clone() const;
    virtual void destroy();

    String getUserName() const;

private:
    String _userName;
};

PEGASUS_NAMESPACE_END

#endif
