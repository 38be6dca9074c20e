// The program's message boxes as the user meets them: text, caption, icon,
// the lone OK button, no owner; the order they come in and the exit status
// they lead to.
#include <ostream>
#include <string>
#include <vector>

#include "harness.h"

namespace {

using namespace harness;

struct Expected_Box {
  const char *text;
  Box_Icon icon;
};

const Expected_Box NOT_FOUND{"Config file not found - Trying default:", Box_Icon::warning};
const Expected_Box NO_DEFAULT{"Default config file not found - Fatal error", Box_Icon::error};
const Expected_Box TIMER_RANGE{"TimerMinutes out of range - Fatal error", Box_Icon::error};
const Expected_Box RANDOM_RANGE{"Random only defined as 0 or 1 - Fatal error", Box_Icon::error};
const Expected_Box REFRESH_RANGE{"RefreshScreen only defined as 0 or 1 - Fatal error",
                                 Box_Icon::error};
const Expected_Box TOO_LONG{"Wallpaper file entry too long in config file.Click OK to skip.",
                            Box_Icon::warning};
const Expected_Box BUFFER_FULL{"Wallpaper buffer full. Click OK to skip remaining files.",
                               Box_Icon::warning};
const Expected_Box NO_FILES{"No wallpaper files read - Terminating", Box_Icon::error};
const Expected_Box ONLY_ONE{"Only 1 wallpaper file entry. Nothing sensful to do!",
                            Box_Icon::error};
const Expected_Box ALREADY_RUNNING{"Already one instance of this process running!",
                                   Box_Icon::error};

// Every box the program shows is the same kind of box; only text and icon
// differ.
void Expect_Boxes(const std::vector<Box> &shown, const std::vector<Expected_Box> &expected) {
  ASSERT_EQ(shown.size(), expected.size()) << "first box shown: "
                                           << (shown.empty() ? "(none)" : shown[0].text);
  for (std::size_t i = 0; i < shown.size(); ++i) {
    SCOPED_TRACE("box " + std::to_string(i + 1) + ": " + shown[i].text);
    EXPECT_EQ(shown[i].text, expected[i].text);
    EXPECT_EQ(shown[i].caption, TITLE);
    EXPECT_STREQ(Icon_Name(shown[i].icon), Icon_Name(expected[i].icon));
    EXPECT_TRUE(shown[i].ok_only) << shown[i].buttons.size() << " visible buttons";
    EXPECT_FALSE(shown[i].owned);
  }
}

// The program goes on running (its window is up), then WM_CLOSE ends it with
// status 0.
void Expect_Runs_Then_Closes(Process &program, const Start_Up &run) {
  ASSERT_FALSE(run.exited) << "ended with status " << run.exit_status;
  ASSERT_NE(run.window, nullptr) << "neither ended nor made its window";
  ASSERT_TRUE(Post(run.window, WM_CLOSE));
  DWORD status = 99;
  ASSERT_TRUE(program.Wait_For_Exit(WAIT_MS, &status));
  EXPECT_EQ(status, 0u);
}

void Expect_Fatal(const Start_Up &run) {
  ASSERT_TRUE(run.exited) << "did not end";
  EXPECT_EQ(run.exit_status, 1u);
}

std::string Settings(const char *timer, const char *random, const char *refresh) {
  return std::string("[Configuration]\nTimerMinutes=") + timer + "\nRandom=" + random +
         "\nRefreshScreen=" + refresh + "\n\n[Wallpaper Files]\n";
}

std::string Paths(int n, const std::string &prefix = "C:\\w") {
  std::string list;
  for (int i = 0; i < n; ++i) list += prefix + std::to_string(i) + ".bmp\n";
  return list;
}

const std::string VALID = Settings("30", "0", "0");
const std::string PATH_64(64, 'x');

struct Config_Case {
  const char *name;
  std::string bytes;
  std::vector<Expected_Box> boxes;
  bool fatal;  // ends with status 1; otherwise goes on running
};

std::vector<Config_Case> Config_Cases() {
  return {
      {"TimerMinutesZero", Settings("0", "0", "0") + Paths(2), {TIMER_RANGE}, true},
      {"TimerMinutes241", Settings("241", "0", "0") + Paths(2), {TIMER_RANGE}, true},
      {"TimerMinutesNegative", Settings("-1", "0", "0") + Paths(2), {TIMER_RANGE}, true},
      {"SpaceBeforeEquals", "TimerMinutes =5\nRandom=0\nRefreshScreen=0\n" + Paths(2),
       {TIMER_RANGE}, true},
      {"RandomTwo", Settings("5", "2", "0") + Paths(2), {RANDOM_RANGE}, true},
      {"RefreshScreenTwo", Settings("5", "0", "2") + Paths(2), {REFRESH_RANGE}, true},
      {"RandomFollowedByLetter", Settings("5", "1x", "0") + Paths(2), {REFRESH_RANGE}, true},
      {"EndsAfterTimerMinutes", "[Configuration]\nTimerMinutes=5\n", {NO_FILES}, true},
      {"NoPaths", VALID, {NO_FILES}, true},
      {"OnePath", VALID + Paths(1), {ONLY_ONE}, true},
      {"TooLongThenOne", VALID + PATH_64 + "\n" + Paths(1), {TOO_LONG, ONLY_ONE}, true},
      {"TooLongTwiceThenTwo", VALID + PATH_64 + "\n" + PATH_64 + "\n" + Paths(2),
       {TOO_LONG, TOO_LONG}, false},
      {"SixtyFourPaths", VALID + Paths(64), {}, false},
      {"SixtyFivePaths", VALID + Paths(65), {BUFFER_FULL}, false},
      {"FullThenTooLongThenMore", VALID + Paths(64) + PATH_64 + "\n" + Paths(3, "C:\\v"),
       {TOO_LONG, BUFFER_FULL}, false},
      {"CrLfAndNoHeaders", "TimerMinutes=5\r\nRandom=1\r\nRefreshScreen=1\r\n" + Paths(2), {},
       false},
  };
}

// Cases go by their names in GoogleTest's messages.
void PrintTo(const Config_Case &c, std::ostream *out) { *out << c.name; }

class Config_Messages : public Morvelin_Test,
                        public ::testing::WithParamInterface<Config_Case> {};

TEST_P(Config_Messages, BoxesInOrderThenExitStatus) {
  const Config_Case &c = GetParam();
  const std::string config = Test_Path("case.cfg");
  ASSERT_TRUE(Write_File(config, c.bytes));
  Process program;
  ASSERT_TRUE(Start_Morvelin(program, config));
  const Start_Up run = Answer_Boxes(program);
  Expect_Boxes(run.boxes, c.boxes);
  if (c.fatal) {
    Expect_Fatal(run);
  } else {
    Expect_Runs_Then_Closes(program, run);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Config_Messages, ::testing::ValuesIn(Config_Cases()),
                         [](const auto &info) { return std::string(info.param.name); });

// The default file "C:\WINDOWS\MORVELIN.CFG": tried, with a warning first,
// whenever the named file cannot be opened.
using Default_Config = Morvelin_Test;

TEST_F(Default_Config, NoArgumentAndNoDefaultIsFatal) {
  Process program;
  ASSERT_TRUE(program.Start(Morvelin_Exe(), "\"" + Morvelin_Exe() + "\""));
  const Start_Up run = Answer_Boxes(program);
  Expect_Boxes(run.boxes, {NOT_FOUND, NO_DEFAULT});
  Expect_Fatal(run);
}

TEST_F(Default_Config, MissingFileAndNoDefaultIsFatal) {
  Process program;
  ASSERT_TRUE(Start_Morvelin(program, Test_Path("absent.cfg")));
  const Start_Up run = Answer_Boxes(program);
  Expect_Boxes(run.boxes, {NOT_FOUND, NO_DEFAULT});
  Expect_Fatal(run);
}

TEST_F(Default_Config, NoArgumentRunsFromTheDefaultFile) {
  const std::vector<std::string> wallpapers = Make_Wallpapers(2);
  ASSERT_TRUE(Write_File(DEFAULT_CONFIG, Config_Text(30, 0, 0, wallpapers)));
  Process program;
  ASSERT_TRUE(program.Start(Morvelin_Exe(), "\"" + Morvelin_Exe() + "\""));
  const Start_Up run = Answer_Boxes(program);
  Expect_Boxes(run.boxes, {NOT_FOUND});
  ASSERT_NE(run.window, nullptr);
  // The list it runs with is the default file's.
  EXPECT_EQ(Request_Change(run.window), wallpapers[0]);
  Expect_Runs_Then_Closes(program, run);
}

TEST_F(Default_Config, DirectoryAsConfigTriesTheDefault) {
  const std::vector<std::string> wallpapers = Make_Wallpapers(2);
  ASSERT_TRUE(Write_File(DEFAULT_CONFIG, Config_Text(30, 0, 0, wallpapers)));
  Process program;
  ASSERT_TRUE(Start_Morvelin(program, TEST_DIR));
  const Start_Up run = Answer_Boxes(program);
  Expect_Boxes(run.boxes, {NOT_FOUND});
  Expect_Runs_Then_Closes(program, run);
}

// How the command tail is cut from the command line. EXE and CFG stand for
// the program's and the configuration's paths.
struct Tail_Case {
  const char *name;
  const char *command_line;
  bool reads_cfg;  // otherwise CFG is not found and the default is tried
};

const Tail_Case TAIL_CASES[] = {
    {"QuotedNameThenPathDirectly", "\"EXE\"CFG", true},
    {"QuotedNameThenTab", "\"EXE\"\tCFG", true},
    {"PlainNameThenTabs", "EXE\t\tCFG", true},
    {"QuotedNameEndedByTab", "\"EXE\tCFG", true},
    {"BlanksBeforeName", " \t\"EXE\"  \t CFG", true},
    {"QuotedPathKeepsItsQuotes", "\"EXE\" \"CFG\"", false},
    {"SecondArgumentIsPartOfThePath", "\"EXE\" CFG extra", false},
};

std::string Replace(std::string text, const std::string &from, const std::string &to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// Cases go by their names in GoogleTest's messages.
void PrintTo(const Tail_Case &c, std::ostream *out) { *out << c.name; }

class Command_Tail : public Morvelin_Test, public ::testing::WithParamInterface<Tail_Case> {};

TEST_P(Command_Tail, PathIsTheRestOfTheLine) {
  const std::vector<std::string> wallpapers = Make_Wallpapers(2);
  const std::string config = Make_Config(30, 0, wallpapers);
  const std::string line =
      Replace(Replace(GetParam().command_line, "EXE", Morvelin_Exe()), "CFG", config);
  Process program;
  ASSERT_TRUE(program.Start(Morvelin_Exe(), line));
  const Start_Up run = Answer_Boxes(program);
  if (GetParam().reads_cfg) {
    Expect_Boxes(run.boxes, {});
    ASSERT_NE(run.window, nullptr);
    EXPECT_EQ(Request_Change(run.window), wallpapers[0]);
    Expect_Runs_Then_Closes(program, run);
  } else {
    Expect_Boxes(run.boxes, {NOT_FOUND, NO_DEFAULT});
    Expect_Fatal(run);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Command_Tail, ::testing::ValuesIn(TAIL_CASES),
                         [](const auto &info) { return std::string(info.param.name); });

// Only one copy runs; the title "Quibrane" is the key.
using Single_Instance = Morvelin_Test;

TEST_F(Single_Instance, SecondCopyIsRefusedBeforeReadingItsConfig) {
  const std::vector<std::string> wallpapers = Make_Wallpapers(2);
  Process first;
  ASSERT_NO_FATAL_FAILURE(Start_Running(first, Make_Config(30, 0, wallpapers)));
  const HWND window = Program_Window(first.Id());

  // A good configuration and a missing one: either way only the one box.
  for (const std::string &config : {Make_Config(30, 0, wallpapers), Test_Path("absent.cfg")}) {
    SCOPED_TRACE(config);
    Process second;
    ASSERT_TRUE(Start_Morvelin(second, config));
    const Start_Up run = Answer_Boxes(second);
    Expect_Boxes(run.boxes, {ALREADY_RUNNING});
    Expect_Fatal(run);
  }

  ASSERT_TRUE(first.Running());
  EXPECT_EQ(FindWindowA(nullptr, TITLE), window);
  EXPECT_EQ(Request_Change(window), wallpapers[0]);
}

LRESULT CALLBACK Plain_Window_Procedure(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(Single_Instance, AnyWindowWithTheTitleInAnyCaseStopsIt) {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = Plain_Window_Procedure;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = "UnrelatedWindow";
  RegisterClassA(&window_class);
  HWND unrelated = CreateWindowExA(0, "UnrelatedWindow", "quibrane", WS_OVERLAPPEDWINDOW, 0, 0,
                                   100, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(unrelated, nullptr);
  const std::string config = Make_Config(30, 0, Make_Wallpapers(2));
  {
    Process program;
    ASSERT_TRUE(Start_Morvelin(program, config));
    const Start_Up run = Answer_Boxes(program);
    DestroyWindow(unrelated);
    Expect_Boxes(run.boxes, {ALREADY_RUNNING});
    Expect_Fatal(run);
  }
  // Without that window the same start succeeds.
  Process program;
  ASSERT_NO_FATAL_FAILURE(Start_Running(program, config));
}

}  // namespace
