// "WritePersistenceData" / "ReadPersistenceData": the controller's persistence block travels as
// upper-case hexadecimal text on the CIM side and as a RAM-disk transfer file to the engine.
#include "StorageConfigurationServiceProvider.h"

#include <fcntl.h>
#include <unistd.h>

#include <KVELEngine.h>
#include <KVELMessageHeader.h>

#include "HandlerSupport.h"
#include "PersistenceHex.h"
#include "Trace.h"

#define SCS_TRACE_FILE "StorageConfigurationService"

PEGASUS_NAMESPACE_BEGIN

namespace
{

const Uint32 FILE_NAME_SIZE = 108;
const size_t CHUNK_SIZE = 4096;

// The transfer file of one call: closed and removed when the call ends, whatever the outcome,
// so no partial file is left for the engine or the next transfer; only a read that the engine
// failed leaves the file alone, since the engine keeps no file it reports failure for.
class TransferFile
{
public:
    TransferFile() { _name[0] = '\0'; }
    ~TransferFile()
    {
        close();
        if (_named) ::unlink(_name);
    }
    bool obtainName()
    {
        _named = KVELEngine::getRamdiskFilename(FILE_NAME_SIZE, _name) != 0;
        return _named;
    }
    bool open(int flags, mode_t mode = 0)
    {
        _fd = ::open(_name, flags, mode);
        return _fd >= 0;
    }
    void close()
    {
        if (_fd >= 0) ::close(_fd);
        _fd = -1;
    }
    // A file the engine did not hand over is not the call's to remove.
    void leave() { _named = false; }
    const char* name() const { return _name; }
    int fd() const { return _fd; }

private:
    TransferFile(const TransferFile&) = delete;
    TransferFile& operator=(const TransferFile&) = delete;
    char _name[FILE_NAME_SIZE];
    bool _named = false;
    int _fd = -1;
};

// Writes the buffered bytes; false after tracing a short write.
bool writeChunk(int line, int fd, const Uint8* buffer, size_t count)
{
    traceLine(SCS_TRACE_FILE, line, TRACE_NORMAL, "Actual Length Writing ='", Uint32(count), "'");
    ssize_t written = ::write(fd, buffer, count);
    if (written == ssize_t(count)) return true;
    traceLine(SCS_TRACE_FILE, line, TRACE_NORMAL, "write failure,actual written is:", Sint64(written));
    return false;
}

} // namespace

void StorageConfigurationServiceProvider::_handleWritePersistenceData(
    const CIMObjectPath&, const Array<CIMParamValue>& inParameters, MethodResultResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::_handleWritePersistenceData");
    String data;
    Uint16 setting = 0; // absent: this controller's own block
    readParameter(inParameters, "Data", data);
    readParameter(inParameters, "PersistenceSetting", setting);
    SCS_TRACE(TRACE_NORMAL, "Setting Persistence Data to setting=0x", setting);
    SCS_TRACE(TRACE_NORMAL, "Setting Persistence Data to: ", data);

    TransferFile file;
    if (!file.obtainName() || !file.open(O_WRONLY | O_CREAT, 0700))
    {
        handler.deliver(CIMValue(Sint32(4)));
        return;
    }
    const Uint32 length = data.size();
    SCS_TRACE(TRACE_NORMAL, "size is: ", length);
    if (length % 2 != 0)
    {
        SCS_TRACE(TRACE_NORMAL, "error:odd string size ", length);
        handler.deliver(CIMValue(Sint32(5)));
        return;
    }

    const HexDecoding decoded =
        decodeUpperHex<CHUNK_SIZE>(data.getChar16Data(), length, [&](const Uint8* bytes, size_t count)
                                   { return writeChunk(__LINE__, file.fd(), bytes, count); });
    if (decoded != HexDecoding::Done)
    {
        handler.deliver(CIMValue(Sint32(decoded == HexDecoding::Malformed ? 5 : 4)));
        return;
    }
    file.close();

    Uint32 engineRc = _engine->setPersistenceData(KVELController::PersistenceEnum(setting), file.name());
    SCS_TRACE(TRACE_NORMAL, "kvel rc is: ", engineRc);
    handler.deliver(CIMValue(pairOutcome(engineRc)));
}

void StorageConfigurationServiceProvider::_handleReadPersistenceData(const CIMObjectPath&,
                                                                     const Array<CIMParamValue>&,
                                                                     MethodResultResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::_handleReadPersistenceData");
    TransferFile file;
    if (!file.obtainName())
    {
        handler.deliver(CIMValue(Sint32(4)));
        return;
    }
    SCS_TRACE(TRACE_NORMAL, "Getting Persistence Data to filename='", file.name(), "'");
    Uint32 returnValue = cimrcFromKvelRc(_engine->getPersistenceData(file.name()));
    if (returnValue != 0)
    {
        file.leave();
        handler.deliver(CIMValue(returnValue));
        return;
    }
    if (!file.open(O_RDONLY))
    {
        handler.deliver(CIMValue(Sint32(4)));
        return;
    }
    String hexText;
    Uint8 buffer[CHUNK_SIZE];
    for (;;)
    {
        ssize_t count = ::read(file.fd(), buffer, CHUNK_SIZE);
        SCS_TRACE(TRACE_NORMAL, "Actual Length Read ='", Sint64(count), "'");
        if (count < 0)
        {
            handler.deliver(CIMValue(Sint32(4)));
            return;
        }
        if (count == 0) break;
        hexText.append(KVELMessageHeader::hexifiedString(buffer, Uint32(count)));
    }
    SCS_TRACE(TRACE_NORMAL, "Persistence Data Size is '", hexText.size() / 2, "'");
    file.close();
    deliverOutput(handler, "Data", CIMValue(hexText));
    handler.deliver(CIMValue(Uint32(0)));
}

PEGASUS_NAMESPACE_END
