// Moving a controller's persistence block through a transfer file.
#ifndef KVEL_PersistenceFile_h
#define KVEL_PersistenceFile_h

#include <vector>
#include <KVELTypes.h>

PEGASUS_NAMESPACE_BEGIN

namespace kvelsim
{

// The largest persistence block a controller keeps: 1 MiB.
const size_t MAX_PERSISTENCE_BYTES = 16 * 1024 * 1024;

// Reads the whole file: KVEL_RC_SUCCESS, KVEL_RC_PERSISTENCE_IO_ERROR when it cannot be read, or
// KVEL_RC_INVALID_PARAMETER when it holds more than MAX_PERSISTENCE_BYTES.
Uint32 readPersistenceFile(const char* fileName, std::vector<Uint8>& block);
// Creates or truncates the file and writes the block: KVEL_RC_SUCCESS, or KVEL_RC_PERSISTENCE_IO_ERROR
// (a file it could not write whole is removed).
Uint32 writePersistenceFile(const char* fileName, const std::vector<Uint8>& block);

} // namespace kvelsim

PEGASUS_NAMESPACE_END

#endif
