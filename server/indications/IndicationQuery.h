// The query of an indication filter (CIM_IndicationFilter.Query), in the forms SMI-S clients send
// in WQL and DMTF:CQL:
//   SELECT * FROM <indication class> [WHERE <condition>]
// where a condition combines, with AND, OR, NOT and parentheses:
//   SourceInstance ISA <class>                       (PreviousInstance too)
//   <property> <op> <literal>, <literal> <op> <property>   op: = <> != < <= > >=
//   <property> IS [NOT] NULL
//   ANY|EVERY <property>[*] <op> <literal>           (arrays; CQL)
// and a property is an indication property (PerceivedSeverity) or one of an embedded instance
// (SourceInstance.JobState, or as CQL writes it SourceInstance.CIM_ConcreteJob::JobState, which
// holds only when the embedded instance is of that class). Literals: integers, reals, 'strings' or
// "strings", TRUE, FALSE. A comparison of values that are missing, NULL or of kinds that do not
// compare is unknown, and an unknown condition does not match (SQL's three-valued logic).
// Anything else is refused when the filter is made, with the reason, rather than accepted and
// then never matched.
#ifndef CIMHOST_IndicationQuery_h
#define CIMHOST_IndicationQuery_h

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMName.h>

namespace cimhost
{

class IndicationQueryError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class IndicationQuery
{
public:
    // Whether instances of the first class are instances of the second (a subclass or the same).
    using IsA = std::function<bool(const Pegasus::CIMName& className, const Pegasus::CIMName& ancestor)>;

    // language: "WQL" or "DMTF:CQL" (either case). Throws IndicationQueryError saying what is wrong.
    static IndicationQuery parse(const std::string& language, const std::string& text);

    IndicationQuery(IndicationQuery&&) noexcept;
    IndicationQuery& operator=(IndicationQuery&&) noexcept;
    ~IndicationQuery();

    // The class after FROM.
    const Pegasus::CIMName& indicationClass() const;
    // The class the condition requires SourceInstance to be (SourceInstance ISA X joined by AND at
    // the top of the condition); null when it requires none.
    const Pegasus::CIMName& sourceInstanceClass() const;
    // The text of the condition after WHERE, as the query has it; empty without one.
    const std::string& conditionText() const;
    // Whether the indication (of indicationClass() or a subclass; the caller checks that) meets
    // the condition.
    bool matches(const Pegasus::CIMInstance& indication, const IsA& isA) const;

    struct Condition;

private:
    IndicationQuery();

    Pegasus::CIMName _indicationClass;
    Pegasus::CIMName _sourceInstanceClass;
    std::string _conditionText;
    std::unique_ptr<Condition> _condition; // null: no WHERE
};

} // namespace cimhost

#endif
