#include <SMIMOBuilders.h>

#include "BuilderSupport.h"

PEGASUS_NAMESPACE_BEGIN

namespace
{

CIMObjectPath jobPathOf(const KVELTask& task)
{
    return smimo::instanceIDPath("CIM_ConcreteJob", ManagedObject::binToHex(task.Key));
}

} // namespace

ConcreteJobPath::ConcreteJobPath(Uint32 taskID)
    : CIMObjectPath(jobPathOf(*smimo::fetchRecord<KVELTask>(CLASSID_TASK, taskID, "Task")))
{
}

ConcreteJobPath::ConcreteJobPath(const KVELTask& task) : CIMObjectPath(jobPathOf(task)) {}

PEGASUS_NAMESPACE_END
