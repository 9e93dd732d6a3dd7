// The indication provider interface and what a server hands it: a provider written against it is
// driven through the base interface, delivers through both forms of the handler, and reads the
// subscription containers out of a copied context.
#include <Pegasus/Provider/CIMIndicationProvider.h>

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace Pegasus;

namespace
{

std::string utf8(const String& s)
{
    return std::string(static_cast<const char*>(s.getCString()));
}

class Handler : public IndicationResponseHandler
{
public:
    std::vector<std::string> seen; // "<class>" or "<class> with context"
    void processing() override {}
    void complete() override {}
    void deliver(const CIMIndication& indication) override
    {
        seen.push_back(utf8(indication.getClassName().getString()));
    }
    void deliver(const Array<CIMIndication>& indications) override
    {
        for (Uint32 i = 0; i < indications.size(); ++i)
            deliver(indications[i]);
    }
    void deliver(const OperationContext&, const CIMIndication& indication) override
    {
        seen.push_back(utf8(indication.getClassName().getString()) + " with context");
    }
    void deliver(const OperationContext& context, const Array<CIMIndication>& indications) override
    {
        for (Uint32 i = 0; i < indications.size(); ++i)
            deliver(context, indications[i]);
    }
};

// Remembers its subscriptions' conditions and delivers one indication per enable.
class Provider : public CIMIndicationProvider
{
public:
    std::vector<std::string> conditions;
    IndicationResponseHandler* handler = nullptr;
    void initialize(CIMOMHandle&) override {}
    void terminate() override {}
    void enableIndications(IndicationResponseHandler& h) override
    {
        handler = &h;
        handler->deliver(CIMIndication(CIMName("CIM_InstCreation")));
        handler->deliver(OperationContext(), CIMIndication(CIMName("CIM_InstDeletion")));
    }
    void disableIndications() override { handler = nullptr; }
    void createSubscription(const OperationContext& context, const CIMObjectPath&,
                            const Array<CIMObjectPath>&, const CIMPropertyList&, const Uint16) override
    {
        SubscriptionFilterConditionContainer condition(
            context.get(SubscriptionFilterConditionContainer::NAME));
        conditions.push_back(utf8(condition.getFilterCondition()));
    }
    void modifySubscription(const OperationContext&, const CIMObjectPath&, const Array<CIMObjectPath>&,
                            const CIMPropertyList&, const Uint16) override
    {
    }
    void deleteSubscription(const OperationContext&, const CIMObjectPath&,
                            const Array<CIMObjectPath>&) override
    {
        conditions.pop_back();
    }
};

} // namespace

TEST(IndicationProvider, IsDrivenThroughTheInterfaceAndDeliversBothForms)
{
    Provider provider;
    CIMIndicationProvider& asServed = provider;
    OperationContext context;
    context.insert(SubscriptionFilterConditionContainer("SourceInstance ISA CIM_ConcreteJob", "DMTF:CQL"));
    asServed.createSubscription(context, CIMObjectPath(), Array<CIMObjectPath>(), CIMPropertyList(), 2);
    EXPECT_EQ(provider.conditions, std::vector<std::string>{"SourceInstance ISA CIM_ConcreteJob"});

    Handler handler;
    asServed.enableIndications(handler);
    EXPECT_EQ(handler.seen, (std::vector<std::string>{"CIM_InstCreation", "CIM_InstDeletion with context"}));
    asServed.disableIndications();
    EXPECT_EQ(provider.handler, nullptr);
    asServed.deleteSubscription(context, CIMObjectPath(), Array<CIMObjectPath>());
    EXPECT_TRUE(provider.conditions.empty());
}

TEST(IndicationProvider, SubscriptionContainersSurviveACopiedContext)
{
    CIMInstance subscription(CIMName("CIM_IndicationSubscription"));
    subscription.addProperty(CIMProperty(CIMName("SubscriptionState"), CIMValue(Uint16(2))));
    OperationContext original;
    original.insert(SubscriptionInstanceContainer(subscription));
    original.insert(SubscriptionFilterConditionContainer("JobState = 7", "WQL"));
    original.insert(SubscriptionFilterQueryContainer("SELECT * FROM CIM_InstModification", "DMTF:CQL",
                                                     CIMNamespaceName("root/snia")));
    const OperationContext copy(original);

    EXPECT_EQ(utf8(SubscriptionInstanceContainer(copy.get(SubscriptionInstanceContainer::NAME))
                       .getInstance()
                       .getClassName()
                       .getString()),
              "CIM_IndicationSubscription");
    const SubscriptionFilterConditionContainer condition(
        copy.get(SubscriptionFilterConditionContainer::NAME));
    EXPECT_EQ(utf8(condition.getFilterCondition()), "JobState = 7");
    EXPECT_EQ(utf8(condition.getQueryLanguage()), "WQL");
    const SubscriptionFilterQueryContainer query(copy.get(SubscriptionFilterQueryContainer::NAME));
    EXPECT_EQ(utf8(query.getFilterQuery()), "SELECT * FROM CIM_InstModification");
    EXPECT_EQ(utf8(query.getQueryLanguage()), "DMTF:CQL");
    EXPECT_EQ(utf8(query.getSourceNameSpace().getString()), "root/snia");

    // A container of another kind is refused, as for the identity container.
    EXPECT_THROW(SubscriptionFilterQueryContainer(copy.get(SubscriptionFilterConditionContainer::NAME)),
                 DynamicCastFailedException);
}
