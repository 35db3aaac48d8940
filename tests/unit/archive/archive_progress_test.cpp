// The archive progress channel: one display without Cancel, refreshed at most every 500 ms.
#include <gtest/gtest.h>

#include "archive/archive_progress.h"
#include "support/fakes.h"

namespace {

using testing_support::FakeSystem;

class NoDisplaySink : public platform::ProgressSink {
public:
    std::unique_ptr<platform::ProgressDisplay> open(platform::ProceedFlag*, bool,
                                                    const std::string&, bool) override {
        return nullptr;
    }
    bool pumpMessages() override {
        ++pumps;
        return true;
    }
    int pumps = 0;
};

int countEvents(const FakeSystem& f, const std::string& what) {
    int n = 0;
    for (const auto& e : f.progress.events) n += e.what == what;
    return n;
}

TEST(ArchiveProgress, OpensOneDisplayWithoutCancel) {
    FakeSystem f;
    ArchiveProgressChannel channel;
    channel.begin(f.system());
    channel.begin(f.system());
    ASSERT_EQ(countEvents(f, "open"), 1);
    const auto& open = f.progress.events.front();
    EXPECT_EQ(open.text, "");  // title
    EXPECT_EQ(open.a, 1);      // hideCancel
    EXPECT_EQ(open.b, 0);      // not minimized
    ASSERT_NE(f.progress.flag, nullptr);
    EXPECT_EQ(*f.progress.flag, 1);
    channel.end();
    EXPECT_EQ(countEvents(f, "close"), 1);
    EXPECT_FALSE(channel.isOpen());
}

TEST(ArchiveProgress, TextShowsBarOnlyForPositiveTotal) {
    struct Case {
        std::int64_t total;
        int high;
    } cases[] = {{1, 100}, {70000000, 100}, {0, 0}, {-5, 0}};
    for (const Case& c : cases) {
        FakeSystem f;
        ArchiveProgressChannel channel;
        channel.begin(f.system());
        channel.setText("Processing APK files...", c.total);
        const auto& e = f.progress.events.back();
        EXPECT_EQ(e.what, "text");
        EXPECT_EQ(e.text, "Processing APK files...");
        EXPECT_EQ(e.a, 0);
        EXPECT_EQ(e.b, c.high) << c.total;
    }
}

TEST(ArchiveProgress, RefreshesFirstAtOnceThenEvery500ms) {
    FakeSystem f;
    f.clock.now = 100;  // the first report refreshes even this close to start
    ArchiveProgressChannel channel;
    channel.begin(f.system());
    struct Step {
        std::uint32_t now;
        std::int64_t done, total;
        int base;
        int expectPos;  // -1: no refresh
    } steps[] = {
        {100, 10, 100, 0, 10},   {599, 20, 100, 0, -1},   {600, 30, 100, 0, 30},
        {1099, 40, 100, 66, -1}, {1100, 10, 100, 66, 76}, {1700, 1, 0, 66, 66},
        {2300, 5, -1, 0, 0},
    };
    for (const Step& s : steps) {
        f.clock.now = s.now;
        f.progress.events.clear();
        EXPECT_TRUE(channel.step(s.done, s.total, s.base));
        if (s.expectPos < 0) {
            EXPECT_TRUE(f.progress.events.empty()) << s.now;
        } else {
            ASSERT_EQ(f.progress.events.size(), 2u) << s.now;
            EXPECT_EQ(f.progress.events[0].what, "pos");
            EXPECT_EQ(f.progress.events[0].a, s.expectPos) << s.now;
            EXPECT_EQ(f.progress.events[1].what, "pump");
        }
    }
}

TEST(ArchiveProgress, LargeCountsDoNotOverflow) {
    FakeSystem f;
    ArchiveProgressChannel channel;
    channel.begin(f.system());
    channel.step(2000000000LL / 3, 2000000000LL, 66);
    EXPECT_EQ(channel.lastPercent(), 99);
}

TEST(ArchiveProgress, WithoutDisplayNothingHappens) {
    FakeSystem f;
    NoDisplaySink sink;
    platform::System sys = f.system();
    sys.progress = &sink;
    ArchiveProgressChannel channel;
    channel.begin(sys);
    channel.setText("x", 10);
    EXPECT_TRUE(channel.step(5, 10, 0));
    channel.end();
    EXPECT_EQ(sink.pumps, 0);
    EXPECT_FALSE(channel.isOpen());
}

TEST(ArchiveProgress, AfterEndReportsAreSilent) {
    FakeSystem f;
    ArchiveProgressChannel channel;
    channel.begin(f.system());
    channel.end();
    f.progress.events.clear();
    channel.setText("x", 10);
    EXPECT_TRUE(channel.step(5, 10, 0));
    EXPECT_TRUE(f.progress.events.empty());
}

}  // namespace
