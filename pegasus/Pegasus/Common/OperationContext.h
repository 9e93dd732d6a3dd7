// Per-operation context: a set of named containers (the caller's identity and the like).
#ifndef Pegasus_OperationContext_h
#define Pegasus_OperationContext_h

#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/Linkage.h>
#include <Pegasus/Common/String.h>
#include <Pegasus/Common/Exception.h>
#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMName.h>

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

// What an indication service tells an indication provider about a subscription, in the context of
// createSubscription, modifySubscription and deleteSubscription.
class PEGASUS_COMMON_LINKAGE SubscriptionInstanceContainer : virtual public OperationContext::Container
{
public:
    static const String NAME;

    SubscriptionInstanceContainer(const OperationContext::Container& container);
    SubscriptionInstanceContainer(const SubscriptionInstanceContainer& container);
    SubscriptionInstanceContainer(const CIMInstance& subscriptionInstance);
    virtual ~SubscriptionInstanceContainer();
    SubscriptionInstanceContainer& operator=(const SubscriptionInstanceContainer& container);

    virtual String getName() const;
    virtual OperationContext::Container* clone() const;
    virtual void destroy();

    CIMInstance getInstance() const;

private:
    CIMInstance _instance;
};

// The filter's WHERE clause and its query language.
class PEGASUS_COMMON_LINKAGE SubscriptionFilterConditionContainer : virtual public OperationContext::Container
{
public:
    static const String NAME;

    SubscriptionFilterConditionContainer(const OperationContext::Container& container);
    SubscriptionFilterConditionContainer(const SubscriptionFilterConditionContainer& container);
    SubscriptionFilterConditionContainer(const String& filterCondition, const String& queryLanguage);
    virtual ~SubscriptionFilterConditionContainer();
    SubscriptionFilterConditionContainer& operator=(const SubscriptionFilterConditionContainer& container);

    virtual String getName() const;
    virtual OperationContext::Container* clone() const;
    virtual void destroy();

    String getFilterCondition() const;
    String getQueryLanguage() const;

private:
    String _filterCondition;
    String _queryLanguage;
};

// The filter's whole query, its language and the namespace it watches.
class PEGASUS_COMMON_LINKAGE SubscriptionFilterQueryContainer : virtual public OperationContext::Container
{
public:
    static const String NAME;

    SubscriptionFilterQueryContainer(const OperationContext::Container& container);
    SubscriptionFilterQueryContainer(const SubscriptionFilterQueryContainer& container);
    SubscriptionFilterQueryContainer(const String& filterQuery, const String& queryLanguage,
                                     const CIMNamespaceName& sourceNameSpace);
    virtual ~SubscriptionFilterQueryContainer();
    SubscriptionFilterQueryContainer& operator=(const SubscriptionFilterQueryContainer& container);

    virtual String getName() const;
    virtual OperationContext::Container* clone() const;
    virtual void destroy();

    String getFilterQuery() const;
    String getQueryLanguage() const;
    CIMNamespaceName getSourceNameSpace() const;

private:
    String _filterQuery;
    String _queryLanguage;
    CIMNamespaceName _sourceNameSpace;
};

PEGASUS_NAMESPACE_END

#endif
