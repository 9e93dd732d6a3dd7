#include "ArrayState.h"
#include "EngineEnvironment.h"

#include <cstdio>
#include <Pegasus/Common/Exception.h>
#include "ArrayJson.h"
#include "DemoArray.h"
#include "PersistenceFile.h"
#include "StateFile.h"

PEGASUS_NAMESPACE_BEGIN

using namespace kvelsim;

namespace
{
[[noreturn]] void fileProblem(const char* what, const std::string& path, const std::string& problem)
{
    std::string message = std::string(what) + " '" + path + "': " + problem;
    throw Exception(String(message.c_str()));
}

std::shared_ptr<KVELClock> clockOf(const KVELEngineConfig& config)
{
    return config.clock ? config.clock : std::make_shared<KVELSystemClock>();
}
} // namespace

KVELArrayState::KVELArrayState(const KVELEngineConfig& config)
    : _config(config), _clock(clockOf(config)), _scheduler(_model, config.maxTasks)
{
    if (_config.controllerSlot > 1)
        throw Exception(String(
            ("KVEL controller slot must be 0 or 1, not " + std::to_string(_config.controllerSlot)).c_str()));
    load();
    _hostName = !_config.hostName.empty()  ? _config.hostName
                : !_model.hostName.empty() ? _model.hostName
                                           : kvelsim::machineHostName();
    const MPU_TIME clockTime = _clock->now();
    if (_model.lastAdvanced > clockTime) _clockOffset = _model.lastAdvanced - clockTime;
    _scheduler.reset();
}

void KVELArrayState::load()
{
    const MPU_TIME start = _clock->now();
    const std::string& stateFile = _config.stateFile;
    std::string text, problem;
    if (!stateFile.empty())
    {
        switch (readWholeFile(stateFile, text, problem))
        {
        case FileRead::Read:
            try
            {
                readArray(text, start, _model);
            }
            catch (const FormatError& e)
            {
                fileProblem("KVEL state file", stateFile, e.what());
            }
            return;
        case FileRead::Failed:
            fileProblem("KVEL state file", stateFile, problem);
        case FileRead::Missing:
            break;
        }
    }
    const std::string& description = _config.arrayDescriptionFile;
    if (description.empty())
        buildDemoArray(_model, start);
    else
    {
        switch (readWholeFile(description, text, problem))
        {
        case FileRead::Missing:
            fileProblem("KVEL array description", description, "no such file");
        case FileRead::Failed:
            fileProblem("KVEL array description", description, problem);
        case FileRead::Read:
            try
            {
                readArray(text, start, _model);
            }
            catch (const FormatError& e)
            {
                fileProblem("KVEL array description", description, e.what());
            }
        }
    }
    if (!stateFile.empty() && !writeFileAtomically(stateFile, writeArray(_model), problem))
        fileProblem("KVEL state file", stateFile, problem);
}

void KVELArrayState::advance()
{
    _scheduler.advanceTo(clockNow());
    applyDueFaults();
    _controller.tick(now());
    _quiet = false;
}

void KVELArrayState::advanceToRead()
{
    // Tasks only move with time or with work: a second reading at the same clock time, with no
    // work done since, finds nothing to move.
    if (_quiet && clockNow() == _model.lastAdvanced) return;
    advance();
    _quiet = true;
}

Uint32 KVELArrayState::commit(Uint32 resultCode)
{
    if (!_model.touched) return resultCode;
    ++_changeCount;
    _scheduler.bringUpAll();
    std::string problem;
    if (_config.stateFile.empty() || writeFileAtomically(_config.stateFile, writeArray(_model), problem))
    {
        _model.touched = false;
        return resultCode;
    }
    return resultCode == KVEL_RC_SUCCESS ? Uint32(KVEL_RC_STATE_NOT_SAVED) : resultCode;
}

std::string KVELArrayState::defaultTaskName(KVELTask::TaskTypeEnum type, Uint32 target) const
{
    static const char* const verbs[] = {
        "Task",        "Create volume",  "Grow volume",      "Reconfigure volume", "Delete volume",
        "Scan volume", "Rebuild volume", "Initialize drive", "Take down drive"};
    std::string name = verbs[type <= KVELTask::TASK_TYPE_DOWN_DRIVE ? Uint32(type) : 0u];
    auto volume = _model.volumes.find(target);
    auto drive = _model.drives.find(target);
    if (volume != _model.volumes.end())
        name += " " + volume->second.Name;
    else if (drive != _model.drives.end())
        name += " in slot " + std::to_string(drive->second.Slot);
    char id[16];
    std::snprintf(id, sizeof id, " (%X)", target);
    return name + id;
}

void KVELArrayState::startTask(KVELTask* request, KVELTask::TaskTypeEnum type, Uint32 target,
                               Uint64 workBlocks, std::optional<KVELVolume> before, Uint32 shadowID)
{
    TaskEntry& task = _scheduler.add(request, type, target, workBlocks, defaultTaskName(type, target), now());
    task.before = std::move(before);
    task.shadowID = shadowID;
    _scheduler.startDue(now());
    if (request) *request = task.record;
}

std::string KVELArrayState::describe()
{
    _scheduler.bringUpAll();
    return writeArray(_model);
}

Uint32 KVELArrayState::setDiskLineMode(Uint32 mode)
{
    if (Uint32 rc = _controller.workAllowed(); rc != KVEL_RC_SUCCESS) return rc;
    if (mode > KVELRedundantPair::DISK_LINE_MODE_SPLIT) return KVEL_RC_INVALID_DISK_LINE_MODE;
    if (mode == Uint32(_model.diskLineMode)) return KVEL_RC_SUCCESS_NO_CHANGE;
    _model.diskLineMode = KVELRedundantPair::DiskLineModeEnum(mode);
    _model.touched = true;
    return KVEL_RC_SUCCESS;
}

Uint32 KVELArrayState::initiateShutdown(bool restart)
{
    return _controller.initiateShutdown(restart);
}

Uint32 KVELArrayState::completeShutdown()
{
    return _controller.completeShutdown(now());
}

Uint32 KVELArrayState::forceLocalReset()
{
    return _controller.forceLocalReset(now());
}

Uint32 KVELArrayState::initiateFirmwareUpgrade(Uint32 imageSize)
{
    return _controller.initiateFirmwareUpgrade(imageSize);
}

Uint32 KVELArrayState::activateFirmwareUpgrade(Uint32 environment)
{
    Uint32 rc = _controller.activateFirmwareUpgrade(environment, now(), _model.firmwareVersion);
    if (rc == KVEL_RC_SUCCESS) _model.touched = true;
    return rc;
}

Uint32 KVELArrayState::setPersistenceData(Uint32 setting, const char* fileName)
{
    if (Uint32 rc = _controller.workAllowed(); rc != KVEL_RC_SUCCESS) return rc;
    if (setting > KVELController::PERSISTENCE_BOTH) return KVEL_RC_INVALID_PERSISTENCE_SETTING;
    std::vector<Uint8> block;
    if (Uint32 rc = readPersistenceFile(fileName, block); rc != KVEL_RC_SUCCESS) return rc;
    Uint32 local = _config.controllerSlot;
    if (setting != KVELController::PERSISTENCE_PARTNER) _model.persistence[local] = block;
    if (setting != KVELController::PERSISTENCE_LOCAL) _model.persistence[1 - local] = block;
    _model.touched = true;
    return KVEL_RC_SUCCESS;
}

Uint32 KVELArrayState::getPersistenceData(const char* fileName)
{
    if (Uint32 rc = _controller.workAllowed(); rc != KVEL_RC_SUCCESS) return rc;
    return writePersistenceFile(fileName, _model.persistence[_config.controllerSlot]);
}

PEGASUS_NAMESPACE_END
