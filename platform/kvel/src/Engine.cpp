// KVELEngine: the process-wide instance and the public operations, each one run under the
// engine's lock after bringing the tasks up to the clock.
#include <KVELEngine.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <set>
#include <unistd.h>
#include <KVELOperationFailedException.h>
#include "ArrayState.h"
#include "EngineEnvironment.h"

PEGASUS_NAMESPACE_BEGIN

const char* KVELEngine::_ZarvoSystemNamePtr = "ZARVO-0001";
namespace
{
// The machine's name, until an engine publishes its own.
const char* initialHostName()
{
    static const std::string name = kvelsim::machineHostName();
    return name.c_str();
}
} // namespace

const char* KVELEngine::_ZarvoHostNamePtr = initialHostName();

namespace
{
// Never destroyed: engines and the names they publish must outlive every caller, static
// destructors included.
struct Registry
{
    std::mutex mutex;
    std::atomic<KVELEngine*> current{nullptr};
    std::vector<KVELEngine*> retired; // replaced engines, kept alive on purpose
    std::set<std::string> names;      // storage of the published name pointers
    std::string ramdiskDirectory;
};

Registry& registry()
{
    static Registry* instance = new Registry();
    return *instance;
}

// Points the name to stable storage holding the text; leaves it alone when the text is the same,
// so that readers of an unchanged name never race with a writer.
void publishName(const char*& pointer, const std::string& text, Registry& r)
{
    if (std::strcmp(pointer, text.c_str()) != 0) pointer = r.names.insert(text).first->c_str();
}

} // namespace

struct KVELEngine::Observers
{
    std::mutex mutex;
    std::vector<std::shared_ptr<KVELEngineObserver>> list;
    std::atomic<size_t> count{0}; // read without the mutex on every call
};

KVELEngineObserver::~KVELEngineObserver() = default;

KVELEngine::KVELEngine(const KVELEngineConfig& config)
    : _state(std::make_unique<KVELArrayState>(config)), _observers(std::make_unique<Observers>())
{
}

// A call that changes the array: the tasks move on first, the change is saved after.
template <typename Operation> Uint32 KVELEngine::work(Operation operation)
{
    std::unique_lock<std::mutex> lock(_state->mutex());
    const Uint64 changesBefore = _state->changeCount();
    const MPU_TIME timeBefore = _state->engineTime();
    _state->advance();
    const Uint32 rc = _state->commit(operation());
    lock.unlock();
    notifyObservers(changesBefore, timeBefore);
    return rc;
}

// A reading: moving the tasks on may have changed the state, which is saved too.
template <typename Operation> auto KVELEngine::look(Operation operation)
{
    std::unique_lock<std::mutex> lock(_state->mutex());
    const Uint64 changesBefore = _state->changeCount();
    const MPU_TIME timeBefore = _state->engineTime();
    _state->advanceToRead();
    auto result = operation();
    _state->commit(KVEL_RC_SUCCESS);
    lock.unlock();
    notifyObservers(changesBefore, timeBefore);
    return result;
}

void KVELEngine::notifyObservers(Uint64 changesBefore, MPU_TIME timeBefore)
{
    if (_observers->count.load(std::memory_order_acquire) == 0) return;
    bool changed;
    MPU_TIME time;
    {
        std::lock_guard<std::mutex> lock(_state->mutex());
        changed = _state->changeCount() != changesBefore;
        time = _state->engineTime();
    }
    if (!changed && time == timeBefore) return;
    // Calls an observer makes come back here on its thread: they are told after it returns.
    thread_local struct
    {
        bool notifying = false;
        bool pending = false;
        bool changed = false;
        MPU_TIME time = 0;
    } local;
    if (local.notifying)
    {
        local.pending = true;
        local.changed = local.changed || changed;
        local.time = std::max(local.time, time);
        return;
    }
    local.notifying = true;
    for (;;)
    {
        std::vector<std::shared_ptr<KVELEngineObserver>> observers;
        {
            std::lock_guard<std::mutex> lock(_observers->mutex);
            observers = _observers->list;
        }
        for (const auto& observer : observers)
        {
            try
            {
                observer->engineChanged(changed, time);
            }
            catch (...)
            {
                // An observer's failure is its own; the engine call it followed has succeeded.
            }
        }
        if (!local.pending) break;
        changed = local.changed;
        time = local.time;
        local.pending = local.changed = false;
        local.time = 0;
    }
    local.notifying = false;
}

void KVELEngine::addObserver(const std::shared_ptr<KVELEngineObserver>& observer)
{
    std::lock_guard<std::mutex> lock(_observers->mutex);
    _observers->list.push_back(observer);
    _observers->count.store(_observers->list.size(), std::memory_order_release);
}

void KVELEngine::removeObserver(const KVELEngineObserver* observer)
{
    std::lock_guard<std::mutex> lock(_observers->mutex);
    auto& list = _observers->list;
    list.erase(
        std::remove_if(list.begin(), list.end(), [observer](const auto& o) { return o.get() == observer; }),
        list.end());
    _observers->count.store(list.size(), std::memory_order_release);
}

Uint32 KVELEngine::failDrive(Uint32 driveID)
{
    return work([&] { return _state->failDrive(driveID); });
}

Uint32 KVELEngine::failTask(Uint32 taskID, Uint32 resultCode)
{
    return work([&] { return _state->failTask(taskID, resultCode); });
}

bool KVELEngine::nextTaskEvent(MPU_TIME& when)
{
    const std::optional<MPU_TIME> next = look([&] { return _state->nextTaskEvent(); });
    if (next) when = *next;
    return next.has_value();
}

KVELEngine::~KVELEngine() {}

KVELEngine* KVELEngine::_getInstance()
{
    Registry& r = registry();
    if (KVELEngine* engine = r.current.load(std::memory_order_acquire)) return engine;
    KVELEngineConfig config = KVELEngineConfig::fromEnvironment();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (KVELEngine* engine = r.current.load(std::memory_order_acquire)) return engine;
    KVELEngine* engine = new KVELEngine(config);
    publishName(_ZarvoSystemNamePtr, engine->_state->systemName(), r);
    publishName(_ZarvoHostNamePtr, engine->_state->hostName(), r);
    r.ramdiskDirectory = config.ramdiskDirectory;
    r.current.store(engine, std::memory_order_release);
    return engine;
}

KVELEngine* KVELEngine::createInstance(const KVELEngineConfig& config)
{
    Registry& r = registry();
    KVELEngine* engine = new KVELEngine(config);
    std::lock_guard<std::mutex> lock(r.mutex);
    if (KVELEngine* old = r.current.load(std::memory_order_acquire)) r.retired.push_back(old);
    publishName(_ZarvoSystemNamePtr, engine->_state->systemName(), r);
    publishName(_ZarvoHostNamePtr, engine->_state->hostName(), r);
    r.ramdiskDirectory = config.ramdiskDirectory;
    r.current.store(engine, std::memory_order_release);
    return engine;
}

Uint32 KVELEngine::_getControllerSlotId()
{
    if (KVELEngine* engine = registry().current.load(std::memory_order_acquire))
        return engine->_state->config().controllerSlot;
    Uint32 slot = 0;
    kvelsim::environmentSlot(slot);
    return slot;
}

Uint32 KVELEngine::getRamdiskFilename(Uint32 bufferSize, char* buffer)
{
    static std::atomic<Uint64> counter{0};
    Registry& r = registry();
    std::string directory;
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        directory = r.ramdiskDirectory;
    }
    if (directory.empty()) directory = kvelsim::environmentRamdiskDirectory();
    if (directory.size() > 1 && directory.back() == '/') directory.pop_back();
    std::string name = directory + (directory == "/" ? "" : "/") + "kvel-xfer-" + std::to_string(::getpid()) +
                       "-" + std::to_string(counter.fetch_add(1) + 1) + ".tmp";
    if (!buffer || name.size() + 1 > bufferSize) return 0;
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    return Uint32(name.size());
}

Array<Uint32> KVELEngine::enumerateObjects(CLASSID_e classID)
{
    return look([&] { return _state->enumerateObjects(classID); });
}

Uint32 KVELEngine::getObjectIDByKey(CLASSID_e classID, const KVELKey& key)
{
    return look([&] { return _state->taskIDByKey(classID, key); });
}

Uint32 KVELEngine::getObjectIDByKey(CLASSID_e classID, const String& key)
{
    // Hexadecimal text first (a job's InstanceID); then the characters as the key bytes.
    KVELKey fromHex = ManagedObject::hexToBin(key);
    KVELKey raw;
    for (Uint32 i = 0; i < key.size(); ++i)
    {
        Uint16 c = key[i];
        if (c > 0xFF)
        {
            raw.clear();
            break;
        }
        raw.push_back(Uint8(c));
    }
    return look(
        [&]
        {
            Uint32 id = _state->taskIDByKey(classID, fromHex);
            return id != KVEL_NULL_OBJECT_ID ? id : _state->taskIDByKey(classID, raw);
        });
}

ManagedObject* KVELEngine::getObject(CLASSID_e classID, Uint32 objectID)
{
    return look([&] { return _state->copyOf(classID, objectID); });
}

Uint32 KVELEngine::modifyObject(CLASSID_e classID, const ManagedObject* object)
{
    return work([&] { return _state->modifyObject(classID, object); });
}

Uint32 KVELEngine::deleteObject(CLASSID_e classID, Uint32 objectID)
{
    return work([&] { return _state->deleteObject(classID, objectID); });
}

Uint32 KVELEngine::createSetting(const KVELVolume& layout, Uint32& objectID)
{
    return work([&] { return _state->createSetting(layout, objectID); });
}

Uint32 KVELEngine::createVolume(KVELVolume* setting, KVELTask* task)
{
    Uint32 rc = work([&] { return _state->createVolume(setting, task); });
    // A volume that was made is answered normally, also when its state could not be saved.
    if (rc != KVEL_RC_SUCCESS && rc != KVEL_RC_STATE_NOT_SAVED)
        throw KVELOperationFailedException(rc, KVELErrorCodes::getTextForIndex(KVELErrorCodes::getIndex(rc)));
    return rc;
}

Uint32 KVELEngine::growVolume(Uint32 volumeID, KVELVolume* volume, KVELTask* task)
{
    return work([&] { return _state->growVolume(volumeID, volume, task); });
}

Uint32 KVELEngine::reconfigureVolume(Uint32 volumeID, KVELVolume* setting, KVELTask* task)
{
    return work([&] { return _state->reconfigureVolume(volumeID, setting, task); });
}

Uint32 KVELEngine::deleteVolume(Uint32 objectID, KVELTask* task)
{
    return work([&] { return _state->deleteVolume(objectID, task); });
}

Uint32 KVELEngine::downDrive(Uint32 driveID, KVELTask* task)
{
    return work([&] { return _state->downDrive(driveID, task); });
}

Uint32 KVELEngine::initializeDrive(Uint32 driveID, KVELTask* task)
{
    return work([&] { return _state->initializeDrive(driveID, task); });
}

Uint32 KVELEngine::scanVolume(Uint32 volumeID, KVELTask* task)
{
    return work([&] { return _state->scanVolume(volumeID, task); });
}

Uint32 KVELEngine::rebuildVolume(Uint32 volumeID, KVELTask* task)
{
    return work([&] { return _state->rebuildVolume(volumeID, task); });
}

Uint32 KVELEngine::createVolumeAtomic(const char* name, Uint64 sizeBlocks, Uint32 poolPtr, Uint8 stripeWidth,
                                      Uint8 mirrorCount, Uint32 chunkBlocks,
                                      KVELVolume::VolumeOrganizationEnum organization,
                                      std::vector<Uint32> drives, KVELTask* task, Uint32& newVolumeID)
{
    KVELArrayState::LayoutRequest layout{Uint32(organization), mirrorCount, stripeWidth, chunkBlocks};
    return work(
        [&]
        { return _state->createVolumeAtomic(name, sizeBlocks, poolPtr, layout, drives, task, newVolumeID); });
}

Uint32 KVELEngine::reconfigureVolumeAtomic(Uint32 volumePtr, Uint64 sizeBlocks, Uint32 poolPtr,
                                           Uint8 stripeWidth, Uint8 mirrorCount, Uint32 chunkBlocks,
                                           KVELVolume::VolumeOrganizationEnum organization,
                                           std::vector<Uint32> drives, KVELTask* task, Uint32& shadowVolumeID)
{
    KVELArrayState::LayoutRequest layout{Uint32(organization), mirrorCount, stripeWidth, chunkBlocks};
    return work(
        [&]
        {
            return _state->reconfigureVolumeAtomic(volumePtr, sizeBlocks, poolPtr, layout, drives, task,
                                                   shadowVolumeID);
        });
}

Uint32 KVELEngine::getMaxVolumeSizeBlocks(Uint32 chunkBlocks, Uint8 stripeWidth, Uint8 mirrorCount,
                                          KVELVolume::VolumeOrganizationEnum organization, Uint32 poolPtr,
                                          std::vector<Uint32> drives, Uint64& maxBlocks)
{
    KVELArrayState::LayoutRequest layout{Uint32(organization), mirrorCount, stripeWidth, chunkBlocks};
    return look([&] { return _state->maxVolumeSize(layout, poolPtr, drives, maxBlocks); });
}

Uint32 KVELEngine::transferDrive(Uint32 driveID, Uint32 poolID)
{
    return work([&] { return _state->transferDrive(driveID, poolID); });
}

Uint32 KVELEngine::setDiskLineMode(KVELRedundantPair::DiskLineModeEnum mode)
{
    return work([&] { return _state->setDiskLineMode(Uint32(mode)); });
}

Uint32 KVELEngine::initiateShutdown(bool restart)
{
    return work([&] { return _state->initiateShutdown(restart); });
}

Uint32 KVELEngine::completeShutdown()
{
    return work([&] { return _state->completeShutdown(); });
}

Uint32 KVELEngine::forceLocalReset()
{
    return work([&] { return _state->forceLocalReset(); });
}

Uint32 KVELEngine::initiateFirmwareUpgrade(Uint32 imageSize)
{
    return work([&] { return _state->initiateFirmwareUpgrade(imageSize); });
}

Uint32 KVELEngine::activateFirmwareUpgrade(Uint32 environment)
{
    return work([&] { return _state->activateFirmwareUpgrade(environment); });
}

Uint32 KVELEngine::setPersistenceData(KVELController::PersistenceEnum setting, const char* fileName)
{
    return work([&] { return _state->setPersistenceData(Uint32(setting), fileName); });
}

Uint32 KVELEngine::getPersistenceData(const char* fileName)
{
    Uint32 written = KVEL_RC_NO_RESULT;
    Uint32 rc = work([&] { return written = _state->getPersistenceData(fileName); });
    // A failure hands no file over: a block written before the state could not be saved goes again.
    if (written == KVEL_RC_SUCCESS && rc != KVEL_RC_SUCCESS) ::unlink(fileName);
    return rc;
}

MPU_TIME KVELEngine::now() const
{
    return _state->clockNow();
}

KVELClock& KVELEngine::clock() const
{
    return _state->clock();
}

std::string KVELEngine::describe()
{
    return look([&] { return _state->describe(); });
}

PEGASUS_NAMESPACE_END
