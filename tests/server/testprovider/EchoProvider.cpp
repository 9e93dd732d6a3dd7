// Answers a method call with what it was given, so the tests see how the host typed each
// parameter and which object it called the method on.
#include "TestProviders.h"

namespace testprovider
{

namespace
{

using namespace Pegasus;

String describe(const CIMParamValue& parameter)
{
    CIMValue value = parameter.getValue();
    String text(cimTypeToString(value.getType()));
    if (value.isArray()) text.append(String("[]"));
    if (!parameter.isTyped()) text.append(String(" untyped"));
    return text;
}

class EchoProvider : public CIMMethodProvider
{
public:
    void initialize(CIMOMHandle&) override {}
    void terminate() override { delete this; }

    void invokeMethod(const OperationContext&, const CIMObjectPath& objectReference,
                      const CIMName& methodName, const Array<CIMParamValue>& inParameters,
                      MethodResultResponseHandler& handler) override
    {
        handler.processing();
        if (methodName.equal(CIMName("ReturnNothing")))
        {
            handler.deliver(CIMValue());
            handler.complete();
            return;
        }
        if (!methodName.equal(CIMName("Echo"))) throw CIMMethodNotFoundException(methodName.getString());
        for (Uint32 i = 0; i < inParameters.size(); ++i)
        {
            handler.deliverParamValue(inParameters[i]);
            handler.deliverParamValue(CIMParamValue(inParameters[i].getParameterName() + "Type",
                                                    CIMValue(describe(inParameters[i]))));
        }
        handler.deliverParamValue(CIMParamValue("CalledOn", CIMValue(objectReference.toString())));
        handler.deliver(CIMValue(Uint32(inParameters.size())));
        handler.complete();
    }
};

} // namespace

CIMProvider* createEchoProvider()
{
    return new EchoProvider();
}

} // namespace testprovider
