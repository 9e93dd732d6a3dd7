#include "ControllerPair.h"

#include <cctype>
#include <KVELErrorCodes.h>
#include "TaskTiming.h"

PEGASUS_NAMESPACE_BEGIN

namespace kvelsim
{

namespace
{
const MPU_TIME SHUTDOWN_RESTART_SECONDS = 120;
const MPU_TIME RESET_SECONDS = 30;
const MPU_TIME ACTIVATION_SECONDS = 90;
} // namespace

void ControllerPair::tick(MPU_TIME now)
{
    if (_mode == Mode::Restarting && now >= _restartEnds) _mode = Mode::Running;
}

Uint32 ControllerPair::workAllowed() const
{
    return _mode == Mode::Running || _mode == Mode::UpgradeStaged ? KVEL_RC_SUCCESS : KVEL_RC_SHUTTING_DOWN;
}

Uint32 ControllerPair::refuseWhenDown() const
{
    return _mode == Mode::Restarting || _mode == Mode::Halted ? KVEL_RC_SHUTTING_DOWN : KVEL_RC_SUCCESS;
}

void ControllerPair::restartFor(MPU_TIME now, MPU_TIME seconds)
{
    _mode = Mode::Restarting;
    _restartEnds = now + seconds * MICROS_PER_SECOND;
}

Uint32 ControllerPair::initiateShutdown(bool restart)
{
    if (Uint32 rc = refuseWhenDown(); rc != KVEL_RC_SUCCESS) return rc;
    if (_mode != Mode::Running) return KVEL_RC_CONTROLLER_STATE;
    _mode = Mode::ShutdownPending;
    _restartAfterShutdown = restart;
    return KVEL_RC_SUCCESS;
}

Uint32 ControllerPair::completeShutdown(MPU_TIME now)
{
    if (Uint32 rc = refuseWhenDown(); rc != KVEL_RC_SUCCESS) return rc;
    if (_mode != Mode::ShutdownPending) return KVEL_RC_OUT_OF_ORDER;
    if (_restartAfterShutdown)
        restartFor(now, SHUTDOWN_RESTART_SECONDS);
    else
        _mode = Mode::Halted;
    return KVEL_RC_SUCCESS;
}

Uint32 ControllerPair::forceLocalReset(MPU_TIME now)
{
    if (Uint32 rc = refuseWhenDown(); rc != KVEL_RC_SUCCESS) return rc;
    restartFor(now, RESET_SECONDS);
    return KVEL_RC_SUCCESS;
}

Uint32 ControllerPair::initiateFirmwareUpgrade(Uint32 imageSize)
{
    if (Uint32 rc = refuseWhenDown(); rc != KVEL_RC_SUCCESS) return rc;
    if (_mode != Mode::Running) return KVEL_RC_CONTROLLER_STATE;
    if (imageSize == 0 || imageSize > MAX_FIRMWARE_IMAGE_BYTES) return KVEL_RC_FIRMWARE_IMAGE_INVALID;
    _mode = Mode::UpgradeStaged;
    return KVEL_RC_SUCCESS;
}

Uint32 ControllerPair::activateFirmwareUpgrade(Uint32 environment, MPU_TIME now, std::string& firmwareVersion)
{
    if (Uint32 rc = refuseWhenDown(); rc != KVEL_RC_SUCCESS) return rc;
    if (_mode != Mode::UpgradeStaged) return KVEL_RC_OUT_OF_ORDER;
    if (environment != ACTIVATE_THIS_CONTROLLER && environment != ACTIVATE_BOTH_CONTROLLERS)
        return KVEL_RC_INVALID_PARAMETER;
    // Both controllers restart one after the other.
    restartFor(now, environment == ACTIVATE_BOTH_CONTROLLERS ? 2 * ACTIVATION_SECONDS : ACTIVATION_SECONDS);
    firmwareVersion = nextFirmwareVersion(firmwareVersion);
    return KVEL_RC_SUCCESS;
}

std::string nextFirmwareVersion(const std::string& version)
{
    size_t digits = version.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(version[digits - 1])))
        --digits;
    if (digits == version.size() || version.size() - digits > 9) return version + ".1";
    unsigned long number = std::stoul(version.substr(digits));
    return version.substr(0, digits) + std::to_string(number + 1);
}

} // namespace kvelsim

PEGASUS_NAMESPACE_END
