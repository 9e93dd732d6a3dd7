// Where cimhost looks for its schema and modules when no option names them: installed, beside
// the executable; otherwise, and when the executable is unknown, in the build tree.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "InstalledPaths.h"

namespace fs = std::filesystem;

TEST(InstalledPaths, BesideAnInstalledExecutableElseTheBuildTree)
{
    const fs::path prefix = fs::temp_directory_path() / ("cimhost-paths-" + std::to_string(::getpid()));
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "share/cimhost/schema");
    const cimhost::SearchPaths installed{"share/cimhost/schema", "lib/cimhost"};
    const cimhost::SearchPaths buildTree{"/src/schema", "/build/lib"};
    const std::string executable = (prefix / "bin/cimhost").string();

    // A schema folder without its manifest is no installation.
    cimhost::SearchPaths found = cimhost::defaultSearchPaths(executable, installed, buildTree);
    EXPECT_EQ("/src/schema", found.schemaDirectory);
    EXPECT_EQ("/build/lib", found.providerDirectory);

    std::ofstream(prefix / "share/cimhost/schema/manifest.txt") << "root/snia root-snia/classes.mof\n";
    found = cimhost::defaultSearchPaths(executable, installed, buildTree);
    EXPECT_EQ((prefix / "share/cimhost/schema").string(), found.schemaDirectory);
    EXPECT_EQ((prefix / "lib/cimhost").string(), found.providerDirectory);

    EXPECT_EQ("/src/schema", cimhost::defaultSearchPaths("", installed, buildTree).schemaDirectory);
    EXPECT_FALSE(cimhost::runningExecutable().empty());
    fs::remove_all(prefix);
}
