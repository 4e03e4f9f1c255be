#include "TransferTestSupport.h"
#include "transfer/ConfigImage.h"
#include "transfer/GprsSlots.h"

#include <gtest/gtest.h>

namespace qta::transfer::test {
namespace {

constexpr std::size_t kParameters = 0x4680;

class ConfigEncoderTest : public ::testing::Test {
protected:
    ConfigImage encode() const { return encodeImage(config, englishDeviceTexts()); }
    Bytes parameterBlock() const { return imageBytes(encode(), kParameters, 64); }

    Configuration config = startupConfig();
};

TEST_F(ConfigEncoderTest, SendsTheImageInAscendingFramesFromZeroTo53C0) {
    RecordingSink sink;
    ASSERT_TRUE(SendDataFromForm(config, englishDeviceTexts(), sink));
    ASSERT_EQ(sink.sent.size(), 336u);
    for (std::size_t i = 0; i < sink.sent.size(); ++i)
        ASSERT_EQ(sink.sent[i].frame.address, 64 * i);
    EXPECT_EQ(sink.sent.back().frame.address, 0x53C0);
}

TEST_F(ConfigEncoderTest, ProgressIsTheLastEntrysAddressOrTheSecondHalfsAddress) {
    RecordingSink sink;
    SendDataFromForm(config, englishDeviceTexts(), sink);
    EXPECT_EQ(sink.sent[0].progress, 0x0030);           // TNIN_V_1_4
    EXPECT_EQ(sink.sent[0x2040 / 64].progress, 0x2040); // T_SMS_IN1, second half
    EXPECT_EQ(sink.sent[kParameters / 64].progress, 0x4680);
    EXPECT_EQ(sink.sent.back().progress, 0x53F0); // TNBLK_S_32: at or beyond 21440, the gauge is full
}

TEST_F(ConfigEncoderTest, StopsAtOnceWhenTheSinkAborts) {
    RecordingSink sink;
    sink.abortAt = 3;
    EXPECT_FALSE(SendDataFromForm(config, englishDeviceTexts(), sink));
    EXPECT_EQ(sink.sent.size(), 3u);
    EXPECT_EQ(sink.offered, 4u);
}

TEST_F(ConfigEncoderTest, EmptyConfigurationGivesZeroSlotsAndTheNoneEventEntry) {
    const ConfigImage image = encode();
    EXPECT_EQ(imageBytes(image, 0x0000, 0x4680), zeros(0x4680)); // every list, input text and DTMF slot
    EXPECT_EQ(imageBytes(image, 0x4700, 0x0400), zeros(0x0400)); // the output texts
    EXPECT_EQ(imageBytes(image, 0x4E80, 64), zeros(64));         // DTMF_BLOCK1 and 2
    EXPECT_EQ(imageBytes(image, 0x4D00, 128), zeros(128));       // object codes
    EXPECT_EQ(imageBytes(image, 0x4D80 + 48, 1), bytes({0}));    // no distinct codes
    EXPECT_EQ(imageBytes(image, 0x4E00, 16), bytes({0, 0, 0, "00000", 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(imageBytes(image, 0x4E70, 16), bytes({0, 0, 0, "00000", 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(imageBytes(image, 0x4CC0, 64), zeros(64));
    EXPECT_EQ(imageBytes(image, kParameters, 30), zeros(30)); // counts
    EXPECT_EQ(imageBytes(image, 0x4EC0, 64), zeros(64));
    EXPECT_EQ(imageBytes(image, 0x4F00, 0x500), zeros(0x500)); // blocking texts and lists
}

TEST_F(ConfigEncoderTest, NumberSlotIsLengthDigitsAndFill) {
    set(config, "TNIN_V_3_1", "5550100");
    set(config, "TNIN_V_3_2", "+421");
    const ConfigImage image = encode();
    EXPECT_EQ(imageBytes(image, 0x0400, 32),
              bytes({7, "5550100", 0, 0, 0, 0, 0, 0, 0, 0, 4, "+421", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    // The count of input 3's voice list.
    EXPECT_EQ(parameterBlock()[2], 2);
}

TEST_F(ConfigEncoderTest, AnalogInputsPutTheirSmsListBeforeTheVoiceList) {
    set(config, "TNAIN_S_1_1", "1");
    set(config, "TNAIN_V_2_1", "22");
    const ConfigImage image = encode();
    EXPECT_EQ(imageBytes(image, 0x2800, 2), bytes({1, "1"}));
    EXPECT_EQ(imageBytes(image, 0x2E00, 3), bytes({2, "22"}));
    const Bytes block = parameterBlock();
    EXPECT_EQ(block[16], 0); // TNAIN_V_1
    EXPECT_EQ(block[17], 1); // TNAIN_V_2
    EXPECT_EQ(block[18], 1); // TNAIN_S_1
    EXPECT_EQ(block[19], 0);
}

TEST_F(ConfigEncoderTest, ParameterBlockCountsTimesAndDelays) {
    for (int j = 1; j <= 32; ++j)
        set(config, "TNSSMS_" + std::to_string(j), std::to_string(j));
    set(config, "TNLS_1", "5");
    set(config, "TNOUT_S_4_1", "5");
    set(config, "Auto_1", "255");
    set(config, "Auto_2", "17");
    set(config, "DELAY_IN1", "10");
    set(config, "DELAY_IN8", "80");
    set(config, "DELAY_OUT4", "44");
    set(config, "DELAY_AIN2", "2");
    const Bytes block = parameterBlock();
    EXPECT_EQ(block[27], 1);  // TNOUT_S_4
    EXPECT_EQ(block[28], 32); // TNSSMS
    EXPECT_EQ(block[29], 1);  // TNLS
    EXPECT_EQ(block[30], 255);
    EXPECT_EQ(block[31], 0x17);
    EXPECT_EQ(block[32], 10);
    EXPECT_EQ(block[39], 80);
    EXPECT_EQ(block[43], 44);
    EXPECT_EQ(block[45], 2);
    EXPECT_EQ(Bytes(block.begin() + 52, block.end()), zeros(12));

    set(config, "Auto_2", "9");
    EXPECT_EQ(parameterBlock()[31], 0x09);
    set(config, "Auto_2", "23");
    EXPECT_EQ(parameterBlock()[31], 0x23);
}

TEST_F(ConfigEncoderTest, VoltagesAreExactTenthsWhateverTheSeparator) {
    set(config, "UMAX_AIN1", "12.3");
    set(config, "UMIN_AIN1", "0,1");
    set(config, "UMAX_AIN2", "25,5");
    set(config, "UMIN_AIN2", "0");
    Bytes block = parameterBlock();
    EXPECT_EQ(Bytes(block.begin() + 46, block.begin() + 50), bytes({123, 1, 255, 0}));

    // Every tenth from 0.0 to 25.5 gives exactly its number of tenths.
    for (int tenths = 0; tenths <= 255; ++tenths) {
        set(config, "UMIN_AIN2", std::to_string(tenths / 10) + "." + std::to_string(tenths % 10));
        ASSERT_EQ(parameterBlock()[49], tenths) << tenths;
    }
}

TEST_F(ConfigEncoderTest, PolarityAndInvertedFailureBits) {
    setFlag(config, "NC_IN1", true);
    setFlag(config, "NC_IN8", true);
    setFlag(config, "CheckBox230V", true);
    setFlag(config, "CheckBoxAku", true);
    setFlag(config, "CheckBoxJam", true);
    Bytes block = parameterBlock();
    EXPECT_EQ(block[50], 0x81);
    EXPECT_EQ(block[51], 0x00);

    setFlag(config, "NO_IN1", true);
    setFlag(config, "NC_IN2", true);
    setFlag(config, "CheckBox230V", false);
    setFlag(config, "CheckBoxAku", false);
    setFlag(config, "CheckBoxJam", false);
    block = parameterBlock();
    EXPECT_EQ(block[50], 0x41);
    EXPECT_EQ(block[51], 0x07);

    setFlag(config, "CheckBoxAku", true);
    EXPECT_EQ(parameterBlock()[51], 0x05);
}

TEST_F(ConfigEncoderTest, AccessBlockAndAlarmCentreBlocks) {
    set(config, "editAPN", "internet");
    set(config, "Pass", "6173");
    set(config, "IP_PCO", "10.0.0.1");
    set(config, "Port_PCO", "5000");
    set(config, "TestPCO", "24");
    set(config, "IP_PCO2", "");
    set(config, "Port_PCO2", "12");
    set(config, "SMS_PCO", "+42190");
    const ConfigImage image = encode();
    EXPECT_EQ(imageBytes(image, 0x46C0, 64),
              concat({bytes({8, "internet"}), zeros(23), bytes({4, "6173"}), zeros(27)}));
    EXPECT_EQ(imageBytes(image, 0x4D80, 64), concat({bytes({8, "10.0.0.1"}), zeros(7), bytes({4, "5000"}),
                                                     zeros(11), bytes({24}), zeros(31)}));
    EXPECT_EQ(imageBytes(image, 0x4DC0, 64),
              concat({zeros(16), bytes({2, "12"}), zeros(13), bytes({6, "+42190"}), zeros(9), zeros(16)}));
}

TEST_F(ConfigEncoderTest, ObjectCodesArePaddedAndTheMaskComparesTheTextsAsTyped) {
    set(config, "ObjCodeIN1", "4711");
    set(config, "ObjCodeIN2", "4711");
    set(config, "ObjCodeIN3", "");
    set(config, "ObjCodeIN4", "99");
    ConfigImage image = encode();
    EXPECT_EQ(imageBytes(image, 0x4D00, 64), concat({bytes({"4711"}), zeros(12), bytes({"4711"}), zeros(12),
                                                     zeros(16), bytes({"0099"}), zeros(12)}));
    EXPECT_EQ(imageBytes(image, 0x4D40, 64), zeros(64));
    EXPECT_EQ(imageBytes(image, 0x4D80 + 48, 16), concat({bytes({0x09}), zeros(15)}));

    set(config, "ObjCodeIN5", "12");
    set(config, "ObjCodeIN6", "0012");
    set(config, "ObjCodeIN8", "99");
    image = encode();
    EXPECT_EQ(imageBytes(image, 0x4D40, 4), bytes({"0012"}));
    EXPECT_EQ(imageBytes(image, 0x4D50, 4), bytes({"0012"}));
    EXPECT_EQ(imageBytes(image, 0x4D80 + 48, 1), bytes({0x39})); // 1, 4, 5 and 6; 8 repeats 4
}

TEST_F(ConfigEncoderTest, EventEntryIsCodePartitionAndZone) {
    config.setChoice(config.table().id("EventCodeIN1"), 15); // "Požiar"
    set(config, "PartCodeIN1", "1");
    set(config, "ZoneCodeIN1", "7");
    config.setChoice(config.table().id("EventCodeIN2"), 0); // "Poplach"
    set(config, "PartCodeIN2", "");
    set(config, "ZoneCodeIN2", "");
    config.setChoice(config.table().id("EventCodeIN8"), 13); // "Vstup technika"
    set(config, "PartCodeIN8", "12");
    set(config, "ZoneCodeIN8", "345");
    config.setChoice(config.table().id("EventCodeIN3"), kChoiceNone);
    const ConfigImage image = encode();
    EXPECT_EQ(imageBytes(image, 0x4E00, 16), concat({bytes({"11001007"}), zeros(8)}));
    EXPECT_EQ(imageBytes(image, 0x4E10, 16), concat({bytes({"14000000"}), zeros(8)}));
    EXPECT_EQ(imageBytes(image, 0x4E20, 16), concat({bytes({0, 0, 0, "00000"}), zeros(8)}));
    EXPECT_EQ(imageBytes(image, 0x4E70, 16), concat({bytes({"62712345"}), zeros(8)}));
}

TEST_F(ConfigEncoderTest, TextSlotOf127CharactersFillsBothFrames) {
    std::string text;
    for (int i = 0; i < 127; ++i)
        text += static_cast<char>('A' + i % 26);
    set(config, "T_SMS_RIN2", text);
    set(config, "MemoBlock_2", "Line 1\r\nLine 2");
    const ConfigImage image = encode();
    EXPECT_EQ(imageBytes(image, 0x2480, 1), bytes({0x7F}));
    EXPECT_EQ(imageBytes(image, 0x2481, 63), Bytes(text.begin(), text.begin() + 63));
    EXPECT_EQ(imageBytes(image, 0x24C0, 64), Bytes(text.begin() + 63, text.end()));
    EXPECT_EQ(imageBytes(image, 0x4F80, 16), concat({bytes({14, "Line 1\r\nLine 2"}), zeros(1)}));
}

TEST_F(ConfigEncoderTest, DtmfAndBlockingBlocks) {
    set(config, "DTMF_BLOCK1", "123");
    set(config, "DTMF_BLOCK2", "4");
    set(config, "DTMF_OUT_OFF_4", "99");
    for (const char* field : {"TNBLK_V_1", "TNBLK_V_2", "TNBLK_V_3", "TNBLK_S_1"})
        set(config, field, "0905");
    setFlag(config, "CheckOut_2", true);
    ConfigImage image = encode();
    EXPECT_EQ(imageBytes(image, 0x4E80, 64),
              concat({bytes({3, "123"}), zeros(12), bytes({1, "4"}), zeros(46)}));
    EXPECT_EQ(imageBytes(image, 0x4670, 3), bytes({2, "99"}));
    EXPECT_EQ(imageBytes(image, 0x4EC0, 64), concat({bytes({3, 1, 2}), zeros(61)}));
    EXPECT_EQ(imageBytes(image, 0x5000, 5), bytes({4, "0905"}));
    EXPECT_EQ(imageBytes(image, 0x5200, 5), bytes({4, "0905"}));

    setFlag(config, "CheckOut_1", true);
    EXPECT_EQ(encode().bytes()[0x4EC2], 3);
}

TEST_F(ConfigEncoderTest, LastFrameHoldsTheLastFourBlockingSmsNumbers) {
    for (int j = 1; j <= 32; ++j)
        set(config, "TNBLK_S_" + std::to_string(j), j >= 29 ? std::to_string(j) : "1");
    RecordingSink sink;
    SendDataFromForm(config, englishDeviceTexts(), sink);
    EXPECT_EQ(sink.sent.back().frame,
              frameAt(0x53C0, concat({bytes({2, "29"}), zeros(13), bytes({2, "30"}), zeros(13),
                                      bytes({2, "31"}), zeros(13), bytes({2, "32"}), zeros(13)})));
}

TEST_F(ConfigEncoderTest, OverGprsTheParameterBlockLandsInSlot283) {
    set(config, "Auto_2", "17");
    GprsSlots slots;
    ASSERT_TRUE(SendDataFromForm(config, englishDeviceTexts(), slots));
    ASSERT_TRUE(slots.slot(283).has_value());
    EXPECT_EQ(slots.slot(283)->address, 0x4680);
    EXPECT_EQ(slots.slot(283)->payload[31], 0x17);
    ASSERT_TRUE(slots.slot(336).has_value());
    EXPECT_EQ(slots.slot(336)->address, 0x53C0);
    EXPECT_FALSE(slots.slot(337).has_value()); // the TimeFrame is stored by the write itself
}

TEST_F(ConfigEncoderTest, DeviceTextsAreShortTexts32TwoPerFrame) {
    DeviceTexts texts;
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = std::string(1, static_cast<char>('a' + i));
    texts[0] = "GSM signal ";
    texts[13] = std::string(40, 'x');
    const ConfigImage image = encodeImage(config, texts);
    EXPECT_EQ(imageBytes(image, 0x4B00, 64),
              concat({bytes({11, "GSM signal "}), zeros(20), bytes({1, "b"}), zeros(30)}));
    EXPECT_EQ(imageBytes(image, 0x4C80, 64),
              concat({bytes({1, "m"}), zeros(30), bytes({31}), Bytes(31, 'x')}));
}

// Loaded values are never checked; none of them may spill into other bytes or wrap around.
TEST_F(ConfigEncoderTest, OutOfRangeNumbersAreClampedNotWrapped) {
    set(config, "DELAY_IN1", "300");
    set(config, "DELAY_IN2", "-5");
    set(config, "DELAY_IN3", "abc");
    set(config, "DELAY_IN4", "7,9");
    set(config, "Auto_1", "1000");
    set(config, "Auto_2", "30");
    set(config, "UMAX_AIN1", "30");
    set(config, "UMIN_AIN1", "-1,5");
    set(config, "UMAX_AIN2", "12.39");
    set(config, "UMIN_AIN2", "");
    set(config, "TestPCO", "x");
    const ConfigImage image = encode();
    const Bytes block = imageBytes(image, kParameters, 64);
    EXPECT_EQ(Bytes(block.begin() + 32, block.begin() + 36), bytes({255, 0, 0, 7}));
    EXPECT_EQ(block[30], 255);
    EXPECT_EQ(block[31], 0x23);
    EXPECT_EQ(Bytes(block.begin() + 46, block.begin() + 50), bytes({255, 0, 123, 0}));
    EXPECT_EQ(image.bytes()[0x4D80 + 32], 1); // TestPCO's minimum
}

TEST_F(ConfigEncoderTest, OverlongTextsAreCutToTheirSlotAndTheLengthByteCountsWhatIsWritten) {
    set(config, "TNIN_V_1_1", "12345678901234567890");
    set(config, "T_SMS_IN1", std::string(200, 't'));
    set(config, "editAPN", std::string(40, 'a'));
    set(config, "IP_PCO", "192.168.100.200:1");
    set(config, "DTMF_BLOCK1", std::string(16, '9'));
    set(config, "PartCodeIN1", "123");
    set(config, "ZoneCodeIN1", "12345");
    set(config, "ObjCodeIN1", "123456");
    const ConfigImage image = encode();
    EXPECT_EQ(imageBytes(image, 0x0000, 17), concat({bytes({15, "123456789012345"}), bytes({0})}));
    EXPECT_EQ(imageBytes(image, 0x2000, 1), bytes({127}));
    EXPECT_EQ(imageBytes(image, 0x2080, 1), bytes({0})); // T_SMS_IN2 untouched
    EXPECT_EQ(imageBytes(image, 0x46C0, 33), concat({bytes({31}), Bytes(31, 'a'), bytes({4})}));
    EXPECT_EQ(imageBytes(image, 0x4D80, 17), concat({bytes({15, "192.168.100.200"}), bytes({4})}));
    EXPECT_EQ(imageBytes(image, 0x4E80, 17), concat({bytes({15}), Bytes(15, '9'), bytes({0})}));
    EXPECT_EQ(imageBytes(image, 0x4E00, 9), bytes({0, 0, 0, "12123", 0}));
    EXPECT_EQ(imageBytes(image, 0x4D00, 5), bytes({"1234", 0}));
}

} // namespace
} // namespace qta::transfer::test
