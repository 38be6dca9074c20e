// The rotation against a recording desktop.
//
// Change_Wallpaper keeps its place in static variables that only a new
// process resets, as in the program, where every run starts afresh. CTest
// runs each of these tests in a process of its own; a test that needs many
// fresh starts forks one child per start.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "config/config.h"
#include "rotation/rotation.h"
#include "tests/native/recording_platform.h"

namespace {

// Settings and a list of paths p0 .. p(count-1), as a reading would leave them.
void Load(int count, int32_t random, int32_t refresh = 0, uint32_t minutes = 30) {
  TimerMinutes = minutes;
  Random = random;
  RefreshScreen = refresh;
  for (int i = 0; i < count; ++i) {
    const std::string path = "p" + std::to_string(i);
    std::copy(path.begin(), path.end() + 1, wallpap_buffer[i].begin());
  }
  wallpap_max_index = count - 1;
  Forget_Recorded_Calls();
}

// The entries shown so far, by index.
std::vector<int> Shown() {
  std::vector<int> shown;
  for (const Desktop_Call &call : desktop_calls) {
    if (call.rfind("wallpaper p", 0) == 0) shown.push_back(std::stoi(call.substr(11)));
  }
  return shown;
}

std::vector<int> Changes(int count) {
  for (int i = 0; i < count; ++i) Change_Wallpaper();
  return Shown();
}

TEST(ListOrder, StartsWithTheFirstEntryAndWrapsAround) {
  Load(3, 0);
  EXPECT_EQ(Changes(7), (std::vector<int>{0, 1, 2, 0, 1, 2, 0}));
}

TEST(ListOrder, UsesEverySlotOfAFullList) {
  Load(64, 0);
  std::vector<int> expected;
  for (int i = 0; i < 130; ++i) expected.push_back(i % 64);
  EXPECT_EQ(Changes(130), expected);
}

TEST(RandomOrder, TwoEntriesStartWithTheSecondAndAlternate) {
  std::srand(12345);
  Load(2, 1);
  EXPECT_EQ(Changes(8), (std::vector<int>{1, 0, 1, 0, 1, 0, 1, 0}));
}

TEST(RandomOrder, NeverShowsAnEntryTwiceInARow) {
  for (int entries : {3, 5, 64}) {
    SCOPED_TRACE(entries);
    Load(entries, 1);
    const std::vector<int> shown = Changes(2000);
    std::set<int> seen(shown.begin(), shown.end());
    for (std::size_t i = 1; i < shown.size(); ++i) ASSERT_NE(shown[i], shown[i - 1]) << i;
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(entries)) << "some entry never shown";
  }
}

// Runs the first random change of a new process, seeded with seed, and
// returns the entry it showed.
int First_Random_Entry(unsigned seed, int entries) {
  const pid_t child = fork();
  if (child == 0) {
    std::srand(seed);
    Load(entries, 1);
    Change_Wallpaper();
    _exit(Shown().at(0));
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(RandomOrder, FirstChangeNeverShowsEntryZero) {
  std::set<int> firsts;
  for (unsigned seed = 1; seed <= 40; ++seed) {
    const int first = First_Random_Entry(seed, 5);
    ASSERT_GE(first, 1) << "seed " << seed;
    ASSERT_LE(first, 4) << "seed " << seed;
    firsts.insert(first);
  }
  EXPECT_GT(firsts.size(), 1u) << "the seed makes no difference";
}

TEST(Ticks, EveryTickChangesWhenTimerMinutesIsOne) {
  Load(3, 0, 0, 1);
  for (int i = 0; i < 4; ++i) Minute_Tick();
  EXPECT_EQ(Shown(), (std::vector<int>{0, 1, 2, 0}));
  EXPECT_EQ(TimerEventCounter, 0u);
}

TEST(Ticks, ThirtyMinutesChangeOnEveryThirtiethTick) {
  Load(3, 0, 0, 30);
  for (int i = 0; i < 29; ++i) Minute_Tick();
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(TimerEventCounter, 29u);
  Minute_Tick();
  EXPECT_EQ(Shown(), std::vector<int>{0});
  for (int i = 0; i < 29; ++i) Minute_Tick();
  EXPECT_EQ(Shown(), std::vector<int>{0});
  Minute_Tick();
  EXPECT_EQ(Shown(), (std::vector<int>{0, 1}));
}

TEST(Ticks, RequestChangesAtOnceAndRestartsTheCount) {
  Load(3, 0, 0, 30);
  for (int i = 0; i < 10; ++i) Minute_Tick();
  Change_Request();
  EXPECT_EQ(Shown(), std::vector<int>{0});
  EXPECT_EQ(TimerEventCounter, 0u);
  for (int i = 0; i < 29; ++i) Minute_Tick();
  EXPECT_EQ(Shown(), std::vector<int>{0}) << "the timed change came early";
  Minute_Tick();
  EXPECT_EQ(Shown(), (std::vector<int>{0, 1}));
}

TEST(Desktop, WithoutRefreshEachChangeSetsWallpaperThenArrow) {
  Load(2, 0, 0, 1);
  Minute_Tick();
  Change_Request();
  EXPECT_EQ(desktop_calls,
            (std::vector<Desktop_Call>{"wallpaper p0", "arrow", "wallpaper p1", "arrow"}));
}

TEST(Desktop, WithRefreshEachChangeRepaintsOnceBeforeTheArrow) {
  Load(2, 1, 1, 1);
  Minute_Tick();
  Change_Request();
  EXPECT_EQ(desktop_calls, (std::vector<Desktop_Call>{"wallpaper p1", "repaint", "arrow",
                                                      "wallpaper p0", "repaint", "arrow"}));
}

}  // namespace
