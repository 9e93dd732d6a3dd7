// libFuzzer target: any text given as an indication filter's query either parses or is refused
// with IndicationQueryError; a query that parses is matched against an indication without
// failing. Clients write filters, so the query is outside input.
#include <cstddef>
#include <cstdint>
#include <string>

#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMProperty.h>

#include "IndicationQuery.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace Pegasus;
    const std::string text(reinterpret_cast<const char*>(data), size);
    static const CIMInstance indication = []
    {
        CIMInstance job(CIMName("CIM_ConcreteJob"));
        job.addProperty(CIMProperty(CIMName("JobState"), CIMValue(Uint16(7))));
        job.addProperty(CIMProperty(CIMName("OperationalStatus"), CIMValue(Array<Uint16>(2, Uint16(2)))));
        job.addProperty(CIMProperty(CIMName("Name"), CIMValue(String("scan"))));
        CIMInstance modification(CIMName("CIM_InstModification"));
        modification.addProperty(CIMProperty(CIMName("SourceInstance"), CIMValue(job)));
        return modification;
    }();
    try
    {
        const cimhost::IndicationQuery query =
            cimhost::IndicationQuery::parse(size % 2 ? "WQL" : "DMTF:CQL", text);
        (void)query.matches(indication, [](const CIMName& a, const CIMName& b) { return a.equal(b); });
    }
    catch (const cimhost::IndicationQueryError&)
    {
    }
    return 0;
}
