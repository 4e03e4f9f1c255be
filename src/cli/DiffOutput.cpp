#include "DiffOutput.h"
#include "JsonText.h"

#include "model/Cp1250.h"

#include <cstdio>
#include <ostream>

namespace qta::cli {
namespace {

std::string oneLine(const std::string& cp1250) {
    std::string out;
    for (const char c : cp1250ToUtf8(cp1250)) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

} // namespace

void printDifferences(std::ostream& out, std::span<const compare::Difference> differences, bool json) {
    for (const compare::Difference& d : differences) {
        if (json) {
            out << "{\"name\":" << jsonString(d.name) << ",\"caption\":" << jsonString(d.caption)
                << ",\"a\":" << jsonString(cp1250ToUtf8(d.before))
                << ",\"b\":" << jsonString(cp1250ToUtf8(d.after))
                << ",\"forced\":" << (d.forced ? "true" : "false") << "}\n";
        } else {
            out << d.name << ": " << oneLine(d.before) << " -> " << oneLine(d.after)
                << (d.forced ? " (forced by the device)" : "") << '\n';
        }
    }
}

std::string patchDroppedMessage(const compare::PatchResult& result) {
    std::string names;
    for (const std::string& name : result.dropped)
        names += (names.empty() ? "" : ", ") + name;
    return "the patch sets list entries behind an empty one, which a list cannot hold (it is filled from "
           "the front): " +
           names;
}

void printVerifyDifferences(std::ostream& err, std::span<const compare::Difference> differences) {
    err << "qta710-cli: verify: the device holds " << differences.size()
        << (differences.size() == 1 ? " setting" : " settings")
        << " otherwise than written (written -> read back):\n";
    printDifferences(err, differences, false);
}

} // namespace qta::cli
