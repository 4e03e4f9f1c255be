#pragma once

// The communicator's inputs and outputs, which the pages, their captions and the
// diagnostics count.
namespace qta {

inline constexpr int kInputs = 8; // digital inputs
inline constexpr int kAnalogInputs = 2;
inline constexpr int kOutputs = 4; // switched outputs

} // namespace qta
