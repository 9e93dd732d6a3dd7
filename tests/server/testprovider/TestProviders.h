// The providers of the test module. Each serves the test classes of the dispatch tests and
// behaves in a known way, so the tests can tell what the host did with the answers.
#ifndef CIMHOST_TEST_TestProviders_h
#define CIMHOST_TEST_TestProviders_h

#include <Pegasus/Provider/CIMAssociationProvider.h>
#include <Pegasus/Provider/CIMInstanceProvider.h>
#include <Pegasus/Provider/CIMMethodProvider.h>

namespace testprovider
{

// Instance provider over an in-memory set per class, seeded with Test_Widget w1, w2 and
// Test_SpecialWidget s1; refuses enumerations of Test_RefusingWidget. Its method Echo answers the
// parameters it was given and how they arrived. It serves Test_Mirror by calling back into the host.
Pegasus::CIMProvider* createWidgetProvider();
// Association provider for Test_Membership (g1: w1, w2; g2: s1) and Test_Pairing (g1 with g2).
// Refuses any association class other than the one it is registered for; the pairing provider
// fails when asked about anything but a group.
Pegasus::CIMProvider* createAssociationProvider(bool pairing);
// Instance and method provider for Test_Broken that breaks the handler protocol.
Pegasus::CIMProvider* createBrokenProvider();

} // namespace testprovider

#endif
