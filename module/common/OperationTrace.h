// The prologue lines that open every CIM operation: the request path, then by kind of operation
// the flags and property list, the association filters or the reference filters.
#ifndef SCS_OperationTrace_h
#define SCS_OperationTrace_h

#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/CIMPropertyList.h>
#include <SMIMO_Util.h>
#include "Trace.h"

PEGASUS_NAMESPACE_BEGIN

inline void tracePathLine(const char* file, int line, const CIMObjectPath& path)
{
    if (traceTracingAllowed())
        traceWriteLine(file, line, TRACE_NORMAL, "..", "CIMObjectPath=", SMIMO_ObjectPath2String(path));
}

inline void traceQualifierLine(const char* file, int line, bool includeQualifiers,
                               const CIMPropertyList& propertyList)
{
    if (traceTracingAllowed())
        traceWriteLine(file, line, TRACE_NORMAL, "..", "includeQualifiers=", traceBoolText(includeQualifiers),
                       " ", SMIMO_PropertyList2String(propertyList));
}

inline void traceAssociationLine(const char* file, int line, const CIMName& associationClass,
                                 const CIMName& resultClass, const String& role, const String& resultRole)
{
    if (traceTracingAllowed())
        traceWriteLine(file, line, TRACE_NORMAL, "..", "associationClass='", associationClass, "' ",
                       "resultClass='", resultClass, "' ", "role='", role, "' ", "resultRole='", resultRole,
                       "' ");
}

inline void traceReferenceLine(const char* file, int line, const CIMName& resultClass, const String& role)
{
    if (traceTracingAllowed())
        traceWriteLine(file, line, TRACE_NORMAL, "..", "resultClass='", resultClass, "' ", "role='", role,
                       "' ");
}

PEGASUS_NAMESPACE_END

#define SCS_TRACE_PATH(PATH) ::Pegasus::tracePathLine(SCS_TRACE_FILE, __LINE__, PATH)
#define SCS_TRACE_QUALIFIERS(INCLUDE_QUALIFIERS, PROPERTY_LIST)                                              \
    ::Pegasus::traceQualifierLine(SCS_TRACE_FILE, __LINE__, INCLUDE_QUALIFIERS, PROPERTY_LIST)
#define SCS_TRACE_ASSOCIATION(ASSOCIATION_CLASS, RESULT_CLASS, ROLE, RESULT_ROLE)                            \
    ::Pegasus::traceAssociationLine(SCS_TRACE_FILE, __LINE__, ASSOCIATION_CLASS, RESULT_CLASS, ROLE,         \
                                    RESULT_ROLE)
#define SCS_TRACE_REFERENCE(RESULT_CLASS, ROLE)                                                              \
    ::Pegasus::traceReferenceLine(SCS_TRACE_FILE, __LINE__, RESULT_CLASS, ROLE)

#endif
