// The CLI's look at the bridges before a USB run without --port: a bridge that
// is attached but held by another program ends the run with the reason at once,
// instead of the search retrying it until the time-out.
#include "FakeSystem.h"

#include "catalogue/LanguageCatalogue.h"
#include "link/Clock.h"
#include "link/LinkMessages.h"
#include "link/PortCheck.h"
#include "link/SerialBridgePort.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace qta::link {
namespace {

using test::FakeSystem;
namespace fs = std::filesystem;

// A pseudo-terminal standing in for the bridge's tty.
class Pty {
public:
    Pty() : master_(::posix_openpt(O_RDWR | O_NOCTTY)) {
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0)
            path_ = ::ptsname(master_);
    }
    ~Pty() { ::close(master_); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;
    const std::string& path() const { return path_; }

private:
    int master_;
    std::string path_;
};

std::optional<std::string> problemText(Clock& clock, const std::string& root) {
    const auto problem = attachedBridgeProblem(clock, root);
    if (!problem)
        return std::nullopt;
    return wordMessage(*problem, catalogue::languageCatalogue(Language::EN).messages);
}

TEST(AttachedBridgeProblem, ABridgeHeldByAnotherProgramIsNamedAndAFreeOneOrNoneIsLeftToTheSearch) {
    ManualClock clock;
    FakeSystem system;
    EXPECT_EQ(problemText(clock, system.root()), std::nullopt) << "none attached";

    Pty held;
    system.plugIn("ttyUSB0", "1-2", "FT232R USB UART");
    fs::create_directories(fs::path(system.root()) / "dev");
    fs::create_symlink(held.path(), fs::path(system.root()) / "dev/ttyUSB0");
    {
        const auto holder = SerialBridgePort::open(held.path(), clock);
        ASSERT_TRUE(holder.port);
        EXPECT_EQ(problemText(clock, system.root()), "The USB adapter " + system.root() +
                                                         "/dev/ttyUSB0 cannot be opened: it is in use by "
                                                         "another program");

        Pty free;
        system.plugIn("ttyUSB1", "1-3", "FT230X Basic UART");
        fs::create_symlink(free.path(), fs::path(system.root()) / "dev/ttyUSB1");
        EXPECT_EQ(problemText(clock, system.root()), std::nullopt) << "the search takes the one that opens";
        system.unplug("ttyUSB1");
    }
    EXPECT_EQ(problemText(clock, system.root()), std::nullopt) << "let go";
}

} // namespace
} // namespace qta::link
