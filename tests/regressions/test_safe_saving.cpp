// Saving through a temporary file: the old file survives every failure and
// no temporary file is left behind.
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

namespace {

class SafeSaving : public testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::path(testing::TempDir()) / ("safe-saving-" + std::to_string(getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        target = (folder / "scene.xml").string();
        std::ofstream(target) << "old contents";
    }
    void TearDown() override { fs::remove_all(folder); }

    static std::string read(const std::string& name)
    {
        std::ifstream in(name);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // The names in the folder, to see that no temporary file stayed.
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder;
    std::string target;
    std::string error;
};

TEST_F(SafeSaving, ReplacesTheFileKeepingItsPermissionsAndLinks)
{
    chmod(target.c_str(), 0640);
    EXPECT_TRUE(util::writeFileAtomically(target, std::string("new contents"), error)) << error;
    EXPECT_EQ(read(target), "new contents");
    struct stat info;
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    // Through a link, the linked file changes and the link stays a link.
    const std::string link = (folder / "link.xml").string();
    fs::create_symlink("scene.xml", link);
    EXPECT_TRUE(util::writeFileAtomically(link, std::string("through the link"), error)) << error;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(read(target), "through the link");
    EXPECT_EQ(entries(), (std::vector<std::string>{"link.xml", "scene.xml"}));

    // A new file is created too.
    EXPECT_TRUE(util::writeFileAtomically((folder / "new.xml").string(), std::string("x"), error)) << error;
    EXPECT_EQ(read((folder / "new.xml").string()), "x");
}

TEST_F(SafeSaving, FailuresKeepTheOldFileAndSayWhy)
{
    const std::vector<std::string> before = entries();

    // The name is a folder.
    fs::create_directory(folder / "sub.xml");
    EXPECT_FALSE(util::writeFileAtomically((folder / "sub.xml").string(), std::string("x"), error));
    EXPECT_EQ(error, "is a folder");
    EXPECT_TRUE(fs::is_directory(folder / "sub.xml"));
    fs::remove(folder / "sub.xml");

    // A folder that does not exist.
    EXPECT_FALSE(util::writeFileAtomically((folder / "missing" / "a.xml").string(), std::string("x"), error));
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;

    // Not a regular file: a pipe would be replaced by a plain file otherwise.
    const std::string pipe = (folder / "pipe").string();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_FALSE(util::writeFileAtomically(pipe, std::string("x"), error));
    EXPECT_EQ(error, "is not a regular file");
    EXPECT_EQ(fs::status(pipe).type(), fs::file_type::fifo);
    fs::remove(pipe);

    // The contents could not be made.
    EXPECT_FALSE(util::writeFileAtomically(target, [](std::FILE* f) { std::fputs("half", f); return false; }, error));
    EXPECT_FALSE(error.empty());

    EXPECT_FALSE(util::writeFileAtomically("", std::string("x"), error));
    EXPECT_EQ(read(target), "old contents");
    EXPECT_EQ(entries(), before);
}

// A disk that fills up mid-save, made with a file size limit of `bytes`
// (which also bites when the tests run as root, unlike permissions).
template <class Save>
bool saveOnAFullDisk(long bytes, Save save)
{
    struct rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = bytes;
    if (setrlimit(RLIMIT_FSIZE, &small) != 0) return true;
    const bool saved = save();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    return saved;
}

TEST_F(SafeSaving, AFullDiskKeepsTheOldFile)
{
    EXPECT_FALSE(saveOnAFullDisk(4096, [&] { return util::writeFileAtomically(target, std::string(100000, 'x'), error); }));
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    EXPECT_EQ(read(target), "old contents");
    EXPECT_EQ(entries(), std::vector<std::string>{"scene.xml"});
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
    EXPECT_EQ(entries(), (std::vector<std::string>{"kind.arb", "scene.xml"}));
}

} // namespace
