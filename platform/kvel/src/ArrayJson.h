// The array as JSON: the format of array description files, of the durable state file and of
// KVELEngine::describe(). A state file is a description with the engine's running state added,
// so either can be loaded where the other is expected. ARRAY-FORMAT.md describes the fields.
#ifndef KVEL_ArrayJson_h
#define KVEL_ArrayJson_h

#include <stdexcept>
#include <string>
#include "ArrayModel.h"

PEGASUS_NAMESPACE_BEGIN

namespace kvelsim
{

// An array text that cannot be used; the message names the field and the problem.
class FormatError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Reads an array from JSON text into an empty model. Tasks progress from the recorded engine
// time, or from `now` when the text records none. Throws FormatError.
void readArray(const std::string& text, MPU_TIME now, ArrayModel& model);
std::string writeArray(const ArrayModel& model);

} // namespace kvelsim

PEGASUS_NAMESPACE_END

#endif
