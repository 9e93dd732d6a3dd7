#include "PersistenceFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <KVELErrorCodes.h>

PEGASUS_NAMESPACE_BEGIN

namespace kvelsim
{

Uint32 readPersistenceFile(const char* fileName, std::vector<Uint8>& block)
{
    if (!fileName || !*fileName) return KVEL_RC_PERSISTENCE_IO_ERROR;
    int fd = ::open(fileName, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return KVEL_RC_PERSISTENCE_IO_ERROR;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
    {
        ::close(fd);
        return KVEL_RC_PERSISTENCE_IO_ERROR;
    }
    // Reading stops one byte past the limit, which tells an oversized file without reading all of
    // it; the size the file claims only sizes the first allocation.
    std::vector<Uint8> buffer;
    buffer.reserve(std::min<size_t>(size_t(info.st_size), MAX_PERSISTENCE_BYTES) + 1);
    Uint8 chunk[64 * 1024];
    Uint32 rc = KVEL_RC_SUCCESS;
    while (buffer.size() <= MAX_PERSISTENCE_BYTES)
    {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0)
        {
            rc = KVEL_RC_PERSISTENCE_IO_ERROR;
            break;
        }
        if (n == 0) break;
        buffer.insert(buffer.end(), chunk, chunk + n);
    }
    ::close(fd);
    if (rc != KVEL_RC_SUCCESS) return rc;
    if (buffer.size() > MAX_PERSISTENCE_BYTES) return KVEL_RC_INVALID_PARAMETER;
    block.swap(buffer);
    return KVEL_RC_SUCCESS;
}

Uint32 writePersistenceFile(const char* fileName, const std::vector<Uint8>& block)
{
    if (!fileName || !*fileName) return KVEL_RC_PERSISTENCE_IO_ERROR;
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    if (!out) return KVEL_RC_PERSISTENCE_IO_ERROR;
    out.write(reinterpret_cast<const char*>(block.data()), std::streamsize(block.size()));
    out.close();
    if (out) return KVEL_RC_SUCCESS;
    std::remove(fileName); // no partial block is left for the caller to mistake for the whole one
    return KVEL_RC_PERSISTENCE_IO_ERROR;
}

} // namespace kvelsim

PEGASUS_NAMESPACE_END
