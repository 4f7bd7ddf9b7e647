#include "tests/support/test_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

std::string testPath(const std::string& name)
{
    static std::string made;  // the test whose folder was last emptied
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    const std::string id = test ? std::string(test->test_suite_name()) + "." + test->name() : "global";
    // The process id keeps tests that run in parallel, one per process, apart.
    const fs::path folder = fs::path(testing::TempDir()) / ("velmora-" + std::to_string(getpid()) + "-" + id);
    if (made != id) {
        fs::remove_all(folder);
        fs::create_directories(folder);
        made = id;
    }
    return (folder / name).string();
}
