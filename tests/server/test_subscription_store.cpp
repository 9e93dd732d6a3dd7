// The subscriptions file: what is acknowledged is on the disk and comes back after a restart; a
// failed write changes nothing; a file that is not a store stops start-up naming it.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include <Pegasus/Common/CIMProperty.h>
#include <Pegasus/Common/XmlWriter.h>

#include "SubscriptionStore.h"

using namespace Pegasus;
using cimhost::SubscriptionStore;
using cimhost::SubscriptionStoreError;

namespace
{

CIMObjectPath keyed(const char* className, const char* name)
{
    Array<CIMKeyBinding> keys;
    keys.append(CIMKeyBinding(CIMName("CreationClassName"), String(className), CIMKeyBinding::STRING));
    keys.append(CIMKeyBinding(CIMName("Name"), String(name), CIMKeyBinding::STRING));
    return CIMObjectPath(String(), CIMNamespaceName("interop"), CIMName(className), keys);
}

CIMInstance filter(const char* name, const char* query)
{
    CIMInstance instance(CIMName("CIM_IndicationFilter"));
    instance.addProperty(CIMProperty(CIMName("CreationClassName"), CIMValue(String("CIM_IndicationFilter"))));
    instance.addProperty(CIMProperty(CIMName("Name"), CIMValue(String(name))));
    instance.addProperty(CIMProperty(CIMName("Query"), CIMValue(String(query))));
    instance.addProperty(
        CIMProperty(CIMName("SourceNamespaces"), CIMValue(Array<String>(1, String("root/snia")))));
    instance.setPath(keyed("CIM_IndicationFilter", name));
    return instance;
}

CIMInstance subscription(const CIMObjectPath& filterPath, const CIMObjectPath& handler, Uint16 state)
{
    CIMInstance instance(CIMName("CIM_IndicationSubscription"));
    instance.addProperty(CIMProperty(CIMName("Filter"), CIMValue(filterPath)));
    instance.addProperty(CIMProperty(CIMName("Handler"), CIMValue(handler)));
    instance.addProperty(CIMProperty(CIMName("SubscriptionState"), CIMValue(state)));
    Array<CIMKeyBinding> keys;
    keys.append(CIMKeyBinding(CIMName("Filter"), CIMValue(filterPath)));
    keys.append(CIMKeyBinding(CIMName("Handler"), CIMValue(handler)));
    instance.setPath(
        CIMObjectPath(String(), CIMNamespaceName("interop"), CIMName("CIM_IndicationSubscription"), keys));
    return instance;
}

// The same properties and the same class and keys (the store keeps no host or namespace).
bool sameInstance(const CIMInstance& a, const CIMInstance& b)
{
    std::string first, second;
    XmlWriter::appendValueNamedInstanceElement(first, a);
    XmlWriter::appendValueNamedInstanceElement(second, b);
    return first == second;
}

class SubscriptionStoreTest : public ::testing::Test
{
protected:
    void TearDown() override { std::remove(file.c_str()); }
    std::string file = ::testing::TempDir() + "subscriptions-" + std::to_string(::getpid()) + ".xml";
};

} // namespace

TEST_F(SubscriptionStoreTest, WhatIsAcknowledgedComesBackAfterARestart)
{
    const CIMInstance jobs =
        filter("jobs", "SELECT * FROM CIM_InstModification WHERE SourceInstance ISA CIM_ConcreteJob");
    const CIMInstance alerts = filter("alerts & <more>", "SELECT * FROM CIM_AlertIndication");
    const CIMObjectPath listener = keyed("CIM_ListenerDestinationCIMXML", "listener");
    const CIMInstance enabled = subscription(jobs.getPath(), listener, 2);
    {
        SubscriptionStore store(file);
        EXPECT_TRUE(store.add(jobs));
        EXPECT_TRUE(store.add(alerts));
        EXPECT_TRUE(store.add(enabled));
        EXPECT_FALSE(store.add(filter("jobs", "SELECT * FROM CIM_InstCreation"))) << "the same keys";
        EXPECT_TRUE(store.remove(alerts.getPath()));
        EXPECT_FALSE(store.remove(alerts.getPath()));
        EXPECT_TRUE(store.replace(subscription(jobs.getPath(), listener, 4)));
        EXPECT_FALSE(store.replace(subscription(alerts.getPath(), listener, 4)));
    }
    const SubscriptionStore restarted(file);
    ASSERT_EQ(restarted.instances(CIMName("CIM_IndicationFilter")).size(), 1u);
    EXPECT_TRUE(sameInstance(restarted.instances(CIMName("CIM_IndicationFilter"))[0], jobs));
    // Found by class and keys whatever host and namespace the path names.
    CIMObjectPath elsewhere = enabled.getPath();
    elsewhere.setHost("array.example");
    elsewhere.setNameSpace(CIMNamespaceName("root/PG_InterOp"));
    const std::optional<CIMInstance> kept = restarted.find(elsewhere);
    ASSERT_TRUE(kept.has_value());
    EXPECT_TRUE(sameInstance(*kept, subscription(jobs.getPath(), listener, 4)));
    EXPECT_EQ(restarted.instances(CIMName("CIM_ListenerDestinationCIMXML")).size(), 0u);
}

TEST_F(SubscriptionStoreTest, AFailedWriteChangesNothingAndABadFileStopsStartUp)
{
    SubscriptionStore unwritable(::testing::TempDir() + "no-such-folder/subscriptions.xml");
    EXPECT_THROW(unwritable.add(filter("jobs", "SELECT * FROM CIM_InstCreation")), SubscriptionStoreError);
    EXPECT_FALSE(unwritable.find(keyed("CIM_IndicationFilter", "jobs")).has_value());

    for (const char* content :
         {"<?xml version=\"1.0\"?><OTHER/>", "<CIMHOST.SUBSCRIPTIONS><VALUE.NAMEDINSTANCE>",
          "<CIMHOST.SUBSCRIPTIONS><VALUE.NAMEDINSTANCE><INSTANCENAME CLASSNAME=\"A\"/>"
          "<INSTANCE CLASSNAME=\"B\"/></VALUE.NAMEDINSTANCE></CIMHOST.SUBSCRIPTIONS>"})
    {
        std::ofstream(file) << content;
        try
        {
            SubscriptionStore store(file);
            ADD_FAILURE() << "loaded: " << content;
        }
        catch (const SubscriptionStoreError& e)
        {
            EXPECT_NE(std::string(e.what()).find(file), std::string::npos) << e.what();
        }
    }
}
