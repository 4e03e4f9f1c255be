#include "ReadBack.h"

#include "model/PffFile.h"
#include "transfer/ConfigDecoder.h"
#include "transfer/ConfigEncoder.h"

namespace qta::compare {

Configuration expectedReadBack(const Configuration& written, char decimalSeparator) {
    Configuration expected = written;
    // The device texts are not read back, so any set of them will do.
    transfer::decodeImage(transfer::encodeImage(written, transfer::DeviceTexts{}), expected,
                          decimalSeparator);
    return expected;
}

bool isForcedByDevice(FieldId id) {
    const Family family = FieldTable::instance()[id].family;
    return family == Family::CheckBox230V || family == Family::CheckBoxAku || family == Family::CheckBoxJam;
}

std::vector<Difference> verifyDifferences(const Configuration& written, const Configuration& readBack,
                                          bool failureReportsForced, Language language,
                                          char decimalSeparator) {
    std::vector<Difference> differences =
        diff(expectedReadBack(written, decimalSeparator), readBack, language);
    for (Difference& d : differences) {
        d.before = pff::keyValue(written, d.field);
        d.shownBefore = shownValue(written, d.field, language);
        d.forced = failureReportsForced && isForcedByDevice(d.field);
    }
    return differences;
}

} // namespace qta::compare
