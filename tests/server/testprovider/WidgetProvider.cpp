// An instance store per class. It answers with every property whatever the client asked for, so
// the host's own filtering shows; its properties carry a qualifier and a class origin for the same
// reason. Deliveries hand out the stored instances themselves: a host that changed them would
// change the store. Its methods answer a call with what they were given, so the tests see how the
// host typed each parameter and which object it called the method on.
//
// It serves Test_Mirror by asking the host for Test_Widget while its own operation runs: one mirror
// per widget, with the widget's Id and Size. Recurse calls itself through the host without end.
#include <map>
#include <mutex>
#include <string>

#include "TestProviders.h"

namespace testprovider
{

namespace
{

using namespace Pegasus;

std::string folded(const CIMName& name)
{
    String text = name.getString();
    text.toLower();
    return std::string(text.getCString());
}

String keyValue(const CIMObjectPath& path, const char* key)
{
    const Array<CIMKeyBinding>& keys = path.getKeyBindings();
    for (Uint32 i = 0; i < keys.size(); ++i)
        if (keys[i].getName().equal(CIMName(key))) return keys[i].getValue();
    return String();
}

CIMInstance widget(const char* className, const char* id, Uint32 size, const char* label)
{
    CIMInstance instance{CIMName(className)};
    instance.addProperty(
        CIMProperty(CIMName("Id"), CIMValue(String(id)), 0, CIMName(), CIMName("Test_Widget")));
    CIMProperty sizeProperty(CIMName("Size"), CIMValue(size), 0, CIMName(), CIMName("Test_Widget"));
    sizeProperty.addQualifier(CIMQualifier(CIMName("Description"), CIMValue(String("how big"))));
    instance.addProperty(sizeProperty);
    instance.addProperty(CIMProperty(CIMName("Label"), CIMValue(String(label))));
    return instance;
}

CIMObjectPath pathOf(const CIMInstance& instance)
{
    String id;
    instance.getProperty(instance.findProperty(CIMName("Id"))).getValue().get(id);
    Array<CIMKeyBinding> keys;
    keys.append(CIMKeyBinding(CIMName("Id"), id, CIMKeyBinding::STRING));
    return CIMObjectPath(String(), CIMNamespaceName(), instance.getClassName(), keys);
}

CIMInstance mirrorOf(const CIMInstance& widget)
{
    CIMInstance mirror(CIMName("Test_Mirror"));
    mirror.addProperty(widget.getProperty(widget.findProperty(CIMName("Id"))).clone());
    mirror.addProperty(widget.getProperty(widget.findProperty(CIMName("Size"))).clone());
    return mirror;
}

bool isMirror(const CIMObjectPath& path)
{
    return path.getClassName().equal(CIMName("Test_Mirror"));
}

class WidgetProvider : public CIMInstanceProvider, public CIMMethodProvider
{
public:
    void initialize(CIMOMHandle& cimom) override { _cimom = cimom; }
    void terminate() override { delete this; }

    WidgetProvider()
    {
        add(widget("Test_Widget", "w1", 10, "first"));
        add(widget("Test_Widget", "w2", 20, "second"));
        CIMInstance special = widget("Test_SpecialWidget", "s1", 30, "special");
        special.addProperty(CIMProperty(CIMName("Extra"), CIMValue(String("extra"))));
        add(special);
    }

    void getInstance(const OperationContext& context, const CIMObjectPath& reference, const Boolean,
                     const Boolean, const CIMPropertyList&, InstanceResponseHandler& handler) override
    {
        if (isMirror(reference))
        {
            const CIMObjectPath widgetPath(String(), CIMNamespaceName(), CIMName("Test_Widget"),
                                           reference.getKeyBindings());
            const CIMInstance widget = _cimom.getInstance(context, reference.getNameSpace(), widgetPath,
                                                          false, false, false, CIMPropertyList());
            return handler.processing(), handler.deliver(mirrorOf(widget)), handler.complete();
        }
        std::lock_guard<std::mutex> lock(_mutex);
        auto& store = _store[folded(reference.getClassName())];
        auto found = store.find(std::string(keyValue(reference, "Id").getCString()));
        if (found == store.end()) throw CIMObjectNotFoundException(reference.toString());
        handler.processing();
        CIMInstance answer = found->second.clone();
        answer.setPath(pathOf(answer));
        handler.deliver(answer);
        handler.complete();
    }

    void enumerateInstances(const OperationContext& context, const CIMObjectPath& reference, const Boolean,
                            const Boolean, const CIMPropertyList&, InstanceResponseHandler& handler) override
    {
        refuseRefusingClass(reference);
        if (isMirror(reference)) // asked before the store is locked: the host calls back for the widgets
        {
            const Array<CIMInstance> widgets =
                _cimom.enumerateInstances(context, reference.getNameSpace(), CIMName("Test_Widget"), true,
                                          false, false, false, CIMPropertyList());
            handler.processing();
            for (Uint32 i = 0; i < widgets.size(); ++i)
                handler.deliver(mirrorOf(widgets[i]));
            return handler.complete();
        }
        std::lock_guard<std::mutex> lock(_mutex);
        handler.processing();
        for (const auto& entry : _store[folded(reference.getClassName())])
            handler.deliver(entry.second);
        handler.complete();
    }

    void enumerateInstanceNames(const OperationContext&, const CIMObjectPath& reference,
                                ObjectPathResponseHandler& handler) override
    {
        refuseRefusingClass(reference);
        std::lock_guard<std::mutex> lock(_mutex);
        handler.processing();
        for (const auto& entry : _store[folded(reference.getClassName())])
            handler.deliver(pathOf(entry.second));
        handler.complete();
    }

    void createInstance(const OperationContext&, const CIMObjectPath& reference, const CIMInstance& instance,
                        ObjectPathResponseHandler& handler) override
    {
        std::string id(keyValue(reference, "Id").getCString());
        if (id.empty()) throw CIMInvalidParameterException("the new instance has no Id");
        std::lock_guard<std::mutex> lock(_mutex);
        auto& store = _store[folded(reference.getClassName())];
        if (store.count(id)) throw CIMObjectAlreadyExistsException(reference.toString());
        store[id] = instance.clone();
        handler.processing();
        handler.deliver(pathOf(instance));
        handler.complete();
    }

    void modifyInstance(const OperationContext&, const CIMObjectPath& reference, const CIMInstance& instance,
                        const Boolean, const CIMPropertyList& propertyList, ResponseHandler& handler) override
    {
        std::lock_guard<std::mutex> lock(_mutex);
        auto& store = _store[folded(reference.getClassName())];
        auto found = store.find(std::string(keyValue(reference, "Id").getCString()));
        if (found == store.end()) throw CIMObjectNotFoundException(reference.toString());
        handler.processing();
        for (Uint32 i = 0; i < instance.getPropertyCount(); ++i)
        {
            CIMConstProperty property = instance.getProperty(i);
            if (!propertyList.useThisProperty(property.getName())) continue;
            Uint32 old = found->second.findProperty(property.getName());
            if (old != PEG_NOT_FOUND) found->second.removeProperty(old);
            found->second.addProperty(property.clone());
        }
        handler.complete();
    }

    void deleteInstance(const OperationContext&, const CIMObjectPath& reference,
                        ResponseHandler& handler) override
    {
        std::lock_guard<std::mutex> lock(_mutex);
        if (_store[folded(reference.getClassName())].erase(
                std::string(keyValue(reference, "Id").getCString())) == 0)
            throw CIMObjectNotFoundException(reference.toString());
        handler.processing();
        handler.complete();
    }

    // Echo answers every input parameter as an output parameter, plus "<name>Type" describing how
    // it arrived, and the path it was called on; it returns the parameter count. ReturnNothing
    // delivers a null return value.
    void invokeMethod(const OperationContext& context, const CIMObjectPath& objectReference,
                      const CIMName& methodName, const Array<CIMParamValue>& inParameters,
                      MethodResultResponseHandler& handler) override
    {
        Array<CIMParamValue> out;
        if (methodName.equal(CIMName("Recurse")))
            _cimom.invokeMethod(context, objectReference.getNameSpace(), objectReference, methodName,
                                inParameters, out);
        if (methodName.equal(CIMName("CountWidgets")))
            return handler.processing(),
                   handler.deliver(CIMValue(
                       _cimom.enumerateInstanceNames(context, objectReference.getNameSpace(), "Test_Widget")
                           .size())),
                   handler.complete();
        handler.processing();
        if (methodName.equal(CIMName("ReturnNothing")))
            return handler.deliver(CIMValue()), handler.complete();
        if (!methodName.equal(CIMName("Echo"))) throw CIMMethodNotFoundException(methodName.getString());
        for (Uint32 i = 0; i < inParameters.size(); ++i)
        {
            const CIMValue value = inParameters[i].getValue();
            String type(cimTypeToString(value.getType()));
            type.append(String(value.isArray() ? "[]" : ""))
                .append(String(inParameters[i].isTyped() ? "" : " untyped"));
            handler.deliverParamValue(inParameters[i]);
            handler.deliverParamValue(
                CIMParamValue(inParameters[i].getParameterName() + "Type", CIMValue(type)));
        }
        handler.deliverParamValue(CIMParamValue("CalledOn", CIMValue(objectReference.toString())));
        handler.deliver(CIMValue(Uint32(inParameters.size())));
        handler.complete();
    }

private:
    void add(const CIMInstance& instance)
    {
        String id;
        instance.getProperty(instance.findProperty(CIMName("Id"))).getValue().get(id);
        _store[folded(instance.getClassName())][std::string(id.getCString())] = instance;
    }

    static void refuseRefusingClass(const CIMObjectPath& reference)
    {
        if (reference.getClassName().equal(CIMName("Test_RefusingWidget")))
            throw CIMNotSupportedException("not served by this test provider");
    }

    CIMOMHandle _cimom;
    std::mutex _mutex;
    std::map<std::string, std::map<std::string, CIMInstance>> _store; // folded class -> Id -> instance
};

} // namespace

CIMProvider* createWidgetProvider()
{
    return new WidgetProvider();
}

} // namespace testprovider
