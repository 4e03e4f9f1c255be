#include "TransferTestSupport.h"
#include "model/EntryRules.h"
#include "transfer/ConfigDecoder.h"

#include <gtest/gtest.h>

#include <random>

namespace qta::transfer::test {
namespace {

// Random Configurations of values a user can type, and the Configuration that
// reading their image back must give.
class RandomConfigurations {
public:
    explicit RandomConfigurations(unsigned seed) : random_(seed) {}

    struct Pair {
        Configuration written;
        Configuration expected;
    };

    Pair next(char decimalSeparator) {
        Pair pair{startupConfig(decimalSeparator), startupConfig(decimalSeparator)};
        const FieldTable& table = pair.written.table();
        for (FieldId id = 0; id < table.size(); ++id) {
            const FieldDef& def = table[id];
            switch (def.kind) {
            case FieldKind::Flag:
                setBoth(pair, id, coin());
                break;
            case FieldKind::Choice: {
                const int index = between(-1, kEventChoiceCount - 1);
                pair.written.setChoice(id, index);
                pair.expected.setChoice(id, index < 0 ? kEventChoiceNoneIndex : index);
                break;
            }
            case FieldKind::Number:
                setText(pair, id, number(def.range, decimalSeparator));
                break;
            default:
                setText(pair, id, text(def));
                break;
            }
        }
        for (int input = 1; input <= 8; ++input)
            setBoth(pair, table.id(coin() ? "NC_IN" : "NO_IN", input), true);
        return pair;
    }

private:
    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool coin() { return between(0, 1) == 1; }

    static void setBoth(Pair& pair, FieldId id, bool value) {
        pair.written.setFlag(id, value);
        pair.expected.setFlag(id, value);
    }

    static void setText(Pair& pair, FieldId id, const std::string& value) {
        pair.written.setText(id, value);
        const FieldDef& def = pair.written.table()[id];
        // Codes, partitions and zones come back zero-padded.
        const bool padded = def.kind == FieldKind::DigitString && def.family != Family::Port_PCO &&
                            def.family != Family::Port_PCO2 &&
                            !(def.family == Family::ObjCodeIN && value.empty());
        pair.expected.setText(id, padded ? std::string(def.limit - value.size(), '0') + value : value);
    }

    std::string number(const NumberRange& range, char decimalSeparator) {
        const auto steps = static_cast<int>((range.maximum - range.minimum) / range.step);
        return entry::formatNumber(range.minimum + between(0, steps) * range.step, decimalSeparator);
    }

    std::string text(const FieldDef& def) {
        // Number lists are often left short, sometimes filled to the end.
        if (def.list >= 0 && def.position > listLength(def))
            return {};
        const int length = def.list >= 0 ? between(1, def.limit) : between(0, def.limit);
        std::string out;
        for (int i = 0; i < length; ++i)
            out += character(def.kind);
        return out;
    }

    int listLength(const FieldDef& def) {
        if (def.position == 1)
            currentListLength_ = between(0, 3) == 0 ? kListLength : between(0, 6);
        return currentListLength_;
    }

    char character(FieldKind kind) {
        switch (kind) {
        case FieldKind::PhoneNumber:
            return "0123456789+"[between(0, 10)];
        case FieldKind::DtmfCode:
        case FieldKind::DigitString:
            return static_cast<char>('0' + between(0, 9));
        case FieldKind::SmsText:
            return static_cast<char>(between(0, 20) == 0 ? "\r\n\x9A\xE1"[between(0, 3)] : between(32, 127));
        default:
            return static_cast<char>(between(1, 255));
        }
    }

    std::mt19937 random_;
    int currentListLength_ = 0;
};

TEST(RoundTripTest, DecodingTheEncodedImageGivesBackEveryFieldItCarries) {
    RandomConfigurations configurations(20261207);
    for (int round = 0; round < 150; ++round) {
        const char separator = round % 2 == 0 ? ',' : '.';
        const auto [written, expected] = configurations.next(separator);
        const ConfigImage image = encodeImage(written, englishDeviceTexts());

        // Read over a different Configuration, so every field must really be set.
        Configuration read = configurations.next(separator).written;
        decodeImage(image, read, separator);

        const FieldTable& table = read.table();
        for (FieldId id = 0; id < table.size(); ++id) {
            ASSERT_EQ(read.text(id), expected.text(id)) << "round " << round << ", " << table[id].name;
            ASSERT_EQ(read.flag(id), expected.flag(id)) << "round " << round << ", " << table[id].name;
            ASSERT_EQ(read.choice(id), expected.choice(id)) << "round " << round << ", " << table[id].name;
        }
    }
}

} // namespace
} // namespace qta::transfer::test
