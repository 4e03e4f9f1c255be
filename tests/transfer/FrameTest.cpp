#include "TransferTestSupport.h"
#include "transfer/ConfigImage.h"
#include "transfer/GprsSlots.h"
#include "transfer/TimeFrame.h"

#include <gtest/gtest.h>

namespace qta::transfer::test {
namespace {

TEST(FrameTest, Fill0PadsToTheLengthAndLeavesLongerStringsAlone) {
    std::string sixteen = "0123456789abcdef";
    Fill_0(sixteen, 16);
    EXPECT_EQ(sixteen, "0123456789abcdef");

    std::string empty;
    Fill_0(empty, 64);
    EXPECT_EQ(empty, std::string(64, '\0'));

    std::string shortText = "ab";
    Fill_0(shortText, 4);
    EXPECT_EQ(shortText, std::string("ab\0\0", 4));
}

TEST(FrameTest, WireFormIsTheAddressBigEndianThenThePayload) {
    Frame frame = frameAt(0x53C0, bytes({1, 2, 3}));
    frame.payload[63] = 0xEE;
    const WireFrame wire = frame.toWire();
    EXPECT_EQ(wire[0], 0x53);
    EXPECT_EQ(wire[1], 0xC0);
    EXPECT_EQ(wire[2], 1);
    EXPECT_EQ(wire[4], 3);
    EXPECT_EQ(wire[65], 0xEE);

    const Frame back = Frame::fromWire(wire);
    EXPECT_EQ(back.address, 21440);
    EXPECT_EQ(back, frame);
}

TEST(FrameTest, TimeFrameCarriesTwoDigitsEachAndZeros) {
    const Frame frame = TimeFrame({2026, 12, 7, 22, 5});
    EXPECT_EQ(frame, frameAt(0x8080, bytes({"2612072205"})));
    EXPECT_EQ(frame.toWire()[0], 0x80);
    EXPECT_EQ(frame.toWire()[1], 0x80);

    EXPECT_EQ(TimeFrame({2009, 1, 2, 3, 4}), frameAt(0x8080, bytes({"0901020304"})));
}

TEST(FrameTest, GprsSlotsStoreByAddressAndKeepTheTimeFrameLast) {
    EXPECT_EQ(GprsSlots::slotOf(0x0000), 1);
    EXPECT_EQ(GprsSlots::slotOf(0x4680), 283);
    EXPECT_EQ(GprsSlots::slotOf(0x53C0), 336);
    EXPECT_EQ(GprsSlots::slotOf(0x8080), 337);
    EXPECT_THROW(GprsSlots::slotOf(0x5400), std::out_of_range);

    GprsSlots slots;
    EXPECT_TRUE(slots.send(frameAt(0x53C0, bytes({9})), 0x53F0));
    slots.storeTimeFrame({2026, 12, 7, 22, 5});
    ASSERT_TRUE(slots.slot(336).has_value());
    EXPECT_EQ(slots.slot(336)->payload[0], 9);
    ASSERT_TRUE(slots.slot(337).has_value());
    EXPECT_EQ(*slots.slot(337), frameAt(0x8080, bytes({"2612072205"})));
    EXPECT_FALSE(slots.slot(1).has_value());
    EXPECT_THROW(slots.slot(338), std::out_of_range);

    slots.clear();
    EXPECT_FALSE(slots.slot(337).has_value());
}

TEST(FrameTest, ConfigImageTakesExactlyOneImage) {
    EXPECT_FALSE(ConfigImage::fromBytes(zeros(21503)).has_value());
    EXPECT_FALSE(ConfigImage::fromBytes(zeros(21505)).has_value());
    Bytes raw = zeros(21504);
    raw[0x53C0] = 7;
    const auto image = ConfigImage::fromBytes(raw);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->frame(335).address, 0x53C0);
    EXPECT_EQ(image->frame(335).payload[0], 7);
    EXPECT_THROW(image->frame(336), std::out_of_range);
}

TEST(FrameTest, ConfigImageStoresFramesUpToItsLastAddressAndNoFurther) {
    ConfigImage image;
    EXPECT_TRUE(image.send(frameAt(0x53C0, Bytes(64, 0x11)), 0));
    EXPECT_EQ(image.frame(335).payload, Frame::make(0x53C0, std::string(64, '\x11')).payload);
    const Bytes last = image.bytes();

    // Past the image, or between two Frame addresses: ignored, and the sink goes on.
    for (const int address : {0x5400, 0x5440, 0x8080, 0xFFC0, 0x53E0, 0x0020, 0xFFFF})
        EXPECT_TRUE(image.send(frameAt(static_cast<std::uint16_t>(address), Bytes(64, 0x22)), 0)) << address;
    EXPECT_EQ(image.bytes(), last);
}

} // namespace
} // namespace qta::transfer::test
