#include "CliRunner.h"

#include <gtest/gtest.h>

namespace qta::test {
namespace {

constexpr std::size_t kImageSize = 21504;
constexpr std::size_t kFrameSize = 66;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}
std::string byteChar(int value) {
    return std::string(1, static_cast<char>(value));
}
std::string zeros(std::size_t count) {
    return std::string(count, '\0');
}

// A .pff holding a few fields; every other key takes its default.
std::string samplePff() {
    return "[1B]\r\nTNIN_V_3_1=5550100\r\n[2F]\r\nUMAX_AIN1=12,3\r\n[6B]\r\nAuto_2=17\r\n[1F]\r\nNC_IN1="
           "1\r\n";
}

TEST(ImageCommandsTest, EncodeWritesTheImageAndTheFramesInWriteOrder) {
    TempDir dir;
    writeFile(dir / "in.pff", samplePff());
    const auto result = runCli({"--lang", "SK", "encode", dir / "in.pff", "-o", dir / "image.bin", "--frames",
                                dir / "frames.bin", "--time", "2612072205"});
    ASSERT_EQ(result.exitCode, 0) << result.err;

    const std::string image = readFile(dir / "image.bin");
    ASSERT_EQ(image.size(), kImageSize);
    EXPECT_EQ(image.substr(0x0400, 16), byteChar(7) + "5550100" + zeros(8));
    EXPECT_EQ(image[0x4680 + 31], '\x17');
    EXPECT_EQ(image[0x4680 + 46], 123);
    EXPECT_EQ(image[0x4680 + 50], '\x80');
    EXPECT_EQ(image.substr(0x4B20, 14), byteChar(12) + "GPRS pristup" + zeros(1));
    EXPECT_EQ(image.substr(0x4CA0, 24), byteChar(23) + "Zachytena rusicka GSM !");

    const std::string frames = readFile(dir / "frames.bin");
    ASSERT_EQ(frames.size(), 337 * kFrameSize);
    EXPECT_EQ(frames.substr(0, 2), zeros(2));
    EXPECT_EQ(frames.substr(2, 64), image.substr(0, 64));
    EXPECT_EQ(frames.substr(16 * kFrameSize, 2), std::string("\x04\x00", 2));
    EXPECT_EQ(frames.substr(335 * kFrameSize, 2), "\x53\xC0");
    EXPECT_EQ(frames.substr(335 * kFrameSize + 2, 64), image.substr(0x53C0, 64));
    EXPECT_EQ(frames.substr(336 * kFrameSize), "\x80\x80" + std::string("2612072205") + zeros(54));
}

TEST(ImageCommandsTest, EncodeTakesTheLeapDayOfALeapYear) {
    TempDir dir;
    writeFile(dir / "in.pff", samplePff());
    const auto result = runCli({"encode", dir / "in.pff", "-o", dir / "image.bin", "--frames",
                                dir / "frames.bin", "--time", "2802291200"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(readFile(dir / "frames.bin").substr(336 * kFrameSize, 12),
              "\x80\x80" + std::string("2802291200"));
}

TEST(ImageCommandsTest, EncodeWithoutTimeStampsTheFramesWithTheClock) {
    TempDir dir;
    writeFile(dir / "in.pff", samplePff());
    ASSERT_EQ(
        runCli({"encode", dir / "in.pff", "-o", dir / "image.bin", "--frames", dir / "frames.bin"}).exitCode,
        0);
    const std::string timeFrame = readFile(dir / "frames.bin").substr(336 * kFrameSize);
    EXPECT_EQ(timeFrame.substr(0, 2), "\x80\x80");
    for (std::size_t i = 2; i < 12; ++i)
        EXPECT_TRUE(timeFrame[i] >= '0' && timeFrame[i] <= '9') << i;
    EXPECT_EQ(timeFrame.substr(12), zeros(54));
    EXPECT_EQ(readFile(dir / "image.bin").substr(0x4B20, 12), byteChar(11) + "GPRS access")
        << "English by default";
}

TEST(ImageCommandsTest, DecodeFeedsTheImageOverTheStartUpConfiguration) {
    TempDir dir;
    std::string image = zeros(kImageSize);
    image.replace(0x0400, 8, byteChar(7) + "5550100");
    image[0x4680 + 46] = 123;
    image[0x4680 + 31] = 0x17;
    image[0x4EC0 + 2] = 1;
    writeFile(dir / "image.bin", image);
    const auto result =
        runCli({"--decimal-separator", ",", "decode", dir / "image.bin", "-o", dir / "out.pff"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string pff = readFile(dir / "out.pff");
    EXPECT_TRUE(contains(pff, "TNIN_V_3_1=5550100\r\nTNIN_V_3_2=\r\n"));
    EXPECT_TRUE(contains(pff, "UMAX_AIN1=12,3\r\n"));
    EXPECT_TRUE(contains(pff, "Auto_2=17\r\n"));
    EXPECT_TRUE(contains(pff, "PartCodeIN1=00\r\n"));
    EXPECT_TRUE(contains(pff, "EventCodeIN1=17\r\n"));
    EXPECT_TRUE(contains(pff, "TestPCO=0\r\n"));
}

TEST(ImageCommandsTest, DecodeOverABaseKeepsWhatTheImageLeavesAlone) {
    TempDir dir;
    writeFile(dir / "base.pff", "[9E]\r\nCheckOut_1=1\r\n");
    std::string image = zeros(kImageSize);
    image[0x4EC0 + 2] = 5; // no valid CheckOut bits: the boxes stay as they are
    writeFile(dir / "image.bin", image);
    ASSERT_EQ(runCli({"decode", dir / "image.bin", "-i", dir / "base.pff", "-o", dir / "out.pff"}).exitCode,
              0);
    EXPECT_TRUE(contains(readFile(dir / "out.pff"), "CheckOut_1=1\r\nCheckOut_2=0\r\n"));
}

TEST(ImageCommandsTest, EncodeThenDecodeGivesTheDefaultsBack) {
    TempDir dir;
    ASSERT_EQ(runCli({"defaults", "-o", dir / "defaults.pff"}).exitCode, 0);
    ASSERT_EQ(runCli({"encode", dir / "defaults.pff", "-o", dir / "image.bin"}).exitCode, 0);
    ASSERT_EQ(runCli({"decode", dir / "image.bin", "-o", dir / "back.pff"}).exitCode, 0);
    EXPECT_EQ(readFile(dir / "back.pff"), readFile(dir / "defaults.pff"));
}

TEST(ImageCommandsTest, FailuresExitWithOneAndLeaveNoOutput) {
    TempDir dir;
    auto result = runCli({"encode", dir / "missing.pff", "-o", dir / "image.bin"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "qta710-cli: Unable to read " + (dir / "missing.pff") + "\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "image.bin"));

    result = runCli({"decode", dir / "missing.bin", "-o", dir / "out.pff"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "qta710-cli: Unable to read " + (dir / "missing.bin") + "\n");

    writeFile(dir / "short.bin", zeros(kImageSize - 1));
    result = runCli({"decode", dir / "short.bin", "-o", dir / "out.pff"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "qta710-cli: " + (dir / "short.bin") +
                              " is not a configuration image (21503 bytes, 21504 expected)\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.pff"));

    writeFile(dir / "in.pff", samplePff());
    result = runCli({"encode", dir / "in.pff", "-o", dir / "no-such-dir/image.bin"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "qta710-cli: Unable to write to " + (dir / "no-such-dir/image.bin") + "\n");
}

TEST(ImageCommandsTest, UsageErrorsExitWithTwo) {
    TempDir dir;
    writeFile(dir / "in.pff", samplePff());
    const std::vector<std::vector<std::string>> misuses = {
        {"encode", dir / "in.pff"},
        {"encode", dir / "in.pff", "-o", dir / "i.bin", "--frames", dir / "f.bin", "--time", "2613072205"},
        {"encode", dir / "in.pff", "-o", dir / "i.bin", "--frames", dir / "f.bin", "--time", "261207220"},
        {"encode", dir / "in.pff", "-o", dir / "i.bin", "--frames", dir / "f.bin", "--time", "2602290000"},
        {"encode", dir / "in.pff", "-o", dir / "i.bin", "--frames", dir / "f.bin", "--time", "2604311200"},
        {"encode", dir / "in.pff", "-o", dir / "i.bin", "--time", "2612072205"},
        {"encode", "-o", dir / "i.bin"},
        {"decode", dir / "i.bin"},
        {"decode", dir / "i.bin", "-o", dir / "o.pff", "--frames", dir / "f.bin"},
    };
    for (const auto& args : misuses) {
        const auto result = runCli(args);
        EXPECT_EQ(result.exitCode, 2) << args[0] << " " << args.size();
        EXPECT_TRUE(result.err.starts_with("qta710-cli: ")) << result.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "i.bin"));
}

} // namespace
} // namespace qta::test
