// The wait before the print key's capture.
#include <gtest/gtest.h>

#include "capture/capture_countdown.h"

namespace {

using orbilux::CaptureCountdown;
using Press = CaptureCountdown::Press;

TEST(CaptureCountdown, CountsWholeSecondsDownAndEndsExactlyOnTime) {
    CaptureCountdown countdown;
    ASSERT_EQ(countdown.OnPress(3, 10'000), Press::Wait);
    EXPECT_TRUE(countdown.Running());
    EXPECT_EQ(countdown.SecondsLeft(10'000), 3u);
    EXPECT_EQ(countdown.MsToNextChange(10'000), 1000u);
    EXPECT_EQ(countdown.SecondsLeft(10'001), 3u);  // rounded up: never shows 0 early
    EXPECT_EQ(countdown.MsToNextChange(10'001), 999u);
    EXPECT_EQ(countdown.SecondsLeft(11'000), 2u);
    EXPECT_EQ(countdown.SecondsLeft(12'999), 1u);
    EXPECT_EQ(countdown.MsToNextChange(12'999), 1u);
    EXPECT_FALSE(countdown.Expire(12'999));
    EXPECT_TRUE(countdown.Running());
    // A late timer still fires once, and only once.
    EXPECT_TRUE(countdown.Expire(13'250));
    EXPECT_FALSE(countdown.Running());
    EXPECT_FALSE(countdown.Expire(14'000));
    EXPECT_EQ(countdown.SecondsLeft(13'250), 0u);
}

TEST(CaptureCountdown, SecondPressCapturesAtOnceAndNoDelayNeverWaits) {
    CaptureCountdown countdown;
    EXPECT_EQ(countdown.OnPress(0, 5), Press::CaptureNow);
    EXPECT_FALSE(countdown.Running());

    ASSERT_EQ(countdown.OnPress(2, 1000), Press::Wait);
    EXPECT_EQ(countdown.OnPress(2, 1500), Press::CaptureNow);
    EXPECT_FALSE(countdown.Running());
    EXPECT_FALSE(countdown.Expire(5000));  // the ended countdown does not fire later
    // The next press starts a new wait.
    EXPECT_EQ(countdown.OnPress(2, 6000), Press::Wait);
    EXPECT_EQ(countdown.SecondsLeft(6000), 2u);
}

TEST(CaptureCountdown, CancelledCountdownNeverFiresAndLongDelaysAreCut) {
    CaptureCountdown countdown;
    ASSERT_EQ(countdown.OnPress(4, 0), Press::Wait);
    countdown.Cancel();
    EXPECT_FALSE(countdown.Running());
    EXPECT_FALSE(countdown.Expire(10'000));
    // A cancelled countdown is not "running": the next press waits again.
    ASSERT_EQ(countdown.OnPress(4000000000u, 0), Press::Wait);
    EXPECT_EQ(countdown.SecondsLeft(0), CaptureCountdown::kMaxSeconds);
    EXPECT_TRUE(countdown.Expire(CaptureCountdown::kMaxSeconds * 1000));
}

}  // namespace
