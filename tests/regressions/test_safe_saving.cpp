// Saving through a temporary file: the old file survives every failure and
// no temporary file is left behind.
#include "tests/support/test_path.h"
#include "forest/tree_parameters.h"
#include "util/atomic_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

namespace {

std::string read(const fs::path& name)
{
    std::stringstream text;
    text << std::ifstream(name).rdbuf();
    return text.str();
}

// A disk that fills up mid-save, made with a file size limit of `bytes`
// (which also bites when the tests run as root, unlike permissions).
template <class Save>
bool saveOnAFullDisk(long bytes, Save save)
{
    struct rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit small = old;
    small.rlim_cur = bytes;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const bool saved = setrlimit(RLIMIT_FSIZE, &small) != 0 || save();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    return saved;
}

class SafeSaving : public testing::Test {
protected:
    void SetUp() override
    {
        fs::remove_all(folder);
        fs::create_directories(folder);
        std::ofstream(target) << "old contents";
    }
    void TearDown() override { fs::remove_all(folder); }

    bool save(const fs::path& name, const std::string& text)
    {
        return util::writeFileAtomically(name.string(), text, error);
    }
    // The names in the folder, to see that no temporary file stayed.
    Names entries() const
    {
        Names names;
        for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    const fs::path folder = testPath("files");
    const fs::path target = folder / "scene.xml";
    std::string error;
};

} // namespace

TEST_F(SafeSaving, ReplacesTheFileKeepingItsPermissionsAndLinks)
{
    fs::permissions(target, fs::perms(0640));
    EXPECT_TRUE(save(target, "new contents")) << error;
    EXPECT_EQ(read(target), "new contents");
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
    // Through a link, the linked file changes and the link stays a link.
    fs::create_symlink("scene.xml", folder / "link.xml");
    EXPECT_TRUE(save(folder / "link.xml", "through the link")) << error;
    EXPECT_TRUE(fs::is_symlink(folder / "link.xml"));
    EXPECT_EQ(read(target), "through the link");
    EXPECT_EQ(entries(), (Names{"link.xml", "scene.xml"}));
    // A new file is created too.
    EXPECT_TRUE(save(folder / "new.xml", "x")) << error;
    EXPECT_EQ(read(folder / "new.xml"), "x");
}

TEST_F(SafeSaving, FailuresAndAFullDiskKeepTheOldFileAndSayWhy)
{
    // A folder, a folder that does not exist, and a pipe, which would be
    // replaced by a plain file otherwise.
    fs::create_directory(folder / "sub.xml");
    ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0600), 0);
    const Names before = entries();
    for (auto [name, reason] : {std::pair{folder / "sub.xml", "is a folder"},
                                {folder / "missing" / "a.xml", "No such file or directory"},
                                {folder / "pipe", "is not a regular file"}}) {
        EXPECT_FALSE(save(name, "x")) << name;
        EXPECT_NE(error.find(reason), std::string::npos) << name << ": " << error;
    }
    EXPECT_TRUE(fs::is_directory(folder / "sub.xml"));
    EXPECT_EQ(fs::status(folder / "pipe").type(), fs::file_type::fifo);

    EXPECT_FALSE(saveOnAFullDisk(4096, [&] { return save(target, std::string(100000, 'x')); }));
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    // The contents could not be made, or there is no name.
    const auto half = [](std::FILE* f) { std::fputs("half", f); return false; };
    EXPECT_FALSE(util::writeFileAtomically(target, half, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(save("", "x"));
    EXPECT_EQ(read(target), "old contents");
    EXPECT_EQ(entries(), before);
}

// Tree parameter files go the same way, and the failure is one line naming
// the file and the reason.
TEST_F(SafeSaving, AFailedTreeSaveKeepsTheOldFileAndPrintsOneLine)
{
    const std::string arb = (folder / "kind.arb").string();
    TreeParameters p = defaultTreeParameters();
    ASSERT_TRUE(saveTreeParameters(p, arb));
    const std::string good = read(arb);
    ASSERT_GT(good.size(), 1000u);
    p.diameter = 7;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(saveOnAFullDisk(200, [&] { return saveTreeParameters(p, arb); }));
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(read(arb), good);
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
    EXPECT_NE(printed.find(arb), std::string::npos) << printed;
    EXPECT_NE(printed.find("File too large"), std::string::npos) << printed;
    EXPECT_EQ(entries(), (Names{"kind.arb", "scene.xml"}));
}
