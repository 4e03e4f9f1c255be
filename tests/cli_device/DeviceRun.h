#pragma once

// What the end-to-end tests of the CLI's device commands share.
#include "model/Configuration.h"
#include "model/PffFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <initializer_list>
#include <string>
#include <vector>

namespace qta::test {

using Args = std::vector<std::string>;

inline Args join(std::initializer_list<Args> parts) {
    Args all;
    for (const Args& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

inline Configuration openPff(const std::string& path) {
    Configuration config = Configuration::startup('.');
    EXPECT_TRUE(pff::open(config, path)) << path;
    return config;
}

inline double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace qta::test
