// Where the results of an enumeration go, one object at a time, as the providers deliver them:
// straight into the encoded answer (EncodingSink), into a pull enumeration's feed
// (EnumerationFeed.h), or gathered for a caller that wants them all (CollectingSink: the
// providers' CIMOMHandle, answers that do not stream).
#ifndef CIMHOST_ResultSinks_h
#define CIMHOST_ResultSinks_h

#include <optional>
#include <string>

#include <Pegasus/Common/Array.h>
#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMObject.h>
#include <Pegasus/Common/CIMObjectPath.h>

#include "CimMessages.h"
#include "ResultShaping.h"

namespace cimhost
{

class ResultSink
{
public:
    virtual ~ResultSink() = default;
    // An instance (from an association provider possibly a class) as its provider delivered it,
    // shared with the provider and so never changed; path: its complete path; shown: what of it
    // the answer shows.
    virtual void object(const Pegasus::CIMObject& delivered, const Pegasus::CIMObjectPath& path,
                        const ResultFilter& shown) = 0;
    // A complete instance path (the *Names operations).
    virtual void path(const Pegasus::CIMObjectPath& path) = 0;
};

// Keeps what is delivered and shapes it once the providers have returned: by then most
// instances are no longer shared with their provider and are filtered in place, without a copy.
class CollectingSink : public ResultSink
{
public:
    void object(const Pegasus::CIMObject& delivered, const Pegasus::CIMObjectPath& path,
                const ResultFilter& shown) override;
    void path(const Pegasus::CIMObjectPath& path) override;

    // Each with its path set and filtered as shown.
    Pegasus::Array<Pegasus::CIMObject> takeObjects();
    Pegasus::Array<Pegasus::CIMInstance> takeInstances();
    Pegasus::Array<Pegasus::CIMObjectPath> takePaths();

private:
    Pegasus::Array<Pegasus::CIMObject> _objects;
    Pegasus::Array<Pegasus::CIMObjectPath> _paths; // of the objects, or the paths delivered
    std::optional<ResultFilter> _shown;            // the same for every object of an operation
};

// The encoded answer as it grows. The encoder appends to text; after each whole element it
// calls elementDone(), which may hand the text on (to the client) and empty it.
class AnswerOutput
{
public:
    virtual ~AnswerOutput() = default;
    // False once nobody takes the answer any more (the client left): what follows is dropped.
    virtual bool elementDone() = 0;

    std::string text;
};

// Encodes each object as it arrives, in the element the answer's kind calls for
// (VALUE.NAMEDINSTANCE, VALUE.OBJECTWITHPATH, INSTANCENAME or OBJECTPATH).
class EncodingSink : public ResultSink
{
public:
    EncodingSink(CimResponse::ReturnKind kind, AnswerOutput& out) : _kind(kind), _out(out) {}

    void object(const Pegasus::CIMObject& delivered, const Pegasus::CIMObjectPath& path,
                const ResultFilter& shown) override;
    void path(const Pegasus::CIMObjectPath& path) override;

private:
    void done() { _dropping = !_out.elementDone(); }

    CimResponse::ReturnKind _kind;
    AnswerOutput& _out;
    bool _dropping = false;
};

} // namespace cimhost

#endif
