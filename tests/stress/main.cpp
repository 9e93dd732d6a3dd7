// The stress tests of cimhost: "concurrent" (many clients at once, then the array's invariants)
// or "crash" (SIGKILL at random moments, then the state file). STRESS_SEED replays a run.
#include "StressSupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

int main(int argc, char** argv)
{
    const std::string test = argc == 2 ? argv[1] : "";
    if (test != "concurrent" && test != "crash")
        return std::cerr << "usage: " << argv[0] << " concurrent|crash\n", 2;
    const unsigned seed = unsigned(stress::knob("STRESS_SEED", long(std::random_device{}() & 0x7fffffff)));
    std::cout << test << " stress; replay with STRESS_SEED=" << seed << std::endl;
    // A RAM disk when there is one: the host rewrites and syncs its whole state file after every
    // change, which on a disk takes milliseconds and would stretch seconds into a minute.
    const char* base = std::getenv("STRESS_DIR");
    if (!base || !*base) base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::getenv("TMPDIR");
    std::string dir = std::string(base && *base ? base : "/tmp") + "/cimhost-stress.XXXXXX";
    if (!mkdtemp(&dir[0]) || mkdir((dir + "/ramdisk").c_str(), 0700) != 0)
        return std::cerr << "no " << dir << "\n", 2;
    setenv("KVEL_RAMDISK_DIR", (dir + "/ramdisk").c_str(), 1);
    // Under LeakSanitizer: the providers the host leaves alive by contract are not leaks.
    setenv("LSAN_OPTIONS", "suppressions=" SCS_LSAN_SUPPRESSIONS, 0);
    std::mt19937 random(seed);
    stress::Tally tally;
    (test == "crash" ? stress::runCrashes : stress::runConcurrent)(dir, random, tally);
    tally.print();
    if (tally.failures())
    {
        std::cout << tally.failures() << " check(s) FAILED (seed " << seed << "); files in " << dir
                  << std::endl;
        return 1;
    }
    std::filesystem::remove_all(dir);
    std::cout << "passed" << std::endl;
    return 0;
}
