// Breaks the response handler protocol in a different way for each operation, and for the
// method Misbehave in the way its parameter How names.
#include <stdexcept>

#include "TestProviders.h"

namespace testprovider
{

namespace
{

using namespace Pegasus;

class BrokenProvider : public CIMInstanceProvider, public CIMMethodProvider
{
public:
    void initialize(CIMOMHandle&) override {}
    void terminate() override { delete this; }

    void getInstance(const OperationContext&, const CIMObjectPath& reference, const Boolean, const Boolean,
                     const CIMPropertyList&, InstanceResponseHandler& handler) override
    {
        handler.deliver(CIMInstance(reference.getClassName())); // before processing()
        handler.processing();
        handler.complete();
    }

    void enumerateInstances(const OperationContext&, const CIMObjectPath& reference, const Boolean,
                            const Boolean, const CIMPropertyList&, InstanceResponseHandler& handler) override
    {
        handler.processing();
        handler.deliver(CIMInstance(reference.getClassName()));
        handler.complete();
        handler.complete();
    }

    void enumerateInstanceNames(const OperationContext&, const CIMObjectPath&,
                                ObjectPathResponseHandler&) override
    {
        throw std::runtime_error("broken on purpose");
    }

    void createInstance(const OperationContext&, const CIMObjectPath&, const CIMInstance&,
                        ObjectPathResponseHandler& handler) override
    {
        handler.processing(); // and no instance name
        handler.complete();
    }

    void modifyInstance(const OperationContext&, const CIMObjectPath&, const CIMInstance&, const Boolean,
                        const CIMPropertyList&, ResponseHandler& handler) override
    {
        handler.processing(); // and never complete()
    }

    void deleteInstance(const OperationContext&, const CIMObjectPath&, ResponseHandler&) override
    {
        throw 42;
    }

    void invokeMethod(const OperationContext&, const CIMObjectPath&, const CIMName&,
                      const Array<CIMParamValue>& inParameters, MethodResultResponseHandler& handler) override
    {
        String how;
        for (Uint32 i = 0; i < inParameters.size(); ++i)
            if (String::equalNoCase(inParameters[i].getParameterName(), "How"))
                inParameters[i].getValue().get(how);
        if (how == "throwNotFound") throw CIMObjectNotFoundException("nothing here");
        if (how == "throwPegasus") throw Exception("a plain exception");
        if (how == "throwStd") throw std::logic_error("a standard exception");
        if (how == "throwUnknown") throw 7;
        if (how != "deliverBeforeProcessing") handler.processing();
        handler.deliver(CIMValue(Uint32(0)));
        if (how == "twoReturnValues") handler.deliver(CIMValue(Uint32(1)));
        if (how == "neverComplete") return;
        handler.complete();
        if (how == "completeTwice") handler.complete();
        if (how == "deliverAfterComplete")
            handler.deliverParamValue(CIMParamValue("Late", CIMValue(Uint32(2))));
    }
};

} // namespace

CIMProvider* createBrokenProvider()
{
    return new BrokenProvider();
}

} // namespace testprovider
