// The start-up's phase marks: their clock, their order, what is reported, and the slots
// they never run past, from one thread or many.
#include "base/startup_phases.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "tests/support/report_capture.h"

namespace {

using testing_support::ReportCapture;

TEST(StartupPhases, CountFromTheProcessStartInTheOrderMarked) {
    const std::uint32_t before = platform::tickCount();
    base::markPhase("window");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    base::markPhase("pictures");
    const std::uint32_t after = platform::tickCount();

    const std::vector<base::StartupPhase> phases = base::startupPhases();
    ASSERT_EQ(phases.size(), 2u);
    EXPECT_STREQ(phases[0].name, "window");
    EXPECT_STREQ(phases[1].name, "pictures");
    // The marks' clock starts no later than the platform's, which counts from the process start.
    EXPECT_GE(phases[0].ms, before);
    EXPECT_LE(phases[1].ms, after + 1000.0);
    EXPECT_GE(phases[1].ms - phases[0].ms, 20.0);
}

TEST(StartupPhases, ReportsOneInfoLinePerMark) {
    base::markPhase("main");
    base::markPhase("first frame shown");
    const std::vector<base::StartupPhase> phases = base::startupPhases();
    ReportCapture captured;
    base::reportStartupPhases();

    ASSERT_EQ(captured.reports.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "start-up %.1f ms %s", phases[i].ms, phases[i].name);
        EXPECT_EQ(captured.reports[i].text, expected);
        EXPECT_EQ(captured.reports[i].level, base::Level::kInfo);
    }
    EXPECT_NE(captured.written().find("oyun: start-up "), std::string::npos) << captured.written();
    EXPECT_NE(captured.written().find(" ms first frame shown\n"), std::string::npos) << captured.written();
}

TEST(StartupPhases, MarksFromManyThreadsFillTheSlotsAndNoMore) {
    const char* const names[] = {"a", "b", "c", "d"};
    std::vector<std::thread> threads;
    for (const char* name : names)
        threads.emplace_back([name] {
            for (int i = 0; i < base::kMaxStartupPhases; ++i) base::markPhase(name);
        });
    for (std::thread& thread : threads) thread.join();
    base::markPhase("late");

    const std::vector<base::StartupPhase> phases = base::startupPhases();
    ASSERT_EQ(phases.size(), static_cast<std::size_t>(base::kMaxStartupPhases));
    for (std::size_t i = 0; i < phases.size(); ++i) {
        EXPECT_NE(std::string("abcd").find(phases[i].name), std::string::npos) << phases[i].name;
        if (i > 0) {
            EXPECT_GE(phases[i].ms, phases[i - 1].ms);
        }
    }
}

}  // namespace
