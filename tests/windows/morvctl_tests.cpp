// morvctl next / quit / status against the real program, and check as a
// person editing a configuration runs it.
#include <fstream>
#include <sstream>
#include <string>

#include "harness.h"

namespace {

using namespace harness;

struct Outcome {
  bool ended = false;
  DWORD status = 99;
  std::string out;
  std::string err;
};

HANDLE Inheritable_File(const std::string &path) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string Read_Whole(const std::string &path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

class Morvctl : public Morvelin_Test {
 protected:
  Outcome Run_Morvctl(const std::string &verb) {
    const std::string out_path = Test_Path("out.txt"), err_path = Test_Path("err.txt");
    HANDLE out = Inheritable_File(out_path), err = Inheritable_File(err_path);
    Outcome outcome;
    {
      Process morvctl;
      if (morvctl.Start(Morvctl_Exe(), "morvctl " + verb, out, err)) {
        outcome.ended = morvctl.Wait_For_Exit(WAIT_MS, &outcome.status);
      }
    }
    CloseHandle(out);
    CloseHandle(err);
    outcome.out = Read_Whole(out_path);
    outcome.err = Read_Whole(err_path);
    return outcome;
  }

  void Start_Program() {
    wallpapers_ = Make_Wallpapers(2);
    ASSERT_NO_FATAL_FAILURE(Start_Running(program_, Make_Config(30, 0, wallpapers_)));
  }

  Process program_;
  std::vector<std::string> wallpapers_;
};

// The first line of what was printed, without its line end.
std::string First_Line(const std::string &text) {
  return text.substr(0, text.find_first_of("\r\n"));
}

TEST_F(Morvctl, StatusSaysRunningThenNotRunning) {
  ASSERT_NO_FATAL_FAILURE(Start_Program());
  Outcome status = Run_Morvctl("status");
  ASSERT_TRUE(status.ended);
  EXPECT_EQ(status.status, 0u);
  EXPECT_EQ(First_Line(status.out), "running");

  ASSERT_TRUE(Post(Program_Window(program_.Id()), WM_CLOSE));
  DWORD exit_status = 99;
  ASSERT_TRUE(program_.Wait_For_Exit(WAIT_MS, &exit_status));
  status = Run_Morvctl("status");
  ASSERT_TRUE(status.ended);
  EXPECT_EQ(status.status, 1u);
  EXPECT_EQ(First_Line(status.out), "not running");
}

TEST_F(Morvctl, NextChangesTheWallpaper) {
  ASSERT_NO_FATAL_FAILURE(Start_Program());
  for (int expected : {0, 1}) {
    Set_Wallpaper_Setting(NO_WALLPAPER);
    const Outcome next = Run_Morvctl("next");
    ASSERT_TRUE(next.ended);
    EXPECT_EQ(next.status, 0u);
    EXPECT_EQ(next.err, "");
    EXPECT_EQ(Wait_For_Wallpaper_Change(NO_WALLPAPER), wallpapers_[expected]);
    EXPECT_TRUE(Wait_For_Screen_Colour(Wallpaper_Colour(expected)));
  }
}

TEST_F(Morvctl, QuitEndsTheProgramWithStatus0) {
  ASSERT_NO_FATAL_FAILURE(Start_Program());
  const Outcome quit = Run_Morvctl("quit");
  ASSERT_TRUE(quit.ended);
  EXPECT_EQ(quit.status, 0u);
  EXPECT_EQ(quit.out, "");
  EXPECT_EQ(quit.err, "");
  DWORD exit_status = 99;
  ASSERT_TRUE(program_.Wait_For_Exit(WAIT_MS, &exit_status));
  EXPECT_EQ(exit_status, 0u);
  EXPECT_EQ(FindWindowA(nullptr, TITLE), nullptr);
}

// A refused second copy shows a box captioned "Quibrane", which is a
// top-level window with the program's title as well; morvctl must still
// reach the program itself.
TEST_F(Morvctl, ReachesTheProgramWhileARefusedCopyShowsItsBox) {
  ASSERT_NO_FATAL_FAILURE(Start_Program());
  Process second;
  ASSERT_TRUE(Start_Morvelin(second, Make_Config(30, 0, wallpapers_)));
  ASSERT_TRUE(Poll_Until([&] { return Find_Box(second.Id()) != nullptr; }));

  Set_Wallpaper_Setting(NO_WALLPAPER);
  const Outcome next = Run_Morvctl("next");
  ASSERT_TRUE(next.ended);
  EXPECT_EQ(next.status, 0u);
  EXPECT_EQ(Wait_For_Wallpaper_Change(NO_WALLPAPER), wallpapers_[0]);

  const Outcome quit = Run_Morvctl("quit");
  ASSERT_TRUE(quit.ended);
  EXPECT_EQ(quit.status, 0u);
  DWORD exit_status = 99;
  EXPECT_TRUE(program_.Wait_For_Exit(WAIT_MS, &exit_status)) << "quit did not end the program";
  EXPECT_EQ(exit_status, 0u);
}

// The console's text mode ends each printed line with CR LF.
TEST_F(Morvctl, CheckPrintsWhatTheProgramMakesOfTheFile) {
  wallpapers_ = Make_Wallpapers(1);
  const std::string missing = Test_Path("missing.bmp");
  const Outcome outcome = Run_Morvctl("check " + Make_Config(30, 1, {wallpapers_[0], missing}));
  ASSERT_TRUE(outcome.ended);
  EXPECT_EQ(outcome.status, 0u);
  EXPECT_EQ(outcome.out, "TimerMinutes=30\r\nRandom=1\r\nRefreshScreen=0\r\n"
                         "wallpaper 0: " + wallpapers_[0] + "\r\n"
                         "wallpaper 1: " + missing + "\r\n"
                         "note: wallpaper 1 names no existing file; it is kept all the same\r\n");
  EXPECT_EQ(outcome.err, "");
}

TEST_F(Morvctl, CheckFallsBackToTheDefaultFileAsTheProgramDoes) {
  const std::string absent = Test_Path("absent.cfg");
  const Outcome without = Run_Morvctl("check " + absent);
  ASSERT_TRUE(without.ended);
  EXPECT_EQ(without.status, 1u);
  EXPECT_EQ(without.out,
            "warning: Config file not found - Trying default:\r\n"
            "error: Default config file not found - Fatal error\r\n");

  ASSERT_TRUE(Write_File(DEFAULT_CONFIG, Config_Text(5, 0, 0, {"C:\\a.bmp", "C:\\b.bmp"})));
  const Outcome with = Run_Morvctl("check " + absent);
  ASSERT_TRUE(with.ended);
  EXPECT_EQ(with.status, 0u);
  EXPECT_EQ(with.out.substr(0, with.out.find("wallpaper 0")),
            "warning: Config file not found - Trying default:\r\n"
            "TimerMinutes=5\r\nRandom=0\r\nRefreshScreen=0\r\n");
}

class Morvctl_Without_Program : public Morvctl,
                                public ::testing::WithParamInterface<const char *> {};

TEST_P(Morvctl_Without_Program, SaysNotRunningOnStderrAndFails) {
  const Outcome outcome = Run_Morvctl(GetParam());
  ASSERT_TRUE(outcome.ended);
  EXPECT_EQ(outcome.status, 1u);
  EXPECT_EQ(First_Line(outcome.err), "not running");
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(Wallpaper_Setting(), NO_WALLPAPER);
}

INSTANTIATE_TEST_SUITE_P(Verbs, Morvctl_Without_Program, ::testing::Values("next", "quit"),
                         [](const auto &info) { return std::string(info.param); });

}  // namespace
