// The wallpaper changes as the desktop and other programs see them: the
// setting in the user's profile and the picture on the screen, after change
// requests (WM_USER) and minute ticks (WM_TIMER, posted by the test in place
// of the one-minute timer).
#include <set>
#include <ostream>
#include <string>
#include <vector>

#include "harness.h"

namespace {

using namespace harness;

class Rotation : public Morvelin_Test {
 protected:
  // Starts the program with n wallpapers and waits for its window.
  void Start(int n, int timer_minutes, int random) {
    wallpapers_ = Make_Wallpapers(n);
    ASSERT_NO_FATAL_FAILURE(Start_Running(program_, Make_Config(timer_minutes, random,
                                                                wallpapers_)));
    window_ = FindWindowA(nullptr, TITLE);
    ASSERT_NE(window_, nullptr);
  }

  // The list index of the wallpaper now set, or -1.
  int Index_Of(const std::string &path) const {
    for (std::size_t i = 0; i < wallpapers_.size(); ++i) {
      if (wallpapers_[i] == path) return static_cast<int>(i);
    }
    return -1;
  }

  // Posts WM_CLOSE behind everything posted so far and waits for the end:
  // once the program has exited, it has handled every earlier message.
  void Close_And_Expect_Status_0() {
    ASSERT_TRUE(Post(window_, WM_CLOSE));
    DWORD status = 99;
    ASSERT_TRUE(program_.Wait_For_Exit(WAIT_MS, &status));
    EXPECT_EQ(status, 0u);
  }

  Process program_;
  HWND window_ = nullptr;
  std::vector<std::string> wallpapers_;
};

TEST_F(Rotation, NothingChangesAtStartUp) {
  ASSERT_NO_FATAL_FAILURE(Start(3, 1, 0));
  // Watch it wait for a while, then let it handle everything it has.
  EXPECT_FALSE(Poll_Until([] { return Wallpaper_Setting() != NO_WALLPAPER; }, 1500));
  ASSERT_NO_FATAL_FAILURE(Close_And_Expect_Status_0());
  EXPECT_EQ(Wallpaper_Setting(), NO_WALLPAPER);
}

TEST_F(Rotation, RequestShowsTheImageOnTheScreen) {
  ASSERT_NO_FATAL_FAILURE(Start(2, 30, 0));
  ASSERT_NE(Screen_Centre_Colour(), Wallpaper_Colour(0));
  EXPECT_EQ(Request_Change(window_), wallpapers_[0]);
  EXPECT_TRUE(Wait_For_Screen_Colour(Wallpaper_Colour(0)))
      << "screen shows " << std::hex << Screen_Centre_Colour();
  EXPECT_EQ(Request_Change(window_), wallpapers_[1]);
  EXPECT_TRUE(Wait_For_Screen_Colour(Wallpaper_Colour(1)))
      << "screen shows " << std::hex << Screen_Centre_Colour();
}

// A visible window of the suite's own that counts its paints. A whole-screen
// repaint invalidates, erases and repaints every window, this one too, so
// the count shows each repaint. (The screen's pixels would not tell: under
// Wine the desktop's own picture can lag behind a repaint that another
// process asks for, and then shows the previous wallpaper.)
class Paint_Witness {
 public:
  Paint_Witness() {
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = Count_Paints;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = "MorvelinPaintWitness";
    RegisterClassA(&window_class);
    window_ = CreateWindowExA(0, window_class.lpszClassName, "paint witness",
                              WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 160, 120, nullptr,
                              nullptr, window_class.hInstance, nullptr);
  }
  ~Paint_Witness() { DestroyWindow(window_); }

  // Waits until the first paint is over, then counts from zero.
  bool Settle() {
    const bool painted = Poll_Until([] { return paints > 0; });
    Pump_Messages();
    paints = 0;
    return painted && window_ != nullptr;
  }

  static int paints;

 private:
  static LRESULT CALLBACK Count_Paints(HWND hwnd, UINT message, WPARAM wParam,
                                       LPARAM lParam) {
    if (message == WM_PAINT) {
      PAINTSTRUCT paint;
      BeginPaint(hwnd, &paint);
      EndPaint(hwnd, &paint);
      ++paints;
      return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }

  HWND window_ = nullptr;
};

int Paint_Witness::paints = 0;

TEST_F(Rotation, RefreshScreenRepaintsEveryWindowAfterEachChange) {
  Paint_Witness witness;
  ASSERT_TRUE(witness.Settle());
  wallpapers_ = Make_Wallpapers(2);
  const std::string config = Test_Path("refresh.cfg");
  ASSERT_TRUE(Write_File(config, Config_Text(30, 0, 1, wallpapers_)));
  ASSERT_NO_FATAL_FAILURE(Start_Running(program_, config));
  window_ = FindWindowA(nullptr, TITLE);
  for (int expected : {0, 1, 0}) {
    Paint_Witness::paints = 0;
    ASSERT_EQ(Request_Change(window_), wallpapers_[expected]);
    EXPECT_TRUE(Poll_Until([] { return Paint_Witness::paints > 0; }))
        << "no repaint after the change to entry " << expected;
  }
  ASSERT_NO_FATAL_FAILURE(Close_And_Expect_Status_0());
}

TEST_F(Rotation, ListOrderGoesRoundFromTheFirstEntry) {
  ASSERT_NO_FATAL_FAILURE(Start(3, 30, 0));
  for (int expected : {0, 1, 2, 0, 1}) {
    SCOPED_TRACE("expected entry " + std::to_string(expected));
    ASSERT_EQ(Request_Change(window_), wallpapers_[expected]);
    EXPECT_TRUE(Wait_For_Screen_Colour(Wallpaper_Colour(expected)));
  }
}

TEST_F(Rotation, AnyParametersOfTheRequestWillDo) {
  ASSERT_NO_FATAL_FAILURE(Start(2, 30, 0));
  Set_Wallpaper_Setting(NO_WALLPAPER);
  ASSERT_TRUE(Post(window_, WM_USER, 12345, -7));
  EXPECT_EQ(Wait_For_Wallpaper_Change(NO_WALLPAPER), wallpapers_[0]);
}

TEST_F(Rotation, RandomOrderWithTwoEntriesStartsWithTheSecondAndAlternates) {
  ASSERT_NO_FATAL_FAILURE(Start(2, 30, 1));
  for (int expected : {1, 0, 1, 0, 1, 0}) {
    SCOPED_TRACE("expected entry " + std::to_string(expected));
    ASSERT_EQ(Request_Change(window_), wallpapers_[expected]);
  }
}

TEST_F(Rotation, RandomOrderNeverRepeatsAndNeverStartsWithTheFirst) {
  ASSERT_NO_FATAL_FAILURE(Start(5, 30, 1));
  std::vector<int> shown;
  for (int change = 0; change < 24; ++change) {
    const int index = Index_Of(Request_Change(window_));
    ASSERT_NE(index, -1) << "change " << change << " installed no list entry";
    shown.push_back(index);
  }
  EXPECT_NE(shown[0], 0);
  for (std::size_t i = 1; i < shown.size(); ++i) {
    EXPECT_NE(shown[i], shown[i - 1]) << "entry " << shown[i] << " twice at change " << i;
  }
  // Not a fixed alternation: 24 draws among the others reach more than two.
  EXPECT_GT(std::set<int>(shown.begin(), shown.end()).size(), 2u);
}

// Minute ticks and requests, posted in a row; the program is then closed,
// and the wallpaper it left shows how many changes it made.
struct Post_Run {
  UINT message;
  WPARAM wParam;
  int count;
};
constexpr Post_Run Ticks(int count, WPARAM timer = 1) { return {WM_TIMER, timer, count}; }
constexpr Post_Run REQUEST{WM_USER, 0, 1};

struct Timer_Case {
  const char *name;
  int timer_minutes;
  std::vector<Post_Run> posts;
  int last_entry;  // of five, in list order; -1: no change at all
};

const std::vector<Timer_Case> TIMER_CASES = {
    {"OneMinuteChangesOnEveryTick", 1, {Ticks(1)}, 0},
    {"OneMinuteThreeTicks", 1, {Ticks(3)}, 2},
    {"TwentyNineOfThirtyTicksChangeNothing", 30, {Ticks(29)}, -1},
    {"TheThirtiethTickChanges", 30, {Ticks(30)}, 0},
    {"FiftyNineTicksChangeOnce", 30, {Ticks(59)}, 0},
    {"SixtyTicksChangeTwice", 30, {Ticks(60)}, 1},
    {"OtherTimersAreNotCounted", 30, {Ticks(29), Ticks(3, 2), Ticks(2, 0), Ticks(1, 7)}, -1},
    {"OtherTimersInBetweenDoNotDisturbTheCount", 30, {Ticks(29), Ticks(3, 2), Ticks(1)}, 0},
    {"RequestRestartsTheCount", 30, {Ticks(10), REQUEST, Ticks(29)}, 0},
    {"NextTimedChangeComesFullTicksAfterRequest", 30, {Ticks(10), REQUEST, Ticks(30)}, 1},
};

// Cases go by their names in GoogleTest's messages.
void PrintTo(const Timer_Case &c, std::ostream *out) { *out << c.name; }

class Minute_Ticks : public Rotation, public ::testing::WithParamInterface<Timer_Case> {};

TEST_P(Minute_Ticks, CountedAgainstTimerMinutes) {
  const Timer_Case &c = GetParam();
  ASSERT_NO_FATAL_FAILURE(Start(5, c.timer_minutes, 0));
  for (const Post_Run &run : c.posts) {
    for (int i = 0; i < run.count; ++i) ASSERT_TRUE(Post(window_, run.message, run.wParam, 0));
  }
  ASSERT_NO_FATAL_FAILURE(Close_And_Expect_Status_0());
  EXPECT_EQ(Wallpaper_Setting(), c.last_entry < 0 ? NO_WALLPAPER : wallpapers_[c.last_entry]);
}

INSTANTIATE_TEST_SUITE_P(Cases, Minute_Ticks, ::testing::ValuesIn(TIMER_CASES),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(Rotation, ThirtiethTickChangesWhileRunning) {
  ASSERT_NO_FATAL_FAILURE(Start(3, 30, 0));
  for (int tick = 0; tick < 29; ++tick) ASSERT_TRUE(Post(window_, WM_TIMER, 1, 0));
  ASSERT_TRUE(Post(window_, WM_TIMER, 1, 0));
  EXPECT_EQ(Wait_For_Wallpaper_Change(NO_WALLPAPER), wallpapers_[0]);
  EXPECT_TRUE(Wait_For_Screen_Colour(Wallpaper_Colour(0)));
  EXPECT_TRUE(program_.Running());
}

TEST_F(Rotation, CloseEndsWithStatus0AndLeavesTheWallpaper) {
  ASSERT_NO_FATAL_FAILURE(Start(2, 30, 0));
  ASSERT_EQ(Request_Change(window_), wallpapers_[0]);
  ASSERT_NO_FATAL_FAILURE(Close_And_Expect_Status_0());
  EXPECT_EQ(FindWindowA(nullptr, TITLE), nullptr);
  EXPECT_EQ(Wallpaper_Setting(), wallpapers_[0]);
  EXPECT_TRUE(Wait_For_Screen_Colour(Wallpaper_Colour(0)));
}

}  // namespace
