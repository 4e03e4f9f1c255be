#include "compare/BackupName.h"
#include "compare/ReadBack.h"

#include "model/PffFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

namespace qta::compare {
namespace {

using ::testing::ElementsAre;

FieldId id(std::string_view name) {
    return FieldTable::instance().id(name);
}

std::tm at(int year, int month, int day, int hour, int minute, int second) {
    std::tm when{};
    when.tm_year = year - 1900;
    when.tm_mon = month - 1;
    when.tm_mday = day;
    when.tm_hour = hour;
    when.tm_min = minute;
    when.tm_sec = second;
    return when;
}

TEST(BackupNameTest, AFileIsNamedByTheObjectCodeTheListeningNumberOrTheFallback) {
    Configuration config = Configuration::startup('.');
    EXPECT_EQ(accountName(config), "unknown");
    EXPECT_EQ(accountName(config, {true, "dev7"}), "dev7");
    config.setText(id("TNLS_1"), "+421905123456");
    EXPECT_EQ(accountName(config), "unknown");
    EXPECT_EQ(accountName(config, {true, "dev7"}), "+421905123456");
    config.setText(id("ObjCodeIN1"), "../12 34");
    EXPECT_EQ(accountName(config, {true, "dev7"}), "1234") << "nothing leads out of the folder";
    EXPECT_EQ(stampedFileName("1234", at(2026, 12, 9, 7, 5, 3)), "1234-20261209-070503.pff");
}

TEST(BackupNameTest, TheFolderFollowsTheDataHome) {
    std::map<std::string, const char*> env = {{"HOME", "/home/ivan"}};
    const Environment lookup = [&](const char* name) {
        const auto it = env.find(name);
        return it == env.end() ? nullptr : it->second;
    };
    EXPECT_EQ(backupFolder(lookup), "/home/ivan/.local/share/qta710/backups");
    env["XDG_DATA_HOME"] = "relative/data";
    EXPECT_EQ(backupFolder(lookup), "/home/ivan/.local/share/qta710/backups");
    env["XDG_DATA_HOME"] = "/data";
    EXPECT_EQ(backupFolder(lookup), "/data/qta710/backups");
    env.clear();
    EXPECT_EQ(backupFolder(lookup), std::nullopt);
}

TEST(BackupNameTest, ABackupNeverReplacesAFile) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("qta-backup-" + std::to_string(::getpid())) / "backups";
    Configuration config = Configuration::startup('.');
    config.setText(id("ObjCodeIN1"), "0042");
    const std::tm when = at(2026, 12, 9, 7, 5, 3);
    std::string error;
    const std::string first = saveNewBackup(config, folder.string(), when, error);
    config.setText(id("TNLS_1"), "112");
    const std::string second = saveNewBackup(config, folder.string(), when, error);
    EXPECT_EQ(first, (folder / "0042-20261209-070503.pff").string()) << error;
    EXPECT_EQ(second, (folder / "0042-20261209-070503-2.pff").string()) << error;
    Configuration back = Configuration::startup('.');
    ASSERT_TRUE(pff::open(back, first));
    EXPECT_EQ(back.text(id("TNLS_1")), "") << "the first backup is as it was";

    EXPECT_FALSE(saveNewFile(config, first, error));
    EXPECT_EQ(error, first + " exists already; a backup is never replaced");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 2) << "no stray file is left";
    std::filesystem::remove_all(folder.parent_path());
}

TEST(ReadBackTest, WhatTheImageChangesIsNoDifferenceAndForcedBoxesAreNamed) {
    Configuration written = Configuration::startup(',');
    written.setText(id("ObjCodeIN1"), "12");   // read back as 0012
    written.setText(id("UMAX_AIN1"), "12,30"); // read back as 12,3
    written.setFlag(id("CheckBoxJam"), false);
    Configuration device = written;
    device.setText(id("ObjCodeIN1"), "0012");
    device.setText(id("UMAX_AIN1"), "12,3");
    EXPECT_TRUE(verifyDifferences(written, device, false, Language::EN, ',').empty());

    device.setFlag(id("CheckBoxJam"), true);
    device.setText(id("TNLS_1"), "5");
    const auto forced = verifyDifferences(written, device, true, Language::EN, ',');
    ASSERT_EQ(forced.size(), 2u);
    EXPECT_EQ(forced[0].name, "TNLS_1");
    EXPECT_FALSE(forced[0].forced);
    EXPECT_EQ(forced[1].name, "CheckBoxJam");
    EXPECT_EQ(forced[1].before, "0");
    EXPECT_EQ(forced[1].after, "1");
    EXPECT_TRUE(forced[1].forced);
    EXPECT_FALSE(verifyDifferences(written, device, false, Language::EN, ',')[1].forced);
}

} // namespace
} // namespace qta::compare
