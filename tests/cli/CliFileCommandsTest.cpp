#include "CliRunner.h"

#include <gtest/gtest.h>

namespace qta::test {
namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(CliFileCommandsTest, DefaultsWritesTheStartUpFileWithTheChosenSeparator) {
    TempDir dir;
    ASSERT_EQ(runCli({"--decimal-separator", ",", "defaults", "-o", dir / "a.pff"}).exitCode, 0);
    ASSERT_EQ(runCli({"--decimal-separator", ".", "defaults", "-o", dir / "b.pff"}).exitCode, 0);
    const std::string comma = readFile(dir / "a.pff"), point = readFile(dir / "b.pff");
    EXPECT_TRUE(comma.starts_with("[1A]\r\nTNIN_S_1_1=\r\n"));
    EXPECT_TRUE(contains(comma, "[2F]\r\nUMAX_AIN1=25,5\r\n"));
    EXPECT_TRUE(contains(point, "[2F]\r\nUMAX_AIN1=25.5\r\n"));
    EXPECT_TRUE(contains(point, "[8C]\r\nTestPCO=24\r\n"));
}

TEST(CliFileCommandsTest, DefaultSeparatorComesFromTheLocale) {
    TempDir dir;
    ASSERT_EQ(runCli({"defaults", "-o", dir / "c.pff"}).exitCode, 0);
    EXPECT_TRUE(contains(readFile(dir / "c.pff"), "UMAX_AIN1=25.5\r\n")) << "the C locale uses '.'";
}

TEST(CliFileCommandsTest, NewWritesTheFactoryValuesWithACommaWhateverTheSeparator) {
    TempDir dir;
    ASSERT_EQ(runCli({"--decimal-separator", ".", "new", "-o", dir / "n.pff"}).exitCode, 0);
    const std::string text = readFile(dir / "n.pff");
    EXPECT_TRUE(contains(text, "UMAX_AIN2=25,5\r\n"));
    EXPECT_TRUE(contains(text, "Jam=1\r\n"));
    EXPECT_TRUE(contains(text, "TestPCO=0\r\n"));
}

TEST(CliFileCommandsTest, ConvertOpensAndSaves) {
    TempDir dir;
    writeFile(dir / "in.pff", "[8e]\r\neventcodein3 = 25\r\n[5A]\r\nTNLS_1=1\r\nTNLS_2=\r\nTNLS_3=3\r\n");
    writeFile(dir / "out.pff", "[Mine]\r\nkeep=yes\r\n");
    ASSERT_EQ(runCli({"convert", dir / "in.pff", "-o", dir / "out.pff"}).exitCode, 0);
    const std::string text = readFile(dir / "out.pff");
    EXPECT_TRUE(text.starts_with("[Mine]\r\nkeep=yes\r\n[1A]\r\n"));
    EXPECT_TRUE(contains(text, "EventCodeIN2=0\r\nEventCodeIN3=-1\r\n"));
    EXPECT_TRUE(contains(text, "[5A]\r\nTNLS_1=1\r\nTNLS_2=\r\nTNLS_3=\r\n"));
    EXPECT_TRUE(contains(text, "NO_IN1=0\r\n"));
}

TEST(CliFileCommandsTest, FailuresExitWithOneAndOneLine) {
    TempDir dir;
    auto result = runCli({"convert", dir / "missing.pff", "-o", dir / "out.pff"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "qta710-cli: Unable to read " + (dir / "missing.pff") + "\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.pff"));

    result = runCli({"defaults", "-o", dir / "no-such-dir/out.pff"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "qta710-cli: Unable to write to " + (dir / "no-such-dir/out.pff") + "\n");
}

TEST(CliFileCommandsTest, UsageErrorsExitWithTwo) {
    TempDir dir;
    EXPECT_EQ(runCli({}).exitCode, 2);
    EXPECT_EQ(runCli({"frobnicate"}).exitCode, 2);
    EXPECT_EQ(runCli({"defaults"}).exitCode, 2);
    EXPECT_EQ(runCli({"defaults", "-x", "y"}).exitCode, 2);
    EXPECT_EQ(runCli({"--decimal-separator", ";", "defaults", "-o", dir / "a.pff"}).exitCode, 2);
    EXPECT_EQ(runCli({"--lang", "de", "defaults", "-o", dir / "a.pff"}).exitCode, 2);
    EXPECT_EQ(runCli({"--lang", "DE", "defaults", "-o", dir / "a.pff"}).exitCode, 0);
    EXPECT_EQ(runCli({"convert", "-o", dir / "a.pff"}).exitCode, 2);
}

// Every command carries its own help, which names each of its options; the whole
// help adds the exit statuses. Neither runs anything.
TEST(CliHelpTest, EachCommandHasItsOwnHelpAndTheWholeHelpTheExitStatuses) {
    const CliResult whole = runCli({"--help"});
    EXPECT_EQ(whole.exitCode, 0);
    EXPECT_NE(whole.out.find("       qta710-cli COMMAND --help\n"), std::string::npos) << whole.out;
    EXPECT_NE(whole.out.find("exit status:\n  0  success\n"), std::string::npos) << whole.out;
    EXPECT_NE(whole.out.find("  3  the device refused the access code\n"), std::string::npos) << whole.out;

    const CliResult read = runCli({"--lang", "SK", "read", "--usb", "--help"});
    EXPECT_EQ(read.exitCode, 0) << read.err;
    EXPECT_TRUE(read.out.starts_with("usage: qta710-cli read (--usb [--port PATH]")) << read.out;
    for (const char* option : {"--usb", "--port PATH", "--trace FILE", "--gprs", "--listen PORT",
                               "--code CODE", "--timeout S", "-i BASE.pff", "-o OUT.pff"})
        EXPECT_NE(read.out.find(std::string("\n  ") + option + " "), std::string::npos) << option;
    EXPECT_EQ(read.err, "");

    const CliResult convert = runCli({"convert", "--help"});
    EXPECT_EQ(convert.out, "usage: qta710-cli convert IN.pff -o OUT.pff\n"
                           "Opens IN.pff and saves it again.\n"
                           "  -o OUT.pff  the file to save into (created, or updated in place)\n");
}

} // namespace
} // namespace qta::test
