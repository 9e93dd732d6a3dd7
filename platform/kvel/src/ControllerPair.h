// This controller's life cycle: the two-step shutdown, the forced reset and the two-step firmware
// upgrade, as a small state machine on engine time.
//
//   running --initiateShutdown--> shutdown pending --completeShutdown--> restarting (120 s) | halted
//   running --initiateFirmwareUpgrade--> upgrade staged --activate--> restarting (90 s, 180 s for both)
//   running | pending | staged --forceLocalReset--> restarting (30 s)
//
// While shutdown is pending, restarting or halted, new work is refused (KVEL_RC_SHUTTING_DOWN);
// the partner keeps running the tasks. A halted controller stays halted until the engine is made
// anew: this state is not kept in the durable state file.
#ifndef KVEL_ControllerPair_h
#define KVEL_ControllerPair_h

#include <string>
#include <KVELTypes.h>

PEGASUS_NAMESPACE_BEGIN

namespace kvelsim
{

// Largest firmware image the staging area takes: 64 MiB.
const Uint32 MAX_FIRMWARE_IMAGE_BYTES = 64u * 1024 * 1024;

class ControllerPair
{
public:
    enum class Mode
    {
        Running,
        ShutdownPending,
        UpgradeStaged,
        Restarting,
        Halted
    };

    // Environments of activateFirmwareUpgrade.
    static const Uint32 ACTIVATE_THIS_CONTROLLER = 0;
    static const Uint32 ACTIVATE_BOTH_CONTROLLERS = 1;

    Mode mode() const { return _mode; }
    // Ends a restart whose time is over.
    void tick(MPU_TIME now);
    // KVEL_RC_SUCCESS when new work may start, else KVEL_RC_SHUTTING_DOWN.
    Uint32 workAllowed() const;

    Uint32 initiateShutdown(bool restart);
    Uint32 completeShutdown(MPU_TIME now);
    Uint32 forceLocalReset(MPU_TIME now);
    Uint32 initiateFirmwareUpgrade(Uint32 imageSize);
    // On success the firmware version's last number goes up by one.
    Uint32 activateFirmwareUpgrade(Uint32 environment, MPU_TIME now, std::string& firmwareVersion);

private:
    Uint32 refuseWhenDown() const;
    void restartFor(MPU_TIME now, MPU_TIME seconds);

    Mode _mode = Mode::Running;
    bool _restartAfterShutdown = false;
    MPU_TIME _restartEnds = 0;
};

// "3.2.7" -> "3.2.8"; a version without a trailing number gets ".1".
std::string nextFirmwareVersion(const std::string& version);

} // namespace kvelsim

PEGASUS_NAMESPACE_END

#endif
