// The tables that walk the field families (New's order, the .pff key runs, the
// image map) each reach every field they should exactly once: a family left out
// of one would silently keep its old values there.
#include "../model/FieldCoverage.h"
#include "model/PffFile.h"
#include "transfer/ImageMap.h"

#include <gtest/gtest.h>

namespace qta {
namespace {

TEST(FamilyCoverage, EveryTableThatWalksFamiliesReachesEachFieldOnce) {
    EXPECT_EQ(coverage::faults(coverage::fieldsOf(Configuration::newOrder()), coverage::everyField), "")
        << "New";

    std::vector<Family> keyRuns;
    for (const pff::KeyRun& run : pff::keyRuns())
        keyRuns.push_back(run.family);
    EXPECT_EQ(coverage::faults(coverage::fieldsOf(keyRuns), coverage::everyField), "") << ".pff key runs";

    // The image holds one polarity bit per input: NC_IN<k>, with NO_IN<k> as its
    // other choice. Every other field has a place of its own.
    std::vector<Family> image;
    for (const transfer::detail::Region& region : transfer::detail::imageMap()) {
        const std::vector<Family> carried = transfer::detail::carriedFamilies(region);
        image.insert(image.end(), carried.begin(), carried.end());
    }
    const FieldTable& table = FieldTable::instance();
    EXPECT_EQ(coverage::faults(coverage::fieldsOf(image),
                               [&](FieldId id) { return table[id].family != Family::NO_IN; }),
              "")
        << "image";
}

} // namespace
} // namespace qta
