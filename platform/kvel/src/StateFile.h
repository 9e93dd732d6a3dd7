// The durable state file: the whole array as JSON, replaced atomically after every change
// (temporary file in the same directory, fsync, rename, fsync of the directory), so that a crash
// leaves either the old or the new state, never a mix.
#ifndef KVEL_StateFile_h
#define KVEL_StateFile_h

#include <string>
#include <KVELTypes.h>

PEGASUS_NAMESPACE_BEGIN

namespace kvelsim
{

enum class FileRead
{
    Read,
    Missing,
    Failed
};

// Reads a whole file. On failure `problem` says why.
FileRead readWholeFile(const std::string& path, std::string& text, std::string& problem);
// Replaces the file with the text atomically. False on failure, with `problem` saying why.
bool writeFileAtomically(const std::string& path, const std::string& text, std::string& problem);

} // namespace kvelsim

PEGASUS_NAMESPACE_END

#endif
