// The interface of a provider that generates indications. The server's indication service calls
// createSubscription for each subscription whose filter names an indication class the provider is
// registered for (it evaluates the filter itself), enableIndications once with the handler the
// provider delivers through until disableIndications, and deleteSubscription when a subscription
// goes away or is disabled.
#ifndef Pegasus_CIMIndicationProvider_h
#define Pegasus_CIMIndicationProvider_h

#include <Pegasus/Provider/CIMProvider.h>

PEGASUS_NAMESPACE_BEGIN

class PEGASUS_PROVIDER_LINKAGE CIMIndicationProvider : public virtual CIMProvider
{
public:
    CIMIndicationProvider();
    virtual ~CIMIndicationProvider();

    virtual void enableIndications(IndicationResponseHandler& handler) = 0;
    virtual void disableIndications() = 0;

    // classNames: the indication classes of the subscription that the provider serves, as full
    // paths ("//host/root/snia:CIM_InstModification").
    virtual void createSubscription(const OperationContext& context, const CIMObjectPath& subscriptionName,
                                    const Array<CIMObjectPath>& classNames,
                                    const CIMPropertyList& propertyList,
                                    const Uint16 repeatNotificationPolicy) = 0;
    virtual void modifySubscription(const OperationContext& context, const CIMObjectPath& subscriptionName,
                                    const Array<CIMObjectPath>& classNames,
                                    const CIMPropertyList& propertyList,
                                    const Uint16 repeatNotificationPolicy) = 0;
    virtual void deleteSubscription(const OperationContext& context, const CIMObjectPath& subscriptionName,
                                    const Array<CIMObjectPath>& classNames) = 0;
};

PEGASUS_NAMESPACE_END

#endif
