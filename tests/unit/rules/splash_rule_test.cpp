// The splash's closing rule under every order of its events. Posted commands are handled
// right after the event that posted them, as the dialog's message queue does.
#include <gtest/gtest.h>

#include <deque>

#include "rules/splash_close.h"

namespace {

struct RuleCase {
    // T timer, C click, E Enter (command 1), X Escape (command 2), S loader success, F loader
    // failure; s and f: the loader has recorded its outcome but its post (p) comes later.
    const char* events;
    int result;  // 0: still open after the last event
    int endsAt;  // index of the event after which the dialog ended
};

class ClosingRule : public ::testing::TestWithParam<RuleCase> {};

TEST_P(ClosingRule, EndsOnlyWhenItMay) {
    const RuleCase& c = GetParam();
    SplashClosingRule rule;
    std::deque<int> posted;
    int pendingPost = 0;
    int result = 0, endsAt = -1;
    for (int i = 0; c.events[i] && result == 0; ++i) {
        switch (c.events[i]) {
            case 'T':
            case 'C':
                rule.minimumTimeOver();
                posted.push_back(1);
                break;
            case 'E': posted.push_back(1); break;
            case 'X': posted.push_back(2); break;
            case 'S': rule.loaderFinished(1), posted.push_back(1); break;
            case 'F': rule.loaderFinished(3), posted.push_back(3); break;
            case 's': rule.loaderFinished(pendingPost = 1); break;
            case 'f': rule.loaderFinished(pendingPost = 3); break;
            case 'p': posted.push_back(pendingPost); break;
        }
        while (!posted.empty() && result == 0) {
            result = rule.onCommand(posted.front());
            posted.pop_front();
            if (result) endsAt = i;
        }
    }
    EXPECT_EQ(result, c.result) << c.events;
    EXPECT_EQ(endsAt, c.result ? c.endsAt : -1) << c.events;
}

INSTANTIATE_TEST_SUITE_P(
    Orders, ClosingRule,
    ::testing::Values(RuleCase{"ST", 1, 1},     // quick loader: the timer ends it
                      RuleCase{"TS", 1, 1},     // slow loader: its own command ends it
                      RuleCase{"CS", 1, 1},     // a click shortens the wait
                      RuleCase{"SC", 1, 1},     //
                      RuleCase{"F", 3, 0},      // failure ends at once
                      RuleCase{"TF", 3, 1},     //
                      RuleCase{"CCF", 3, 2},    //
                      RuleCase{"EXS", 0, -1},   // keys before loading do nothing
                      RuleCase{"EXST", 1, 3},   //
                      RuleCase{"SEX", 0, -1},   // nor before the minimum time
                      RuleCase{"SEXC", 1, 3},   //
                      RuleCase{"TEXS", 1, 3},   //
                      RuleCase{"STE", 1, 1},    //
                      RuleCase{"TCEX", 0, -1},  // never without the loader
                      RuleCase{"S", 0, -1},     //
                      RuleCase{"sTp", 1, 1},    // success recorded, timer first
                      RuleCase{"fTp", 3, 2},    // a failure never turns into success
                      RuleCase{"fCEXp", 3, 4}));

}  // namespace
