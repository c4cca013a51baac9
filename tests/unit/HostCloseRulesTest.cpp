#include <gtest/gtest.h>

#include <cstdint>

#include "host/CloseRules.h"

namespace {

using namespace saverinput;

TEST(InputRuleFor, KeysAndMouseButtonsClose) {
    for (std::uint32_t message : {kKeyDown, kSysKeyDown, kLeftButtonDown, kRightButtonDown, kMiddleButtonDown}) {
        EXPECT_EQ(InputRuleFor(message, 0, 0), InputRule::Close) << message;
    }
    // Releases, double clicks and the wheel are not on the list.
    for (std::uint32_t message : {0x0101u, 0x0202u, 0x0203u, 0x020Au}) {
        EXPECT_EQ(InputRuleFor(message, 0, 0), InputRule::None) << message;
    }
    EXPECT_EQ(InputRuleFor(kMouseMove, 0, 0), InputRule::MeasureMouseTravel);
}

TEST(InputRuleFor, LosingActivationClosesGainingDoesNot) {
    EXPECT_EQ(InputRuleFor(kActivateApp, 0, 0), InputRule::Close);
    EXPECT_EQ(InputRuleFor(kActivateApp, 1, 0), InputRule::None);
}

TEST(InputRuleFor, OnlyACriticalResumeOfTheOldPowerMessageCloses) {
    for (std::uintptr_t event = 0; event <= 5; ++event) {
        EXPECT_EQ(InputRuleFor(kPower, event, 0), event == 3 ? InputRule::Close : InputRule::None) << event;
    }
}

TEST(InputRuleFor, PowerBroadcastsCloseExceptFailedResumesAndUnchangedMains) {
    for (std::uintptr_t event = 0; event <= 25; ++event) {
        const bool resume = (event >= 6 && event <= 8) || event == 18;
        const InputRule plain = InputRuleFor(kPowerBroadcast, event, 0);
        const InputRule fromFailure = InputRuleFor(kPowerBroadcast, event, kResumeFromFailure);
        if (event == kPowerStatusChange) {
            EXPECT_EQ(plain, InputRule::CheckMainsStatus);
            EXPECT_EQ(fromFailure, InputRule::CheckMainsStatus);
        } else if (resume) {
            EXPECT_EQ(plain, InputRule::Close) << event;
            EXPECT_EQ(fromFailure, InputRule::None) << event;
            // Only bit 0 of lParam marks a failed suspend.
            EXPECT_EQ(InputRuleFor(kPowerBroadcast, event, 2), InputRule::Close) << event;
        } else {
            EXPECT_EQ(plain, InputRule::Close) << event;
            EXPECT_EQ(fromFailure, InputRule::Close) << event;
        }
    }
}

TEST(InputRuleFor, KeepsTheCursorHidden) {
    EXPECT_EQ(InputRuleFor(kShowWindow, 1, 0), InputRule::HideCursor);
    EXPECT_EQ(InputRuleFor(kShowWindow, 0, 0), InputRule::None);
    EXPECT_EQ(InputRuleFor(kSetCursor, 0, 0), InputRule::HideCursorAndAnswer);
    EXPECT_EQ(InputRuleFor(0x000F, 0, 0), InputRule::None);
}

TEST(MouseTravelCloses, ToleratesFourPixelsInTotal) {
    const CursorPoint origin{100, 100};
    EXPECT_FALSE(MouseTravelCloses(origin, {100, 100}, 4));
    EXPECT_FALSE(MouseTravelCloses(origin, {103, 101}, 4));
    EXPECT_FALSE(MouseTravelCloses(origin, {96, 100}, 4));
    EXPECT_FALSE(MouseTravelCloses(origin, {98, 98}, 4));
    EXPECT_TRUE(MouseTravelCloses(origin, {103, 102}, 4));
    EXPECT_TRUE(MouseTravelCloses(origin, {100, 95}, 4));
    EXPECT_TRUE(MouseTravelCloses(origin, {97, 102}, 4));
}

TEST(MouseTravelCloses, SlowDriftFromAFixedOriginAddsUp) {
    const CursorPoint origin{0, 0};
    EXPECT_FALSE(MouseTravelCloses(origin, {2, 0}, 4));
    EXPECT_FALSE(MouseTravelCloses(origin, {4, 0}, 4));
    EXPECT_TRUE(MouseTravelCloses(origin, {6, 0}, 4));
}

TEST(MouseTravelCloses, DistancesAcrossTheWholeRangeDoNotWrap) {
    EXPECT_TRUE(MouseTravelCloses({INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MAX}, 4));
    EXPECT_TRUE(MouseTravelCloses({INT32_MIN, 0}, {INT32_MAX, 0}, 4));
}

TEST(InCheckPause, RefusesForTwoHundredMillisecondsAfterADialog) {
    EXPECT_FALSE(InCheckPause(kNoCheckYet, 0));
    EXPECT_FALSE(InCheckPause(kNoCheckYet, 100));
    EXPECT_TRUE(InCheckPause(1000, 1000));
    EXPECT_TRUE(InCheckPause(1000, 1150));
    EXPECT_TRUE(InCheckPause(1000, 1199));
    EXPECT_FALSE(InCheckPause(1000, 1200));
    EXPECT_FALSE(InCheckPause(1000, 1250));
}

TEST(InCheckPause, CountsAcrossTheTickWrap) {
    EXPECT_TRUE(InCheckPause(0xFFFFFFC0u, 0x00000010u));   // 80 ms after, across the wrap
    EXPECT_FALSE(InCheckPause(0xFFFFFF00u, 0x00000010u));  // 272 ms after
}

TEST(SysCommandRuleFor, RefusesTaskSwitchAndRestartInFullScreenOnly) {
    for (std::uintptr_t command : {kNextWindow, kPrevWindow, kScreenSave}) {
        EXPECT_EQ(SysCommandRuleFor(command, false), SysCommandRule::Refuse) << command;
        EXPECT_EQ(SysCommandRuleFor(command, true), SysCommandRule::Forward) << command;
    }
    EXPECT_EQ(SysCommandRuleFor(kMonitorPower, false), SysCommandRule::CloseAndForward);
    EXPECT_EQ(SysCommandRuleFor(kMonitorPower, true), SysCommandRule::Forward);
    // The whole wParam is compared: low bits set make another command.
    EXPECT_EQ(SysCommandRuleFor(kScreenSave | 2, false), SysCommandRule::Forward);
    EXPECT_EQ(SysCommandRuleFor(kMonitorPower | 1, false), SysCommandRule::Forward);
    EXPECT_EQ(SysCommandRuleFor(0xF060, false), SysCommandRule::Forward);  // SC_CLOSE
}

}  // namespace
