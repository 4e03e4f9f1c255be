// What a file can do to the command line: an editor's byte-order mark, a huge
// file, a link planted in a shared folder, the file-size limit, the litter of a
// save that was killed.
#include "CliRunner.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

namespace qta::test {
namespace {

namespace fs = std::filesystem;

constexpr off_t k16MB = 16 * 1024 * 1024;

std::size_t countOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// A file of `size` bytes that takes no room on the disk.
void makeSparse(const std::string& path, off_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, size), 0);
    ::close(fd);
}

std::string tooLarge(const std::string& path) {
    return "qta710-cli: " + path +
           " is larger than 16 MB: no QTA 710 file is that large, so it was not read\n";
}

TEST(CliFileSafety, AByteOrderMarkBeforeTheFirstSectionIsSkippedAndLeftOutOfTheSave) {
    TempDir dir;
    writeFile(dir / "bom.pff", "\xEF\xBB\xBF[1A]\r\nTNIN_S_1_1=5550100\r\n[7A]\r\nPass=2468\r\n");
    const CliResult result = runCli({"convert", dir / "bom.pff", "-o", dir / "bom.pff"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string text = readFile(dir / "bom.pff");
    EXPECT_TRUE(text.starts_with("[1A]\r\nTNIN_S_1_1=5550100\r\n")) << text.substr(0, 40);
    EXPECT_EQ(countOf(text, "[1A]"), 1u) << "the first section updated in place, not added again";
    EXPECT_EQ(countOf(text, "[7A]\r\nPass=2468\r\n"), 1u);
}

TEST(CliFileSafety, AFileOver16MBIsRefusedUnreadWhateverItIsFor) {
    TempDir dir;
    const std::string huge = dir / "huge.bin";
    makeSparse(huge, k16MB + 1);
    const std::vector<std::vector<std::string>> commands = {
        {"convert", huge, "-o", dir / "out.pff"},
        {"decode", huge, "-o", dir / "out.pff"},
        {"events", huge, "-o", dir / "out.txt"},
        {"status", huge},
        {"defaults", "-o", huge}, // a save reads the file it updates
    };
    for (const auto& command : commands) {
        const CliResult result = runCli(command);
        EXPECT_EQ(result.exitCode, 1) << command[0];
        EXPECT_EQ(result.err, tooLarge(huge)) << command[0];
    }
    EXPECT_EQ(fs::file_size(huge), static_cast<std::uintmax_t>(k16MB + 1));
    EXPECT_FALSE(fs::exists(dir / "out.pff"));
    EXPECT_FALSE(fs::exists(dir / "out.txt"));

    // Exactly 16 MB is read, and found to be no configuration.
    const std::string full = dir / "full.pff";
    makeSparse(full, k16MB);
    const CliResult read = runCli({"convert", full, "-o", dir / "out.pff"});
    EXPECT_EQ(read.exitCode, 1);
    EXPECT_EQ(read.err, "qta710-cli: " + full + " is not a QTA 710 configuration file\n");
}

TEST(CliFileSafety, ALinkInAStickySharedFolderIsFollowedOnlyIfItsOwnerIsTheUserOrTheFolders) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a link another owner";
    TempDir dir;
    const std::string shared = dir / "shared";
    fs::create_directory(shared);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    const std::string victim = dir / "profile";
    writeFile(victim, "mine\n");
    const std::string planted = shared + "/x.pff";
    fs::create_symlink(victim, planted);
    ASSERT_EQ(::lchown(planted.c_str(), 65534, 65534), 0); // another user's link

    const auto refused = [](const std::string& path) {
        return "qta710-cli: Unable to write to " + path +
               ": it goes through a symbolic link in a shared folder that belongs neither to you nor to the "
               "folder's owner, so the link is not followed\n";
    };
    // Also a planted link to a folder on the way.
    const std::string home = dir / "home";
    fs::create_directory(home);
    const std::string plantedFolder = shared + "/logs";
    fs::create_symlink(home, plantedFolder);
    ASSERT_EQ(::lchown(plantedFolder.c_str(), 65534, 65534), 0);
    writeFile(dir / "none.bin", "");
    const std::vector<std::vector<std::string>> commands = {
        {"defaults", "-o", planted},
        {"events", dir / "none.bin", "-o", planted},
        {"events", dir / "none.bin", "-o", plantedFolder + "/x.txt"},
    };
    for (const auto& command : commands) {
        const CliResult result = runCli(command);
        EXPECT_EQ(result.exitCode, 1) << command.back();
        EXPECT_EQ(result.err, refused(command.back()));
    }
    EXPECT_EQ(readFile(victim), "mine\n");
    EXPECT_TRUE(fs::is_empty(home));
    EXPECT_TRUE(fs::is_symlink(planted));

    // The user's own link there is followed, and so is the folder owner's.
    const std::string own = shared + "/own.pff";
    fs::create_symlink(dir / "own-target.pff", own);
    EXPECT_EQ(runCli({"defaults", "-o", own}).exitCode, 0);
    EXPECT_TRUE(readFile(dir / "own-target.pff").starts_with("[1A]\r\n"));
    ASSERT_EQ(::chown(shared.c_str(), 65534, 65534), 0);
    EXPECT_EQ(runCli({"defaults", "-o", planted}).exitCode, 0);
    EXPECT_TRUE(readFile(victim).starts_with("mine\n[1A]\r\n")) << "updated in place through the link";
    EXPECT_EQ(runCli({"events", dir / "none.bin", "-o", plantedFolder + "/x.txt"}).exitCode, 0);
    EXPECT_TRUE(fs::exists(home + "/x.txt"));
    EXPECT_TRUE(fs::is_symlink(planted));
}

TEST(CliFileSafety, PastTheFileSizeLimitASaveFailsWithItsMessageAndLeavesTheOldFile) {
    TempDir dir;
    const std::string path = dir / "out.pff";
    writeFile(path, "[7A]\r\nPass=9999\r\n");
    // The program must ignore SIGXFSZ itself: here it starts with the default action.
    const CliResult result = runCli({"defaults", "-o", path}, {}, [] {
        std::signal(SIGXFSZ, SIG_DFL);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    EXPECT_EQ(result.exitCode, 1) << "not ended by the signal";
    EXPECT_EQ(result.err, "qta710-cli: Unable to write to " + path + "\n");
    EXPECT_EQ(readFile(path), "[7A]\r\nPass=9999\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1)
        << "no stray file";
}

TEST(CliFileSafety, ASaveRemovesWhatKilledSavesOfItsFileLeftAndNothingElse) {
    TempDir dir;
    const std::vector<std::string> left = {".out.pff.qta710-AbCd1234", ".out.pff.qta710-00000000"};
    const std::vector<std::string> kept = {".out.pff.qta710-Held5678", // a save still running
                                           ".other.pff.qta710-AbCd1234",
                                           ".out.pff.qta710-short",
                                           ".out.pff.AbCd1234",
                                           ".out.pff.qta710-AbCd12345",
                                           "out.pff.bak"};
    for (const auto& name : left)
        writeFile(dir / name, "[1A]\r\nTNIN");
    for (const auto& name : kept)
        writeFile(dir / name, "[1A]\r\nTNIN");
    const int held = ::open((dir / kept[0]).c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    const CliResult result = runCli({"defaults", "-o", dir / "out.pff"});
    ::close(held);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    for (const auto& name : left)
        EXPECT_FALSE(fs::exists(dir / name)) << name;
    for (const auto& name : kept)
        EXPECT_TRUE(fs::exists(dir / name)) << name;
    EXPECT_TRUE(readFile(dir / "out.pff").starts_with("[1A]\r\n"));
}

TEST(CliFileSafety, AnotherUsersFileOfTheSameNameIsNotRemoved) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can make a file of another user";
    TempDir dir;
    const std::string foreign = dir / ".out.pff.qta710-AbCd1234";
    writeFile(foreign, "theirs");
    ASSERT_EQ(::chown(foreign.c_str(), 65534, 65534), 0);
    ASSERT_EQ(runCli({"defaults", "-o", dir / "out.pff"}).exitCode, 0);
    EXPECT_EQ(readFile(foreign), "theirs");
}

} // namespace
} // namespace qta::test
