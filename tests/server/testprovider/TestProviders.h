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
// parameters it was given and how they arrived.
Pegasus::CIMProvider* createWidgetProvider();
// Association provider for Test_Membership (g1: w1, w2; g2: s1) and Test_Pairing (g1 with g2).
// Refuses any association class other than the one it is registered for; the pairing provider
// fails when asked about anything but a group.
Pegasus::CIMProvider* createAssociationProvider(bool pairing);
// Instance and method provider for Test_Broken that breaks the handler protocol.
Pegasus::CIMProvider* createBrokenProvider();
// Instance and method provider for Test_Mirror that answers by calling back into the host.
Pegasus::CIMProvider* createMirrorProvider();

// Base for providers that serve only some instance operations.
class RefusingInstanceProvider : public Pegasus::CIMInstanceProvider
{
public:
    void initialize(Pegasus::CIMOMHandle& cimom) override { _cimom = cimom; }
    void terminate() override { delete this; }
    void getInstance(const Pegasus::OperationContext&, const Pegasus::CIMObjectPath&, const Pegasus::Boolean,
                     const Pegasus::Boolean, const Pegasus::CIMPropertyList&,
                     Pegasus::InstanceResponseHandler&) override
    {
        refuse();
    }
    void enumerateInstances(const Pegasus::OperationContext&, const Pegasus::CIMObjectPath&,
                            const Pegasus::Boolean, const Pegasus::Boolean, const Pegasus::CIMPropertyList&,
                            Pegasus::InstanceResponseHandler&) override
    {
        refuse();
    }
    void enumerateInstanceNames(const Pegasus::OperationContext&, const Pegasus::CIMObjectPath&,
                                Pegasus::ObjectPathResponseHandler&) override
    {
        refuse();
    }
    void modifyInstance(const Pegasus::OperationContext&, const Pegasus::CIMObjectPath&,
                        const Pegasus::CIMInstance&, const Pegasus::Boolean, const Pegasus::CIMPropertyList&,
                        Pegasus::ResponseHandler&) override
    {
        refuse();
    }
    void createInstance(const Pegasus::OperationContext&, const Pegasus::CIMObjectPath&,
                        const Pegasus::CIMInstance&, Pegasus::ObjectPathResponseHandler&) override
    {
        refuse();
    }
    void deleteInstance(const Pegasus::OperationContext&, const Pegasus::CIMObjectPath&,
                        Pegasus::ResponseHandler&) override
    {
        refuse();
    }

protected:
    static void refuse() { throw Pegasus::CIMNotSupportedException("not served by this test provider"); }
    Pegasus::CIMOMHandle _cimom;
};

} // namespace testprovider

#endif
