#include "transfer/ConfigDecoder.h"
#include "TransferTestSupport.h"

#include <gtest/gtest.h>

namespace qta::transfer::test {
namespace {

class ConfigDecoderTest : public ::testing::Test {
protected:
    void read(std::uint16_t address, const Bytes& payload) { decoder.ReadData(frameAt(address, payload)); }
    const std::string& field(std::string_view name) const { return text(config, name); }
    bool flag(std::string_view name) const { return config.flag(config.table().id(name)); }
    int choice(std::string_view name) const { return config.choice(config.table().id(name)); }

    Configuration config = startupConfig();
    ConfigDecoder decoder{config, ','};
};

TEST_F(ConfigDecoderTest, NumberSlotsGoToTheirListByAddress) {
    read(0x0400, concat({bytes({1, "1"}), zeros(14), bytes({2, "22"}), zeros(13), bytes({3, "333"}),
                         zeros(12), bytes({4, "4444"}), zeros(11)}));
    read(0x0440, bytes({3, "555"}));
    EXPECT_EQ(field("TNIN_V_3_1"), "1");
    EXPECT_EQ(field("TNIN_V_3_4"), "4444");
    EXPECT_EQ(field("TNIN_V_3_5"), "555");
    EXPECT_EQ(field("TNIN_V_3_6"), "");

    read(0x2C20, concat({bytes({2, "+4"}), zeros(13), bytes({1, "7"})})); // TNAIN_V_1_3 and _4
    EXPECT_EQ(field("TNAIN_V_1_3"), "") << "the list rule empties entries after an empty one";
    read(0x2800, bytes({2, "12"}));
    EXPECT_EQ(field("TNAIN_S_1_1"), "12");
    read(0x4640, concat({zeros(48), bytes({1, "9"})}));
    EXPECT_EQ(field("DTMF_OUT_OFF_4"), "9");
    read(0x53C0, bytes({5, "12345"}));
    EXPECT_EQ(field("TNBLK_S_29"), "") << "TNBLK_S_1 is empty, so entry 29 stays locked";
}

TEST_F(ConfigDecoderTest, AnEmptySlotEmptiesTheRestOfTheList) {
    for (int j = 1; j <= 8; ++j)
        set(config, "TNLS_" + std::to_string(j), std::to_string(j));
    read(0x4400, concat({bytes({1, "5"}), zeros(62)}));
    EXPECT_EQ(field("TNLS_1"), "5");
    EXPECT_EQ(field("TNLS_2"), "");
    EXPECT_EQ(field("TNLS_8"), "");
}

TEST_F(ConfigDecoderTest, TextSlotIsSetOnlyByItsSecondHalf) {
    read(0x2000, bytes({10, "0123456789"}));
    EXPECT_EQ(field("T_SMS_IN1"), "");
    read(0x2040, bytes({"garbage"}));
    EXPECT_EQ(field("T_SMS_IN1"), "0123456789");

    std::string text;
    for (int i = 0; i < 127; ++i)
        text += static_cast<char>('a' + i % 26);
    read(0x4F80, concat({bytes({127}), Bytes(text.begin(), text.begin() + 63)}));
    read(0x4FC0, Bytes(text.begin() + 63, text.end()));
    EXPECT_EQ(field("MemoBlock_2"), text);

    read(0x3100, concat({bytes({64}), Bytes(63, 'x')}));
    read(0x3140, bytes({"yz"}));
    EXPECT_EQ(field("T_SMS_RAIN1"), std::string(63, 'x') + "y");
}

TEST_F(ConfigDecoderTest, SecondHalfWithoutItsFirstHalfChangesNothing) {
    set(config, "T_SMS_OUT_ON_2", "keep");
    read(0x4700, bytes({3, "abc"})); // first half of T_SMS_OUT_ON_1
    read(0x47C0, bytes({"zz"}));     // second half of T_SMS_OUT_ON_2
    EXPECT_EQ(field("T_SMS_OUT_ON_2"), "keep");
    read(0x4740, zeros(64));
    EXPECT_EQ(field("T_SMS_OUT_ON_1"), "abc");
    read(0x4740, zeros(64)); // a repeated second half finds nothing pending
    EXPECT_EQ(field("T_SMS_OUT_ON_1"), "abc");
}

TEST_F(ConfigDecoderTest, ParameterBlockUndoesTheEncodingsAndSkipsTheCounts) {
    Bytes block = zeros(64);
    block[0] = 32; // a count, not read
    block[30] = 7;
    block[31] = 0x17;
    block[32] = 255;
    block[39] = 8;
    block[43] = 44;
    block[45] = 1;
    block[46] = 255;
    block[47] = 123;
    block[48] = 120;
    block[49] = 1;
    block[50] = 0x81;
    block[51] = 0x07;
    read(0x4680, block);
    EXPECT_EQ(field("TNIN_V_1_1"), "");
    EXPECT_EQ(field("Auto_1"), "7");
    EXPECT_EQ(field("Auto_2"), "17");
    EXPECT_EQ(field("DELAY_IN1"), "255");
    EXPECT_EQ(field("DELAY_IN8"), "8");
    EXPECT_EQ(field("DELAY_OUT4"), "44");
    EXPECT_EQ(field("DELAY_AIN1"), "0");
    EXPECT_EQ(field("DELAY_AIN2"), "1");
    EXPECT_EQ(field("UMAX_AIN1"), "25,5");
    EXPECT_EQ(field("UMIN_AIN1"), "12,3");
    EXPECT_EQ(field("UMAX_AIN2"), "12");
    EXPECT_EQ(field("UMIN_AIN2"), "0,1");
    for (int input = 1; input <= 8; ++input) {
        const bool nc = input == 1 || input == 8;
        EXPECT_EQ(flag("NC_IN" + std::to_string(input)), nc) << input;
        EXPECT_EQ(flag("NO_IN" + std::to_string(input)), !nc) << input;
    }
    EXPECT_FALSE(flag("CheckBox230V"));
    EXPECT_FALSE(flag("CheckBoxAku"));
    EXPECT_FALSE(flag("CheckBoxJam"));

    block[51] = 0x02;
    read(0x4680, block);
    EXPECT_TRUE(flag("CheckBox230V"));
    EXPECT_FALSE(flag("CheckBoxAku"));
    EXPECT_TRUE(flag("CheckBoxJam"));
    block[51] = 0x00;
    read(0x4680, block);
    EXPECT_TRUE(flag("CheckBox230V"));
    EXPECT_TRUE(flag("CheckBoxAku"));
    EXPECT_TRUE(flag("CheckBoxJam"));

    ConfigDecoder pointDecoder(config, '.');
    pointDecoder.ReadData(frameAt(0x4680, block));
    EXPECT_EQ(field("UMIN_AIN1"), "12.3");
}

TEST_F(ConfigDecoderTest, ShortTextsOfTheAccessAndAlarmCentreBlocks) {
    const std::string apn(31, 'n');
    read(0x46C0, concat({bytes({31}), Bytes(apn.begin(), apn.end()), bytes({4, "1234"})}));
    EXPECT_EQ(field("editAPN"), apn);
    EXPECT_EQ(field("Pass"), "1234");

    read(0x4D80, concat({bytes({15, "192.168.100.200"}), bytes({4, "5001"}), zeros(11), bytes({48, 0x09})}));
    EXPECT_EQ(field("IP_PCO"), "192.168.100.200");
    EXPECT_EQ(field("Port_PCO"), "5001");
    EXPECT_EQ(field("TestPCO"), "48");

    read(0x4DC0, concat({bytes({3, "a.b"}), zeros(12), bytes({0}), zeros(15), bytes({4, "+421"})}));
    EXPECT_EQ(field("IP_PCO2"), "a.b");
    EXPECT_EQ(field("Port_PCO2"), "");
    EXPECT_EQ(field("SMS_PCO"), "+421");

    read(0x4E80, concat({bytes({2, "12"}), zeros(13), bytes({1, "3"})}));
    EXPECT_EQ(field("DTMF_BLOCK1"), "12");
    EXPECT_EQ(field("DTMF_BLOCK2"), "3");
}

TEST_F(ConfigDecoderTest, ObjectCodesAreTheirDigits) {
    read(0x4D00, concat({bytes({"0012"}), zeros(12), zeros(16), bytes({"4", 0, "7", "x"}), zeros(12),
                         bytes({"9999"})}));
    EXPECT_EQ(field("ObjCodeIN1"), "0012");
    EXPECT_EQ(field("ObjCodeIN2"), "");
    EXPECT_EQ(field("ObjCodeIN3"), "47");
    EXPECT_EQ(field("ObjCodeIN4"), "9999");
    read(0x4D40, concat({zeros(48), bytes({"1234"})}));
    EXPECT_EQ(field("ObjCodeIN8"), "1234");
}

TEST_F(ConfigDecoderTest, EventEntriesWithTheirFallBacks) {
    read(0x4E00, concat({bytes({"11001007"}), zeros(8), bytes({0, 0, 0, "00000"}), zeros(8),
                         bytes({"99912345"}), zeros(8), bytes({"14", 0, "5", "x", "1", 0, "2"})}));
    EXPECT_EQ(choice("EventCodeIN1"), 15);
    EXPECT_EQ(field("PartCodeIN1"), "01");
    EXPECT_EQ(field("ZoneCodeIN1"), "007");
    EXPECT_EQ(choice("EventCodeIN2"), 17);
    EXPECT_EQ(field("PartCodeIN2"), "00");
    EXPECT_EQ(field("ZoneCodeIN2"), "000");
    EXPECT_EQ(choice("EventCodeIN3"), 17) << "999 is no known event";
    EXPECT_EQ(field("PartCodeIN3"), "12");
    EXPECT_EQ(field("ZoneCodeIN3"), "345");
    EXPECT_EQ(choice("EventCodeIN4"), 17) << "two digits are no code";
    EXPECT_EQ(field("PartCodeIN4"), "00");
    EXPECT_EQ(field("ZoneCodeIN4"), "0002");

    read(0x4E40, concat({zeros(48), bytes({"62802003"})}));
    EXPECT_EQ(choice("EventCodeIN8"), 14);
    EXPECT_EQ(field("PartCodeIN8"), "02");
    EXPECT_EQ(field("ZoneCodeIN8"), "003");
}

TEST_F(ConfigDecoderTest, BlockingByteSetsTheCheckOutBoxesOrLeavesThem) {
    read(0x4EC0, bytes({5, 5, 3}));
    EXPECT_TRUE(flag("CheckOut_1"));
    EXPECT_TRUE(flag("CheckOut_2"));
    read(0x4EC0, bytes({0, 0, 5}));
    EXPECT_TRUE(flag("CheckOut_1"));
    EXPECT_TRUE(flag("CheckOut_2"));
    read(0x4EC0, bytes({0, 0, 2}));
    EXPECT_FALSE(flag("CheckOut_1"));
    EXPECT_TRUE(flag("CheckOut_2"));
    read(0x4EC0, bytes({0, 0, 0}));
    EXPECT_FALSE(flag("CheckOut_2"));
    EXPECT_EQ(field("TNBLK_V_1"), "");
}

TEST_F(ConfigDecoderTest, TheLastFrameOfTheImageIsReadAndNothingPastIt) {
    for (int j = 1; j <= 28; ++j)
        set(config, "TNBLK_S_" + std::to_string(j), "1");
    read(0x53C0, concat({bytes({1, "a"}), zeros(14), bytes({1, "b"}), zeros(14), bytes({1, "c"}), zeros(14),
                         bytes({2, "dd"})}));
    EXPECT_EQ(field("TNBLK_S_29"), "a");
    EXPECT_EQ(field("TNBLK_S_32"), "dd");

    const Configuration before = config;
    for (const int address : {0x4B00, 0x4C80, 0x4CC0, 0x5400, 0x5440, 0x8080, 0xFFC0, 0xFFFF})
        read(static_cast<std::uint16_t>(address), Bytes(64, '7'));
    EXPECT_TRUE(config == before);
}

// Memory that was never written reads as 0xFF, and a device or peer may send any
// length byte: each length at its field's capacity is read whole, one more gives
// an empty field. The fields stand at the end of their Frame, where one byte
// more would be read from past the payload.
TEST_F(ConfigDecoderTest, EachLengthByteAtItsCapacityAndOneBeyond) {
    // Number slot: 15 characters after its length byte (the fourth slot of a Frame).
    read(0x4640, concat({zeros(48), bytes({15}), Bytes(15, '1')}));
    EXPECT_EQ(field("DTMF_OUT_OFF_4"), std::string(15, '1'));
    read(0x4640, concat({zeros(48), bytes({16}), Bytes(15, '2')}));
    EXPECT_EQ(field("DTMF_OUT_OFF_4"), "");

    // Short text 16: SMS_PCO in bytes 32..47, DTMF_BLOCK2 in bytes 16..31.
    read(0x4DC0, concat({zeros(32), bytes({15}), Bytes(15, 's'), Bytes(16, '7')}));
    EXPECT_EQ(field("SMS_PCO"), std::string(15, 's'));
    read(0x4DC0, concat({zeros(32), bytes({16}), Bytes(31, 's')}));
    EXPECT_EQ(field("SMS_PCO"), "");
    read(0x4E80, concat({zeros(16), bytes({15}), Bytes(47, 'd')}));
    EXPECT_EQ(field("DTMF_BLOCK2"), std::string(15, 'd'));
    read(0x4E80, concat({zeros(16), bytes({16}), Bytes(47, 'd')}));
    EXPECT_EQ(field("DTMF_BLOCK2"), "");

    // Short text 32: Pass in bytes 32..63.
    read(0x46C0, concat({bytes({31}), Bytes(31, 'a'), bytes({31}), Bytes(31, 'b')}));
    EXPECT_EQ(field("editAPN"), std::string(31, 'a'));
    EXPECT_EQ(field("Pass"), std::string(31, 'b'));
    read(0x46C0, concat({bytes({32}), Bytes(31, 'a'), bytes({32}), Bytes(31, 'b')}));
    EXPECT_EQ(field("editAPN"), "");
    EXPECT_EQ(field("Pass"), "");

    // Text slot: 127 characters over its two Frames.
    read(0x2080, concat({bytes({127}), Bytes(63, 'x')}));
    read(0x20C0, Bytes(64, 'y'));
    EXPECT_EQ(field("T_SMS_IN2"), std::string(63, 'x') + std::string(64, 'y'));
    for (const int length : {128, 0xFF}) {
        read(0x2080, concat({bytes({length}), Bytes(63, 'x')}));
        read(0x20C0, Bytes(64, 'y'));
        EXPECT_EQ(field("T_SMS_IN2"), "") << length;
    }

    read(0x4D80, Bytes(64, 0xFF));
    EXPECT_EQ(field("IP_PCO"), "");
    EXPECT_EQ(field("Port_PCO"), "");
    EXPECT_EQ(field("TestPCO"), "255");
}

} // namespace
} // namespace qta::transfer::test
