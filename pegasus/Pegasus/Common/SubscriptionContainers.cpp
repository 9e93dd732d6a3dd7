// The containers an indication service puts in the context of a provider's subscription calls.
#include <Pegasus/Common/OperationContext.h>

PEGASUS_NAMESPACE_BEGIN

namespace
{
template <class Wanted> const Wanted& castOrThrow(const OperationContext::Container& container)
{
    const Wanted* wanted = dynamic_cast<const Wanted*>(&container);
    if (!wanted) throw DynamicCastFailedException();
    return *wanted;
}
} // namespace

// ---- SubscriptionInstanceContainer ------------------------------------------------------------------

const String SubscriptionInstanceContainer::NAME = "SubscriptionInstanceContainer";

SubscriptionInstanceContainer::SubscriptionInstanceContainer(const OperationContext::Container& container)
    : _instance(castOrThrow<SubscriptionInstanceContainer>(container)._instance)
{
}

SubscriptionInstanceContainer::SubscriptionInstanceContainer(const SubscriptionInstanceContainer& container)
    : OperationContext::Container(), _instance(container._instance)
{
}

SubscriptionInstanceContainer::SubscriptionInstanceContainer(const CIMInstance& subscriptionInstance)
    : _instance(subscriptionInstance)
{
}

SubscriptionInstanceContainer::~SubscriptionInstanceContainer() = default;

SubscriptionInstanceContainer&
SubscriptionInstanceContainer::operator=(const SubscriptionInstanceContainer& container)
{
    _instance = container._instance;
    return *this;
}

String SubscriptionInstanceContainer::getName() const
{
    return NAME;
}

OperationContext::Container* SubscriptionInstanceContainer::clone() const
{
    return new SubscriptionInstanceContainer(*this);
}

void SubscriptionInstanceContainer::destroy()
{
    delete this;
}

CIMInstance SubscriptionInstanceContainer::getInstance() const
{
    return _instance;
}

// ---- SubscriptionFilterConditionContainer -----------------------------------------------------------

const String SubscriptionFilterConditionContainer::NAME = "SubscriptionFilterConditionContainer";

SubscriptionFilterConditionContainer::SubscriptionFilterConditionContainer(
    const OperationContext::Container& container)
    : SubscriptionFilterConditionContainer(castOrThrow<SubscriptionFilterConditionContainer>(container))
{
}

SubscriptionFilterConditionContainer::SubscriptionFilterConditionContainer(
    const SubscriptionFilterConditionContainer& container)
    : OperationContext::Container(), _filterCondition(container._filterCondition),
      _queryLanguage(container._queryLanguage)
{
}

SubscriptionFilterConditionContainer::SubscriptionFilterConditionContainer(const String& filterCondition,
                                                                           const String& queryLanguage)
    : _filterCondition(filterCondition), _queryLanguage(queryLanguage)
{
}

SubscriptionFilterConditionContainer::~SubscriptionFilterConditionContainer() = default;

SubscriptionFilterConditionContainer&
SubscriptionFilterConditionContainer::operator=(const SubscriptionFilterConditionContainer& container)
{
    _filterCondition = container._filterCondition;
    _queryLanguage = container._queryLanguage;
    return *this;
}

String SubscriptionFilterConditionContainer::getName() const
{
    return NAME;
}

OperationContext::Container* SubscriptionFilterConditionContainer::clone() const
{
    return new SubscriptionFilterConditionContainer(*this);
}

void SubscriptionFilterConditionContainer::destroy()
{
    delete this;
}

String SubscriptionFilterConditionContainer::getFilterCondition() const
{
    return _filterCondition;
}

String SubscriptionFilterConditionContainer::getQueryLanguage() const
{
    return _queryLanguage;
}

// ---- SubscriptionFilterQueryContainer ---------------------------------------------------------------

const String SubscriptionFilterQueryContainer::NAME = "SubscriptionFilterQueryContainer";

SubscriptionFilterQueryContainer::SubscriptionFilterQueryContainer(
    const OperationContext::Container& container)
    : SubscriptionFilterQueryContainer(castOrThrow<SubscriptionFilterQueryContainer>(container))
{
}

SubscriptionFilterQueryContainer::SubscriptionFilterQueryContainer(
    const SubscriptionFilterQueryContainer& container)
    : OperationContext::Container(), _filterQuery(container._filterQuery),
      _queryLanguage(container._queryLanguage), _sourceNameSpace(container._sourceNameSpace)
{
}

SubscriptionFilterQueryContainer::SubscriptionFilterQueryContainer(const String& filterQuery,
                                                                   const String& queryLanguage,
                                                                   const CIMNamespaceName& sourceNameSpace)
    : _filterQuery(filterQuery), _queryLanguage(queryLanguage), _sourceNameSpace(sourceNameSpace)
{
}

SubscriptionFilterQueryContainer::~SubscriptionFilterQueryContainer() = default;

SubscriptionFilterQueryContainer&
SubscriptionFilterQueryContainer::operator=(const SubscriptionFilterQueryContainer& container)
{
    _filterQuery = container._filterQuery;
    _queryLanguage = container._queryLanguage;
    _sourceNameSpace = container._sourceNameSpace;
    return *this;
}

String SubscriptionFilterQueryContainer::getName() const
{
    return NAME;
}

OperationContext::Container* SubscriptionFilterQueryContainer::clone() const
{
    return new SubscriptionFilterQueryContainer(*this);
}

void SubscriptionFilterQueryContainer::destroy()
{
    delete this;
}

String SubscriptionFilterQueryContainer::getFilterQuery() const
{
    return _filterQuery;
}

String SubscriptionFilterQueryContainer::getQueryLanguage() const
{
    return _queryLanguage;
}

CIMNamespaceName SubscriptionFilterQueryContainer::getSourceNameSpace() const
{
    return _sourceNameSpace;
}

PEGASUS_NAMESPACE_END
