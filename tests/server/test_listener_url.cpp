// Listener URLs: what CreateInstance of a destination accepts, and what it refuses saying why.
#include <gtest/gtest.h>

#include "ListenerUrl.h"
#include "SubscriptionPaths.h"

using namespace cimhost;

TEST(ListenerUrl, TheFormsListenersUseAreRead)
{
    struct Case
    {
        const char* text;
        bool https;
        const char* host;
        const char* port;
        const char* target;
    } cases[] = {
        {"http://127.0.0.1:5990/", false, "127.0.0.1", "5990", "/"},
        {"HTTPS://listener.example:5991/cimlistener/x?a=1", true, "listener.example", "5991",
         "/cimlistener/x?a=1"},
        {"http://[::1]:7000", false, "::1", "7000", "/"},
        {"http://host", false, "host", "80", "/"},
        {"https://host#part", true, "host", "443", "/"},
    };
    for (const Case& c : cases)
    {
        const ListenerUrl url = parseListenerUrl(c.text);
        EXPECT_EQ(c.https, url.https) << c.text;
        EXPECT_EQ(c.host, url.host) << c.text;
        EXPECT_EQ(c.port, url.port) << c.text;
        EXPECT_EQ(c.target, url.target) << c.text;
    }
}

TEST(ListenerUrl, WhatCannotBeReachedIsRefusedSayingWhy)
{
    const std::pair<const char*, const char*> cases[] = {
        {"127.0.0.1:5990", "starts with http://"},
        {"ftp://host/", "starts with http://"},
        {"http://", "names a host"},
        {"http://:5990/", "names a host"},
        {"http://host:0/", "port from 1 to 65535"},
        {"http://host:65536/", "port from 1 to 65535"},
        {"http://host:http/", "port from 1 to 65535"},
        {"http://user:pw@host/", "no user name"},
        {"http://[::1/", "lacks its ']'"},
        {"http://[fe80::1%eth0]/", "not an IPv6 address"},
        {"http://ho st/", "no spaces"},
        {"http://h\xc3\xa9te/", "not a host name"},
    };
    for (const auto& [text, why] : cases)
    {
        try
        {
            parseListenerUrl(text);
            ADD_FAILURE() << text << " was accepted";
        }
        catch (const ListenerUrlError& e)
        {
            EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << text << ": " << e.what();
        }
    }
}

TEST(SubscriptionPaths, OnePathKeyForOneInstanceHoweverItIsWritten)
{
    using Pegasus::CIMObjectPath;
    const CIMObjectPath filter("//a/interop:CIM_IndicationFilter.Name=\"f\",SystemName=\"s\"");
    const CIMObjectPath sameFilter("root/interop:cim_indicationfilter.systemname=\"s\",NAME=\"f\"");
    EXPECT_EQ(pathKey(filter), pathKey(sameFilter));
    EXPECT_NE(pathKey(filter), pathKey(CIMObjectPath("CIM_IndicationFilter.Name=\"F\",SystemName=\"s\"")));
    // A quote in a value cannot make two keys read as one.
    EXPECT_NE(pathKey(CIMObjectPath("X.A=\"1\\\",b=\\\"2\"")), pathKey(CIMObjectPath("X.A=\"1\",B=\"2\"")));

    const CIMObjectPath subscription(
        "//a/interop:CIM_IndicationSubscription.Filter=\"//a/interop:CIM_IndicationFilter.Name=\\\"f\\\"\","
        "Handler=\"//a/interop:CIM_ListenerDestinationCIMXML.Name=\\\"d\\\"\"");
    const CIMObjectPath local = localPath(subscription);
    EXPECT_EQ(std::string(local.toString().getCString()).find("interop"), std::string::npos);
    EXPECT_EQ(pathKey(subscription), pathKey(local));
    const CIMObjectPath served = servedPath(local, "b", Pegasus::CIMNamespaceName("root/PG_InterOp"));
    EXPECT_NE(std::string(served.toString().getCString()).find("//b/root/PG_InterOp:CIM_IndicationFilter"),
              std::string::npos);
}
