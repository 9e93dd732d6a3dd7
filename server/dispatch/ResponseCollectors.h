// The response handlers a provider is given. They collect what the provider delivers and check
// that it keeps the handler protocol (processing() before any delivery, complete() exactly once,
// nothing after it). A breach is recorded rather than thrown into the provider, which might
// swallow it; requireCompleted() reports it once the provider has returned.
#ifndef CIMHOST_ResponseCollectors_h
#define CIMHOST_ResponseCollectors_h

#include <functional>
#include <string>
#include <utility>

#include <Pegasus/Common/ResponseHandler.h>

namespace cimhost
{

class ProtocolChecker
{
public:
    // Throws CIMException(CIM_ERR_FAILED) naming the operation when the provider broke the
    // protocol or returned without calling complete().
    void requireCompleted(const std::string& operation) const;

protected:
    void onProcessing();
    void onComplete();
    // False when the delivery must be dropped (the breach is recorded).
    bool onDeliver();
    void violate(const char* what);

private:
    enum State
    {
        Fresh,
        Processing,
        Completed
    };
    State _state = Fresh;
    const char* _violation = nullptr; // the first breach
};

template <class Interface> class CheckedHandler : public Interface, public ProtocolChecker
{
public:
    void processing() override { onProcessing(); }
    void complete() override { onComplete(); }
};

// modifyInstance and deleteInstance deliver nothing.
class CompletionCollector : public CheckedHandler<Pegasus::ResponseHandler>
{
};

class InstanceCollector : public CheckedHandler<Pegasus::InstanceResponseHandler>
{
public:
    void deliver(const Pegasus::CIMInstance& instance) override;
    void deliver(const Pegasus::Array<Pegasus::CIMInstance>& instances) override;

    // The i-th instance, free to change: a copy when the provider still holds it or one of its
    // properties (a provider keeping its instances in memory), else the delivered one itself.
    Pegasus::CIMInstance& owned(Pegasus::Uint32 i);

    Pegasus::Array<Pegasus::CIMInstance> instances; // as delivered
};

class ObjectPathCollector : public CheckedHandler<Pegasus::ObjectPathResponseHandler>
{
public:
    void deliver(const Pegasus::CIMObjectPath& path) override;
    void deliver(const Pegasus::Array<Pegasus::CIMObjectPath>& paths) override;

    Pegasus::Array<Pegasus::CIMObjectPath> paths;
};

// The enumerations hand each delivery on at once (to be encoded, or kept by a CollectingSink)
// rather than gathering the provider's whole answer first.
class InstanceForwarder : public CheckedHandler<Pegasus::InstanceResponseHandler>
{
public:
    using Receiver = std::function<void(const Pegasus::CIMInstance&)>;
    explicit InstanceForwarder(Receiver receive) : _receive(std::move(receive)) {}

    void deliver(const Pegasus::CIMInstance& instance) override;
    void deliver(const Pegasus::Array<Pegasus::CIMInstance>& instances) override;

private:
    Receiver _receive;
};

class ObjectForwarder : public CheckedHandler<Pegasus::ObjectResponseHandler>
{
public:
    using Receiver = std::function<void(const Pegasus::CIMObject&)>;
    explicit ObjectForwarder(Receiver receive) : _receive(std::move(receive)) {}

    void deliver(const Pegasus::CIMObject& object) override;
    void deliver(const Pegasus::Array<Pegasus::CIMObject>& objects) override;

private:
    Receiver _receive;
};

class ObjectPathForwarder : public CheckedHandler<Pegasus::ObjectPathResponseHandler>
{
public:
    using Receiver = std::function<void(const Pegasus::CIMObjectPath&)>;
    explicit ObjectPathForwarder(Receiver receive) : _receive(std::move(receive)) {}

    void deliver(const Pegasus::CIMObjectPath& path) override;
    void deliver(const Pegasus::Array<Pegasus::CIMObjectPath>& paths) override;

private:
    Receiver _receive;
};

class MethodResultCollector : public CheckedHandler<Pegasus::MethodResultResponseHandler>
{
public:
    void deliverParamValue(const Pegasus::CIMParamValue& outParamValue) override;
    void deliverParamValue(const Pegasus::Array<Pegasus::CIMParamValue>& outParamValues) override;
    // At most once; a null value is allowed and means "no return value".
    void deliver(const Pegasus::CIMValue& returnValue) override;

    Pegasus::CIMValue returnValue;
    Pegasus::Array<Pegasus::CIMParamValue> outParams;

private:
    bool _returned = false;
};

} // namespace cimhost

#endif
