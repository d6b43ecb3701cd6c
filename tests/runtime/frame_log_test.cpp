#include "runtime/core/frame_log.h"

#include <gtest/gtest.h>

using namespace prismora::runtime;

TEST(FrameLog, WritesAndReadsBackTheFirstFrameAndEveryTick) {
  FrameLog log;
  log.firstFrameMs = 412.5;
  log.tickMs = {6.25, 7.125, 30.0};
  const FrameLog back = FrameLog::Parse(log.Text());
  EXPECT_DOUBLE_EQ(back.firstFrameMs, 412.5);
  EXPECT_EQ(back.tickMs, log.tickMs);
  // Windows line ends, a torn last line and strangers are passed over.
  const FrameLog torn = FrameLog::Parse("first_frame_ms 9.5\r\nnoise\ntick_ms x\ntick_ms 2\nother 4\ntick_ms");
  EXPECT_DOUBLE_EQ(torn.firstFrameMs, 9.5);
  EXPECT_EQ(torn.tickMs, (std::vector<double>{2.0}));
  EXPECT_DOUBLE_EQ(FrameLog::Parse("").firstFrameMs, -1);
}

TEST(FrameLog, MedianAndNearestRank99thPercentile) {
  EXPECT_EQ(Summarise({}).ticks, 0u);
  EXPECT_EQ(Summarise({}).p99Ms, 0);
  const FrameStats one = Summarise({5});
  EXPECT_EQ(one.medianMs, 5);
  EXPECT_EQ(one.p99Ms, 5);
  EXPECT_EQ(Summarise({4, 1, 3, 2}).medianMs, 2.5);
  // 200 ticks, unsorted: 1..200 ms. 99 % of them are at most 198 ms.
  std::vector<double> ticks;
  for (int i = 200; i >= 1; --i) ticks.push_back(i);
  const FrameStats s = Summarise(ticks);
  EXPECT_EQ(s.ticks, 200u);
  EXPECT_EQ(s.medianMs, 100.5);
  EXPECT_EQ(s.p99Ms, 198);
  EXPECT_EQ(s.worstMs, 200);
  // One slow tick in a hundred does not reach the 99th percentile; two do.
  std::vector<double> spikes(100, 10.0);
  spikes[3] = 90;
  EXPECT_EQ(Summarise(spikes).p99Ms, 10);
  spikes[50] = 80;
  EXPECT_EQ(Summarise(spikes).p99Ms, 80);
}
