// The progress line of the long setuptool commands: when a line is written, and what it says.
#include <gtest/gtest.h>

#include <vector>

#include "platform/console_progress.h"
#include "platform/file_system.h"
#include "support/fakes.h"

namespace {

struct Step {
    char kind;  // u: update, r: restart under label, f: finish
    std::uint32_t at;
    std::uint64_t done = 0, total = 0;
    const char* label = "";
    const char* written = "";
};

struct LineCase {
    const char* what;
    bool terminal, bytes;
    std::uint32_t start;
    std::vector<Step> steps;
};

class ProgressLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(ProgressLine, WritesWhatIsDue) {
    const LineCase& c = GetParam();
    platform::ConsoleProgressLine line(c.terminal, "pack", c.bytes, c.start);
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
        const Step& s = c.steps[i];
        std::string out;
        if (s.kind == 'u') out = line.update(s.done, s.total, s.at);
        if (s.kind == 'r') line.restart(s.label, s.at);
        if (s.kind == 'f') out = line.finish(s.at);
        EXPECT_EQ(out, s.written) << c.what << ", step " << i;
    }
}

constexpr std::uint64_t MB = 1000000;

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgressLine,
    ::testing::Values(LineCase{"notATerminal",
                               false,
                               true,
                               1000,
                               {{'u', 1300, MB, 4 * MB}, {'u', 5000, 2 * MB, 4 * MB}, {'f', 6000}}},
                      LineCase{"quickCommandShowsNothing",
                               true,
                               true,
                               1000,
                               {{'u', 1100, MB, 4 * MB}, {'u', 1249, 4 * MB, 4 * MB}, {'f', 1249}}},
                      LineCase{"rateAndThrottle",
                               true,
                               true,
                               1000,
                               {{'u', 1250, MB, 4 * MB, "", "\rpack  25% 4.0 MB/s"},
                                {'u', 1499, 2 * MB, 4 * MB},
                                {'u', 1500, 2 * MB, 4 * MB, "", "\rpack  50% 4.0 MB/s"},
                                {'f', 1600, 0, 0, "", "\rpack  50% 3.3 MB/s\n"},
                                {'f', 1700}}},
                      LineCase{"tickCountWraps",
                               true,
                               true,
                               0xFFFFFF00u,
                               {{'u', 0x100u, 512 * 1000, MB, "", "\rpack  51% 1.0 MB/s"}}},
                      LineCase{"countsWithoutRateAndClamps",
                               true,
                               false,
                               0,
                               {{'u', 300, 7, 5, "", "\rpack 100%"},
                                {'r', 400, 0, 0, "check: menu 2"},
                                {'u', 600, 3, 0, "", "\rcheck: menu 2   0%"},
                                {'r', 700, 0, 0, "x"},
                                // blanks over the longer line before
                                {'u', 900, 1, 4, "", "\rx  25%            "}}},
                      LineCase{
                          "restartCountsTheRateAnew",
                          true,
                          true,
                          0,
                          {{'u', 1000, 10 * MB, 10 * MB, "", "\rpack 100% 10.0 MB/s"},
                           {'r', 1000, 0, 0, "pack: compressing"},
                           {'u', 3000, MB, 10 * MB, "", "\rpack: compressing  10% 0.5 MB/s"}}}),
    [](const auto& info) { return std::string(info.param.what); });

// What a run of the core's displays writes: the unpacker's per cent as bytes of its package
// (two displays in a row, one line), the check's texts as numbered steps.
std::string written(platform::FilePtr& file) {
    std::rewind(file.get());
    std::string out;
    for (int c; (c = std::fgetc(file.get())) != EOF;) out += static_cast<char>(c);
    return out;
}

TEST(ProgressSink, DisplaysBecomeOneLine) {
    testing_support::SteppingClock clock(0, 300);
    {
        platform::FilePtr file(std::tmpfile());
        ASSERT_TRUE(file);
        {
            platform::ConsoleProgress line(file.get(), true, "extract", true, clock);
            platform::ConsoleProgressSink sink(line, 3 * MB);
            platform::ProceedFlag proceed{1};
            auto unpacking = sink.open(&proceed, true, "", false);
            unpacking->setText("Unpacking APK files...", 0, 100);
            unpacking->setPos(50);  // at 300 ms: the first line
            unpacking.reset();
            auto processing = sink.open(&proceed, true, "", false);
            processing->setText("Processing APK files...", 0, 0);  // no bar
            processing->setText("Processing APK files...", 0, 100);
            processing->setPos(150);  // 600 ms, past the end
        }                             // the line ends at 900 ms
        EXPECT_EQ(written(file),
                  "\rextract  50% 5.0 MB/s\rextract 100% 5.0 MB/s\rextract 100% 3.3 MB/s\n");
    }
    platform::FilePtr file(std::tmpfile());
    ASSERT_TRUE(file);
    {
        platform::ConsoleProgress line(file.get(), true, "check: menu", false, clock);
        platform::ConsoleProgressSink sink(line, 0, "check: menu");
        platform::ProceedFlag proceed{1};
        auto display = sink.open(&proceed, false, "", false);
        display->setText("Checking menu a:0...", 0, 4);
        display->setPos(1);
        display->setText("Checking menu a:1...", 10, 20);
        display->setPos(15);
    }
    EXPECT_EQ(written(file),
              "\rcheck: menu 1   0%\rcheck: menu 1  25%\rcheck: menu 2   0%\rcheck: menu 2  50%"
              "\rcheck: menu 2  50%\n");
}

}  // namespace
