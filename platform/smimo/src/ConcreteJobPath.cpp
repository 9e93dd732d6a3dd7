#include <SMIMOBuilders.h>

#include "BuilderSupport.h"

PEGASUS_NAMESPACE_BEGIN

namespace
{

CIMObjectPath jobPathOf(const KVELTask& task)
{
    return smimo::instanceIDPath(smimo::concreteJobClassName(), ManagedObject::binToHex(task.Key));
}

} // namespace

namespace smimo
{
const CIMName& concreteJobClassName()
{
    static const CIMName name("CIM_ConcreteJob");
    return name;
}
} // namespace smimo

ConcreteJobPath::ConcreteJobPath(Uint32 taskID)
    : CIMObjectPath(jobPathOf(*smimo::fetchRecord<KVELTask>(CLASSID_TASK, taskID, "Task")))
{
}

ConcreteJobPath::ConcreteJobPath(const KVELTask& task) : CIMObjectPath(jobPathOf(task)) {}

PEGASUS_NAMESPACE_END
