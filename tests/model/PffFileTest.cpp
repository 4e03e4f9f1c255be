#include "model/PffFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

// The umask is process-wide: a save that changed it, even for a moment, would
// race with every other thread that creates a file. This definition stands in
// for the C library's in this test program and counts the calls.
namespace {
int umaskCalls = 0;
}
extern "C" mode_t umask(mode_t mask) noexcept {
    ++umaskCalls;
    return static_cast<mode_t>(::syscall(SYS_umask, mask));
}

namespace qta {
namespace {

namespace fs = std::filesystem;

std::string repeatKeys(const std::string& prefix, int count, const std::string& value) {
    std::string out;
    for (int i = 1; i <= count; ++i)
        out += prefix + std::to_string(i) + "=" + value + "\r\n";
    return out;
}

std::string saved(const Configuration& config) {
    ProfileDocument doc;
    pff::write(config, doc);
    return doc.serialize();
}

class PffFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("pff-test-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir);
    }
    std::string file(const std::string& name, const std::string& content) const {
        const auto path = (dir / name).string();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    static std::string contentOf(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    Configuration opened(const std::string& content) {
        Configuration config = Configuration::startup(',');
        const auto result = pff::open(config, file("in.pff", content));
        EXPECT_TRUE(result) << result.message();
        return config;
    }

    fs::path dir;
    const FieldTable& table = FieldTable::instance();
};

TEST_F(PffFileTest, StartUpFileHasEverySectionAndKeyInOrder) {
    const std::string text = saved(Configuration::startup(','));
    EXPECT_TRUE(text.starts_with("[1A]\r\nTNIN_S_1_1=\r\nTNIN_S_1_2=\r\n"));
    EXPECT_TRUE(text.ends_with("[9D]\r\n" + repeatKeys("TNBLK_S_", 32, "") +
                               "[9E]\r\nCheckOut_1=0\r\nCheckOut_2=0\r\n"));

    std::size_t lines = 0, pos = 0;
    std::string headers;
    while ((pos = text.find("\r\n", pos)) != std::string::npos) {
        ++lines;
        pos += 2;
    }
    for (std::size_t at = text.find('['); at != std::string::npos; at = text.find("\r\n[", at + 1))
        headers += text.substr(text[at] == '[' ? at : at + 2, 4);
    EXPECT_EQ(lines, 39u + 1145u);
    EXPECT_EQ(headers, "[1A][1B][1C][1D][1E][1F][1G][2A][2B][2C][2D][2E][2F][2G][3A][3B][3C][3D][3E][3F][3G]"
                       "[5A][6A][6B][6C][7A][7B][8A][8B][8C][8D][8E][8F][8G][9A][9B][9C][9D][9E]");

    EXPECT_NE(text.find("[1B]\r\nTNIN_V_1_1=\r\n"), std::string::npos);
    EXPECT_NE(text.find("TNIN_S_1_32=\r\nTNIN_S_2_1=\r\n"), std::string::npos);
    EXPECT_NE(text.find("[1E]\r\n" + repeatKeys("NO_IN", 8, "1") + "[1F]\r\n" + repeatKeys("NC_IN", 8, "0") +
                        "[1G]\r\n" + repeatKeys("DELAY_IN", 8, "0")),
              std::string::npos);
    EXPECT_NE(text.find("[2F]\r\nUMAX_AIN1=25,5\r\nUMAX_AIN2=25,5\r\n[2G]\r\nUMIN_AIN1=0\r\n"),
              std::string::npos);
    EXPECT_NE(
        text.find(
            "[6B]\r\nAuto_1=0\r\nAuto_2=0\r\n[6C]\r\n230V=1\r\nAku=1\r\nJam=0\r\n[7A]\r\nPass=6173\r\n"
            "[7B]\r\neditAPN=internet\r\n[8A]\r\nIP_PCO=\r\n[8B]\r\nPort_PCO=5000\r\n[8C]\r\nTestPCO=24\r\n"
            "[8D]\r\nIP_PCO2=\r\n" +
            repeatKeys("ObjCodeIN", 8, "") + "[8E]\r\nPort_PCO2=5000\r\n" +
            repeatKeys("EventCodeIN", 8, "17") + "[8F]\r\nSMS_PCO=\r\n" + repeatKeys("PartCodeIN", 8, "00") +
            "[8G]\r\n" + repeatKeys("ZoneCodeIN", 8, "000") +
            "[9A]\r\nMemoBlock_1=\r\nMemoBlock_2=\r\n[9B]\r\nDTMF_BLOCK1=\r\nDTMF_BLOCK2=\r\n[9C]\r\nTNBLK_V_"
            "1="),
        std::string::npos);
}

// The whole start-up file, section by section: key names built from a prefix
// and indices (two-index keys with the list position innermost), each with its
// start-up value as written.
struct KeyRunExpectation {
    const char* section; // nullptr: the keys continue the previous section
    const char* prefix;
    int count1; // 0: a single key named by the prefix
    int count2; // 0: one index
    const char* value;
};

const KeyRunExpectation kStartUpFile[] = {
    {"1A", "TNIN_S_", 8, 32, ""},        {"1B", "TNIN_V_", 8, 32, ""},
    {"1C", "T_SMS_IN", 8, 0, ""},        {"1D", "T_SMS_RIN", 8, 0, ""},
    {"1E", "NO_IN", 8, 0, "1"},          {"1F", "NC_IN", 8, 0, "0"},
    {"1G", "DELAY_IN", 8, 0, "0"},       {"2A", "TNAIN_S_", 2, 32, ""},
    {"2B", "TNAIN_V_", 2, 32, ""},       {"2C", "T_SMS_AIN", 2, 0, ""},
    {"2D", "T_SMS_RAIN", 2, 0, ""},      {"2E", "DELAY_AIN", 2, 0, "0"},
    {"2F", "UMAX_AIN", 2, 0, "25,5"},    {"2G", "UMIN_AIN", 2, 0, "0"},
    {"3A", "TNOUT_S_", 4, 32, ""},       {"3B", "TNOUT_V_", 4, 32, ""},
    {"3C", "T_SMS_OUT_ON_", 4, 0, ""},   {"3D", "T_SMS_OUT_OFF_", 4, 0, ""},
    {"3E", "DTMF_OUT_ON_", 4, 0, ""},    {"3F", "DTMF_OUT_OFF_", 4, 0, ""},
    {"3G", "DELAY_OUT", 4, 0, "0"},      {"5A", "TNLS_", 32, 0, ""},
    {"6A", "TNSSMS_", 32, 0, ""},        {"6B", "Auto_", 2, 0, "0"},
    {"6C", "230V", 0, 0, "1"},           {nullptr, "Aku", 0, 0, "1"},
    {nullptr, "Jam", 0, 0, "0"},         {"7A", "Pass", 0, 0, "6173"},
    {"7B", "editAPN", 0, 0, "internet"}, {"8A", "IP_PCO", 0, 0, ""},
    {"8B", "Port_PCO", 0, 0, "5000"},    {"8C", "TestPCO", 0, 0, "24"},
    {"8D", "IP_PCO2", 0, 0, ""},         {nullptr, "ObjCodeIN", 8, 0, ""},
    {"8E", "Port_PCO2", 0, 0, "5000"},   {nullptr, "EventCodeIN", 8, 0, "17"},
    {"8F", "SMS_PCO", 0, 0, ""},         {nullptr, "PartCodeIN", 8, 0, "00"},
    {"8G", "ZoneCodeIN", 8, 0, "000"},   {"9A", "MemoBlock_", 2, 0, ""},
    {"9B", "DTMF_BLOCK", 2, 0, ""},      {"9C", "TNBLK_V_", 32, 0, ""},
    {"9D", "TNBLK_S_", 32, 0, ""},       {"9E", "CheckOut_", 2, 0, "0"},
};

TEST_F(PffFileTest, TheWholeStartUpFileByteForByte) {
    std::string expected;
    int keys = 0, sections = 0;
    for (const KeyRunExpectation& run : kStartUpFile) {
        if (run.section) {
            expected += "[" + std::string(run.section) + "]\r\n";
            ++sections;
        }
        const std::string prefix = run.prefix;
        if (run.count1 == 0) {
            expected += prefix + "=" + run.value + "\r\n";
            ++keys;
        }
        for (int i = 1; i <= run.count1; ++i) {
            for (int j = 1; j <= std::max(run.count2, 1); ++j) {
                const std::string position = run.count2 > 0 ? "_" + std::to_string(j) : "";
                expected += prefix + std::to_string(i) + position + "=" + run.value + "\r\n";
                ++keys;
            }
        }
    }
    ASSERT_EQ(keys, 1145);
    ASSERT_EQ(sections, 39);
    EXPECT_EQ(saved(Configuration::startup(',')), expected);

    const auto path = (dir / "startup.pff").string();
    ASSERT_TRUE(pff::save(Configuration::startup(','), path));
    EXPECT_EQ(contentOf(path), expected);
}

TEST_F(PffFileTest, NewWritesTheFactoryValues) {
    Configuration config = Configuration::startup('.');
    config.applyNew();
    const std::string text = saved(config);
    EXPECT_NE(text.find("[2F]\r\nUMAX_AIN1=25,5\r\nUMAX_AIN2=25,5\r\n"), std::string::npos);
    EXPECT_NE(text.find("[6C]\r\n230V=1\r\nAku=1\r\nJam=1\r\n"), std::string::npos);
    EXPECT_NE(text.find("[8C]\r\nTestPCO=0\r\n"), std::string::npos);
}

TEST_F(PffFileTest, SaveAndOpenGiveBackTheSameConfiguration) {
    Configuration config = Configuration::startup(',');
    config.setText(table.id("TNIN_V_2_1"), "+421900111222");
    config.setText(table.id("T_SMS_IN3"), "Alarm vstup 3");
    config.setFlag(table.id("NC_IN5"), true);
    config.setChoice(table.id("EventCodeIN4"), 15);
    config.setText(table.id("Pass"), "\x9E"
                                     "abc"); // a Windows-1250 byte
    const auto path = (dir / "round.pff").string();
    ASSERT_TRUE(pff::save(config, path));

    Configuration back = Configuration::startup('.');
    back.applyNew();
    ASSERT_TRUE(pff::open(back, path));
    EXPECT_EQ(back, config);
}

TEST_F(PffFileTest, OpenTakesBlanksQuotesCaseAndHexadecimalFlags) {
    const Configuration config = opened("[1e]\r\nno_in1 = 0x0\r\n[1F]\r\nNC_IN1=$1\r\nnc_in2= 0X10 \r\n"
                                        "[7a]\r\npass = \"12 34\" \r\n[7B]\r\nEDITAPN='web.apn'\r\n"
                                        "[6C]\r\nJAM=0\r\naku=yes\r\n");
    EXPECT_TRUE(config.flag(table.id("NC_IN1")));
    EXPECT_FALSE(config.flag(table.id("NO_IN1")));
    EXPECT_TRUE(config.flag(table.id("NC_IN2")));
    EXPECT_EQ(config.text(table.id("Pass")), "12 34");
    EXPECT_EQ(config.text(table.id("editAPN")), "web.apn");
    EXPECT_FALSE(config.flag(table.id("CheckBoxJam")));
    EXPECT_TRUE(config.flag(table.id("CheckBoxAku"))) << "no integer gives the key's default";
}

TEST_F(PffFileTest, MissingKeysTakeTheirDefaults) {
    Configuration config = opened("[7A]\r\nPass=1\r\n");
    EXPECT_EQ(config.text(table.id("editAPN")), "");
    EXPECT_EQ(config.text(table.id("Port_PCO")), "");
    EXPECT_EQ(config.text(table.id("UMAX_AIN1")), "");
    EXPECT_EQ(config.text(table.id("PartCodeIN1")), "");
    EXPECT_FALSE(config.flag(table.id("NO_IN3")));
    EXPECT_FALSE(config.flag(table.id("NC_IN3")));
    EXPECT_TRUE(config.flag(table.id("CheckBoxJam")));
    EXPECT_TRUE(config.flag(table.id("CheckBox230V")));
    EXPECT_FALSE(config.flag(table.id("CheckOut_1")));
    EXPECT_EQ(config.choice(table.id("EventCodeIN8")), 0) << "a missing choice selects General alarm";
}

TEST_F(PffFileTest, PolarityAfterOpen) {
    const Configuration config = opened("[1E]\r\nNO_IN1=1\r\nNO_IN2=1\r\nNO_IN3=0\r\nNO_IN4=0\r\n"
                                        "[1F]\r\nNC_IN1=1\r\nNC_IN2=0\r\nNC_IN3=0\r\nNC_IN4=1\r\n");
    EXPECT_FALSE(config.flag(table.id("NO_IN1")));
    EXPECT_TRUE(config.flag(table.id("NC_IN1")));
    EXPECT_TRUE(config.flag(table.id("NO_IN2")));
    EXPECT_FALSE(config.flag(table.id("NC_IN2")));
    EXPECT_FALSE(config.flag(table.id("NO_IN3")));
    EXPECT_FALSE(config.flag(table.id("NC_IN3")));
    EXPECT_TRUE(config.flag(table.id("NC_IN4")));
}

TEST_F(PffFileTest, AListWithAGapKeepsOnlyTheNumbersBeforeIt) {
    const Configuration config =
        opened("[1B]\r\nTNIN_V_2_1=111\r\nTNIN_V_2_2=222\r\nTNIN_V_2_3=\r\nTNIN_V_2_4=444\r\n");
    EXPECT_EQ(config.text(table.id("TNIN_V_2_1")), "111");
    EXPECT_EQ(config.text(table.id("TNIN_V_2_2")), "222");
    EXPECT_EQ(config.text(table.id("TNIN_V_2_3")), "");
    EXPECT_EQ(config.text(table.id("TNIN_V_2_4")), "");
    EXPECT_TRUE(config.isEditable(table.id("TNIN_V_2_3")));
    EXPECT_FALSE(config.isEditable(table.id("TNIN_V_2_4")));
}

TEST_F(PffFileTest, AChoiceOutOfRangeOpensAsNoneAndSavesAsMinusOne) {
    Configuration config = opened("[8E]\r\nEventCodeIN3=25\r\nEventCodeIN4=0x0F\r\nEventCodeIN5=x\r\n");
    EXPECT_EQ(config.choice(table.id("EventCodeIN3")), -1);
    EXPECT_EQ(config.choice(table.id("EventCodeIN4")), 15);
    EXPECT_EQ(config.choice(table.id("EventCodeIN5")), 0);
    EXPECT_NE(saved(config).find("EventCodeIN3=-1\r\nEventCodeIN4=15\r\nEventCodeIN5=0\r\n"),
              std::string::npos);
}

TEST_F(PffFileTest, ValuesBeyondTheLimitsAreKeptAsTheyCome) {
    const std::string longText(500, 'S');
    Configuration config = opened("[1C]\r\nT_SMS_IN1=" + longText + "\r\n[1G]\r\nDELAY_IN1=300\r\n");
    EXPECT_EQ(config.text(table.id("T_SMS_IN1")), longText);
    EXPECT_EQ(config.text(table.id("DELAY_IN1")), "300");
}

TEST_F(PffFileTest, SavingOverAForeignFileUpdatesInPlace) {
    const auto path =
        file("mixed.pff", "[Notes]\r\nwho=installer\r\n[7A]\r\nPASS=0000\r\nremark=keep me\r\n");
    ASSERT_TRUE(pff::save(Configuration::startup(','), path));
    const std::string text = contentOf(path);
    EXPECT_TRUE(
        text.starts_with("[Notes]\r\nwho=installer\r\n[7A]\r\nPass=6173\r\nremark=keep me\r\n[1A]\r\n"));
    EXPECT_EQ(text.find("PASS=0000"), std::string::npos);
    EXPECT_TRUE(text.ends_with("[9E]\r\nCheckOut_1=0\r\nCheckOut_2=0\r\n"));
}

// Root writes into read-only directories, so as root the save runs in a child
// process that has given up its privileges.
template <typename Body> pff::Error saveError(Body body) {
    if (::geteuid() != 0)
        return body();
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        ::_exit(dropped ? static_cast<int>(body()) : 100);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return static_cast<pff::Error>(WIFEXITED(status) ? WEXITSTATUS(status) : 100);
}

TEST_F(PffFileTest, AFailedSaveLeavesTheTargetUnchanged) {
    const std::string before = "[7A]\r\nPass=9999\r\n";
    const auto path = file("locked.pff", before);
    fs::permissions(path, fs::perms::all, fs::perm_options::add);
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                             fs::perms::others_exec | fs::perms::group_read | fs::perms::group_exec);
    const auto error = saveError([&] { return pff::save(Configuration::startup(','), path).error; });
    EXPECT_EQ(error, pff::Error::CannotWrite);
    EXPECT_EQ(contentOf(path), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1)
        << "no stray file left";
    EXPECT_EQ((pff::Result{pff::Error::CannotWrite, path}.message()), "Unable to write to " + path);
}

TEST_F(PffFileTest, ASaveThatCannotReplaceTheTargetReportsIt) {
    // A directory of that name cannot be replaced by a file, not even by root.
    const auto path = (dir / "taken.pff").string();
    fs::create_directory(path);
    const auto result = pff::save(Configuration::startup(','), path);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.message(), "Unable to write to " + path);
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1)
        << "no stray file left";
}

mode_t modeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

TEST_F(PffFileTest, ASavedFileKeepsItsPermissionsAndANewOneTakesTheUmaskUntouched) {
    const auto shared = file("shared.pff", "[7A]\r\nPass=1\r\n");
    const auto locked = file("private.pff", "[7A]\r\nPass=1\r\n");
    ASSERT_EQ(::chmod(shared.c_str(), 0664), 0);
    ASSERT_EQ(::chmod(locked.c_str(), 0600), 0);
    const mode_t before = ::umask(027);
    umaskCalls = 0;

    EXPECT_TRUE(pff::save(Configuration::startup(','), shared));
    EXPECT_TRUE(pff::save(Configuration::startup(','), locked));
    EXPECT_TRUE(pff::save(Configuration::startup(','), (dir / "new.pff").string()));
    EXPECT_EQ(umaskCalls, 0) << "a save must not touch the process-wide umask";
    ::umask(before);

    EXPECT_EQ(modeOf(shared), 0664u);
    EXPECT_EQ(modeOf(locked), 0600u);
    EXPECT_EQ(modeOf((dir / "new.pff").string()), 0640u) << "0666 narrowed by the umask 027";
    EXPECT_TRUE(contentOf(shared).starts_with("[7A]\r\nPass=6173\r\n"));
}

TEST_F(PffFileTest, SavingThroughASymbolicLinkReplacesTheFileItNamesAndKeepsTheLink) {
    fs::create_directory(dir / "real");
    const auto target = file("real/config.pff", "[7A]\r\nPass=1\r\n");
    const auto link = (dir / "link.pff").string();
    fs::create_symlink("real/config.pff", link);
    const auto chained = (dir / "chained.pff").string();
    fs::create_symlink("link.pff", chained);
    const auto dangling = (dir / "dangling.pff").string();
    fs::create_symlink("real/later.pff", dangling);

    EXPECT_TRUE(pff::save(Configuration::startup(','), chained));
    EXPECT_TRUE(fs::is_symlink(chained));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), "real/config.pff");
    EXPECT_TRUE(contentOf(target).starts_with("[7A]\r\nPass=6173\r\n"));

    // A link to a file not made yet: the file is made where the link points.
    EXPECT_TRUE(pff::save(Configuration::startup(','), dangling));
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(contentOf((dir / "real/later.pff").string()), saved(Configuration::startup(',')));

    // Links in a loop name no file: the save fails and leaves them.
    fs::create_symlink("loop-b.pff", dir / "loop-a.pff");
    fs::create_symlink("loop-a.pff", dir / "loop-b.pff");
    EXPECT_EQ(pff::save(Configuration::startup(','), (dir / "loop-a.pff").string()).error,
              pff::Error::CannotWrite);
    EXPECT_TRUE(fs::is_symlink(dir / "loop-a.pff"));

    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 6) << "no stray file";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "real"), fs::directory_iterator()), 2)
        << "no stray file";
}

TEST_F(PffFileTest, ASaveThatRunsOutOfSpaceLeavesTheOldFileAndReportsIt) {
    const std::string before = "[7A]\r\nPass=9999\r\n";
    const auto path = file("full.pff", before);
    // The child may write 4 KiB per file, far less than a configuration file. With
    // SIGXFSZ ignored a write beyond it fails as on a full disk.
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            ::_exit(100);
        ::_exit(static_cast<int>(pff::save(Configuration::startup(','), path).error));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the save must fail, not end the program";
    EXPECT_EQ(static_cast<pff::Error>(WEXITSTATUS(status)), pff::Error::CannotWrite);
    EXPECT_EQ(contentOf(path), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1) << "no stray file";
}

TEST_F(PffFileTest, OpeningWhatIsNoConfigurationLeavesTheConfigurationAsItWas) {
    Configuration config = Configuration::startup(',');
    config.setText(table.id("TNLS_1"), "123");
    const Configuration before = config;

    auto result = pff::open(config, (dir / "missing.pff").string());
    EXPECT_EQ(result.error, pff::Error::CannotRead);
    EXPECT_EQ(result.message(), "Unable to read " + (dir / "missing.pff").string());
    EXPECT_EQ(config, before);

    result = pff::open(config, file("other.ini", "[Language]\r\nLang=DE\r\n"));
    EXPECT_EQ(result.error, pff::Error::NotAPffFile);
    EXPECT_EQ(config, before);

    result = pff::open(config, dir.string());
    EXPECT_EQ(result.error, pff::Error::CannotRead);
    EXPECT_EQ(config, before);
}

TEST_F(PffFileTest, OnlyARegularFileIsReadSoNothingBlocksOrRunsForever) {
    // A FIFO blocks a reader until a writer comes, a device never ends: both
    // must fail at once, leaving the Configuration and the FIFO as they were.
    const auto fifo = (dir / "pipe.pff").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    Configuration config = Configuration::startup(',');
    config.setText(table.id("TNLS_1"), "123");
    const Configuration before = config;

    EXPECT_EQ(pff::open(config, fifo).error, pff::Error::CannotRead);
    EXPECT_EQ(pff::open(config, "/dev/zero").error, pff::Error::CannotRead);
    EXPECT_EQ(config, before);

    const auto result = pff::save(config, fifo);
    EXPECT_EQ(result.error, pff::Error::CannotWrite);
    EXPECT_EQ(result.message(), "Unable to write to " + fifo);
    EXPECT_TRUE(fs::is_fifo(fifo));
}

} // namespace
} // namespace qta
