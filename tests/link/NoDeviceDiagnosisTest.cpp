#include "FakeSystem.h"
#include "RecordingView.h"
#include "ScriptedBridge.h"

#include "catalogue/LanguageCatalogue.h"
#include "link/DeviceLink.h"
#include "link/LinkMessages.h"
#include "link/NoDeviceDiagnosis.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace qta::link::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Kind = LinkMessage::Kind;

const std::string kFt232r = "FT232R USB UART";

class NoDeviceDiagnosisTest : public ::testing::Test {
protected:
    void start() {
        link =
            std::make_unique<DeviceLink>(config, view, diagnosis, clock, [] { return transfer::DateTime{}; });
        link->start();
    }
    std::vector<Kind> kinds() const {
        std::vector<Kind> shown;
        for (const LinkMessage& message : view.messages)
            shown.push_back(message.kind);
        return shown;
    }
    static std::string english(const LinkMessage& message) {
        return wordMessage(message, catalogue::languageCatalogue(Language::EN).messages);
    }

    FakeSystem system;
    ManualClock clock;
    ScriptedDriver driver{clock};
    RecordingView view;
    NoDeviceDiagnosis diagnosis{driver, clock, view, SystemLook(system.root())};
    Configuration config = Configuration::startup('.');
    std::unique_ptr<DeviceLink> link;
};

TEST_F(NoDeviceDiagnosisTest, TheLookSeesTheBridgesByProductStringTheRuleModemManagerAndBrltty) {
    const SystemLook look(system.root());
    EXPECT_TRUE(look.bridgeTtys().empty());
    EXPECT_FALSE(look.udevRuleInstalled());
    EXPECT_FALSE(look.modemManagerRunning());
    EXPECT_FALSE(look.brlttyInstalled());

    system.plugIn("ttyUSB0", "1-1", "Weather Station");
    system.plugIn("ttyUSB1", "1-2", "FT230X Basic UART");
    system.runProcess(1, "systemd");
    system.runProcess(77, "ModemManagerX");
    system.install("usr/local/lib/udev/rules.d/60-qta710.rules"); // udev does not read it there
    EXPECT_EQ(look.bridgeTtys(), std::vector<std::string>{"ttyUSB1"});
    EXPECT_FALSE(look.modemManagerRunning());
    EXPECT_FALSE(look.udevRuleInstalled());

    system.runProcess(812, "ModemManager");
    system.install("usr/lib/udev/rules.d/60-qta710.rules");
    system.install("usr/bin/brltty");
    EXPECT_TRUE(look.modemManagerRunning());
    EXPECT_TRUE(look.udevRuleInstalled());
    EXPECT_TRUE(look.brlttyInstalled());

    system.mask("etc/udev/rules.d/60-qta710.rules");
    EXPECT_FALSE(look.udevRuleInstalled()) << "masked in /etc";
}

TEST_F(NoDeviceDiagnosisTest, ModemManagerWithoutTheRuleIsNamedOnceABridgeIsThere) {
    system.runProcess(812, "ModemManager");
    start();
    clock.advance(1s);
    EXPECT_TRUE(view.messages.empty()) << "no bridge, nothing to probe";

    system.plugIn("ttyUSB0", "1-1", kFt232r.c_str());
    driver.attached = {kFt232r};
    clock.advance(1s);
    ASSERT_EQ(kinds(), std::vector<Kind>{Kind::ModemManager});
    EXPECT_EQ(
        english(view.messages[0]),
        "ModemManager is running and the programmer's udev rule 60-qta710.rules is not installed: "
        "ModemManager may take the USB adapter for a modem and garble the device's first bytes. Install "
        "the programmer's package (qta710), whose rule tells ModemManager to leave the adapter alone, or "
        "stop ModemManager (sudo systemctl stop ModemManager).");
    EXPECT_NE(driver.port, nullptr) << "the search goes on as before";

    driver.port->fail();
    clock.advance(5s);
    EXPECT_EQ(view.messages.size(), 1u) << "once";
}

TEST_F(NoDeviceDiagnosisTest, ModemManagerIsNotNamedWhenTheRuleIsInstalled) {
    system.runProcess(812, "ModemManager");
    system.install("lib/udev/rules.d/60-qta710.rules");
    system.plugIn("ttyUSB0", "1-1", kFt232r.c_str());
    driver.attached = {kFt232r};
    start();
    clock.advance(2s);
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(NoDeviceDiagnosisTest, ABridgeThatVanishesWithinTwoSecondsWithBrlttyInstalledIsBlamedOnBrltty) {
    system.install("usr/bin/brltty");
    start();
    clock.advance(500ms);
    system.plugIn("ttyUSB0", "1-1", kFt232r.c_str());
    driver.attached = {kFt232r};
    clock.advance(1500ms);
    ASSERT_NE(driver.port, nullptr);
    system.unplug("ttyUSB0"); // brltty takes the USB device from the serial driver
    driver.attached.clear();
    driver.port->fail();
    clock.advance(300ms);
    ASSERT_EQ(kinds(), std::vector<Kind>{Kind::Brltty});
    EXPECT_EQ(
        english(view.messages[0]),
        "A USB adapter appeared and vanished again within two seconds, and brltty is installed: the braille "
        "display driver brltty took the adapter. Remove brltty (sudo apt remove brltty) or mask its udev "
        "rule "
        "(sudo ln -s /dev/null /etc/udev/rules.d/85-brltty.rules), then plug the device in again.");

    system.plugIn("ttyUSB1", "1-2", kFt232r.c_str());
    clock.advance(1s);
    system.unplug("ttyUSB1");
    clock.advance(1s);
    EXPECT_EQ(view.messages.size(), 1u) << "once";
}

TEST_F(NoDeviceDiagnosisTest, ABridgeUnpluggedLaterOrWithoutBrlttyIsNoCase) {
    start();
    system.plugIn("ttyUSB0", "1-1", kFt232r.c_str());
    clock.advance(1s);
    system.unplug("ttyUSB0");
    clock.advance(1s);
    EXPECT_TRUE(view.messages.empty()) << "brltty is not installed";

    system.install("bin/brltty");
    system.plugIn("ttyUSB1", "1-2", kFt232r.c_str());
    clock.advance(2100ms);
    system.unplug("ttyUSB1");
    clock.advance(1s);
    EXPECT_TRUE(view.messages.empty()) << "it stayed for more than two seconds";
}

TEST_F(NoDeviceDiagnosisTest, APortThisUserMayNotOpenNamesTheRuleAsAFixOnlyWhenItIsMissing) {
    const std::string permission =
        "The USB adapter /dev/ttyUSB0 cannot be opened: it belongs to the user root and the group dialout. "
        "Add "
        "your user to the group dialout (sudo usermod -aG dialout $USER), then log out and in again.";
    driver.attached = {kFt232r};
    driver.permission = OpenProblem{"/dev/ttyUSB0", "root", "dialout"};
    start();
    clock.advance(1s);
    ASSERT_EQ(kinds(), std::vector<Kind>{Kind::PortPermission});
    EXPECT_EQ(english(view.messages[0]),
              permission +
                  " Or install the programmer's package (qta710): its udev rule 60-qta710.rules lets the "
                  "logged-in user open the adapter. Then plug the device in again.");
    EXPECT_EQ(
        wordMessage(view.messages[0], catalogue::languageCatalogue(Language::SK).messages),
        "USB adaptér /dev/ttyUSB0 sa nedá otvoriť: patrí používateľovi root a skupine dialout. Pridajte "
        "svojho používateľa do skupiny dialout (sudo usermod -aG dialout $USER) a znova sa prihláste. Alebo "
        "nainštalujte balík programátora (qta710): jeho pravidlo udev 60-qta710.rules dovolí prihlásenému "
        "používateľovi otvoriť adaptér. Potom zariadenie znova pripojte.");

    // Unplugged, the rule installed, plugged in again: the problem is new, the fix is the group.
    driver.attached.clear();
    clock.advance(1s);
    system.install("etc/udev/rules.d/60-qta710.rules");
    driver.attached = {kFt232r};
    clock.advance(1s);
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(english(view.messages[1]), permission);
}

} // namespace
} // namespace qta::link::test
