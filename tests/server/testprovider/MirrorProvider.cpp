// Serves Test_Mirror by asking the host for Test_Widget while its own operation runs: one mirror
// per widget, with the widget's Id and Size. Recurse calls itself through the host without end.
#include "TestProviders.h"

namespace testprovider
{

namespace
{

using namespace Pegasus;

CIMInstance mirrorOf(const CIMInstance& widget)
{
    CIMInstance mirror(CIMName("Test_Mirror"));
    mirror.addProperty(widget.getProperty(widget.findProperty(CIMName("Id"))).clone());
    mirror.addProperty(widget.getProperty(widget.findProperty(CIMName("Size"))).clone());
    return mirror;
}

class MirrorProvider : public RefusingInstanceProvider, public CIMMethodProvider
{
public:
    void getInstance(const OperationContext& context, const CIMObjectPath& reference, const Boolean,
                     const Boolean, const CIMPropertyList&, InstanceResponseHandler& handler) override
    {
        CIMObjectPath widgetPath(String(), CIMNamespaceName(), CIMName("Test_Widget"),
                                 reference.getKeyBindings());
        CIMInstance widget = _cimom.getInstance(context, reference.getNameSpace(), widgetPath, false, false,
                                                false, CIMPropertyList());
        handler.processing();
        handler.deliver(mirrorOf(widget));
        handler.complete();
    }

    void enumerateInstances(const OperationContext& context, const CIMObjectPath& reference, const Boolean,
                            const Boolean, const CIMPropertyList&, InstanceResponseHandler& handler) override
    {
        Array<CIMInstance> widgets =
            _cimom.enumerateInstances(context, reference.getNameSpace(), CIMName("Test_Widget"), true, false,
                                      false, false, CIMPropertyList());
        handler.processing();
        for (Uint32 i = 0; i < widgets.size(); ++i)
            handler.deliver(mirrorOf(widgets[i]));
        handler.complete();
    }

    void invokeMethod(const OperationContext& context, const CIMObjectPath& reference,
                      const CIMName& methodName, const Array<CIMParamValue>& inParameters,
                      MethodResultResponseHandler& handler) override
    {
        Uint32 answer = 0;
        if (methodName.equal(CIMName("Recurse")))
        {
            Array<CIMParamValue> out;
            _cimom.invokeMethod(context, reference.getNameSpace(), reference, methodName, inParameters, out);
        }
        else
            answer = _cimom.enumerateInstanceNames(context, reference.getNameSpace(), CIMName("Test_Widget"))
                         .size();
        handler.processing();
        handler.deliver(CIMValue(answer));
        handler.complete();
    }
};

} // namespace

CIMProvider* createMirrorProvider()
{
    return new MirrorProvider();
}

} // namespace testprovider
