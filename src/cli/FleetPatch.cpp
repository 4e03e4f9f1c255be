#include "FleetPatch.h"

#include "model/PffFile.h"

namespace qta::cli {

std::string pffContent(const Configuration& config) {
    ProfileDocument doc;
    pff::write(config, doc);
    return doc.serialize();
}

} // namespace qta::cli
