// morvctl run as a person runs it: arguments in; standard output, standard
// error and exit status out.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Run_Result {
  int status;
  std::string out;
  std::string err;
};

std::string Quoted(const std::string &argument) {
  std::string quoted = "'";
  for (char c : argument) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string Read_File(const fs::path &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs morvctl in folder with the arguments given.
Run_Result Run_Morvctl(const std::vector<std::string> &arguments, const fs::path &folder) {
  const fs::path err_path = folder / "stderr.txt";
  std::string command = "cd " + Quoted(folder.string()) + " && " + Quoted(MORVCTL_PATH);
  for (const std::string &argument : arguments) command += " " + Quoted(argument);
  command += " 2>" + Quoted(err_path.string());
  Run_Result result{-1, "", ""};
  FILE *pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char block[4096];
  for (std::size_t n; (n = std::fread(block, 1, sizeof block, pipe)) > 0;) {
    result.out.append(block, n);
  }
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.err = Read_File(err_path);
  return result;
}

const std::string FIXTURES = FIXTURES_DIR;

class Morvctl : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("morvctl-" + std::to_string(getpid()));
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  Run_Result Run(const std::vector<std::string> &arguments) {
    return Run_Morvctl(arguments, folder_);
  }
  fs::path folder_;
};

TEST_F(Morvctl, CheckPrintsTheSettingsAndEveryEntry) {
  const Run_Result r = Run({"check", FIXTURES + "/good.cfg"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "TimerMinutes=30\nRandom=1\nRefreshScreen=0\n"
            "wallpaper 0: C:\\WINDOWS\\FIRST.BMP\n"
            "wallpaper 1: C:\\WINDOWS\\SECOND.BMP\n"
            "note: wallpaper 0 names no existing file; it is kept all the same\n"
            "note: wallpaper 1 names no existing file; it is kept all the same\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(Morvctl, CheckPrintsWarningsInOrderAndGoesOn) {
  const Run_Result r = Run({"check", FIXTURES + "/too-long.cfg"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.substr(0, r.out.find("note:")),
            "warning: Wallpaper file entry too long in config file.Click OK to skip.\n"
            "TimerMinutes=10\nRandom=0\nRefreshScreen=1\n"
            "wallpaper 0: a.bmp\nwallpaper 1: b.bmp\n");
}

TEST_F(Morvctl, CheckStopsWithTheErrorAndNothingMore) {
  const Run_Result r = Run({"check", FIXTURES + "/bad-timer.cfg"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "error: TimerMinutes out of range - Fatal error\n");
}

TEST_F(Morvctl, CheckFallsBackToTheDefaultFile) {
  const Run_Result without = Run({"check", "missing.cfg"});
  EXPECT_EQ(without.status, 1);
  EXPECT_EQ(without.out,
            "warning: Config file not found - Trying default:\n"
            "error: Default config file not found - Fatal error\n");

  // Here the default path is a plain file name in the current folder.
  fs::copy_file(FIXTURES + "/good.cfg", folder_ / "C:\\WINDOWS\\MORVELIN.CFG");
  const Run_Result with = Run({"check", "missing.cfg"});
  EXPECT_EQ(with.status, 0);
  EXPECT_EQ(with.out.substr(0, with.out.find("wallpaper 0")),
            "warning: Config file not found - Trying default:\n"
            "TimerMinutes=30\nRandom=1\nRefreshScreen=0\n");
}

TEST_F(Morvctl, CheckNotesOnlyEntriesThatNameNoFile) {
  const fs::path image = folder_ / "present.bmp";
  std::ofstream(image) << "BM";
  std::ofstream(folder_ / "mixed.cfg")
      << "TimerMinutes=5\nRandom=0\nRefreshScreen=0\n" << image.string() << "\nabsent.bmp\n";
  const Run_Result r = Run({"check", "mixed.cfg"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.substr(r.out.find("note:")),
            "note: wallpaper 1 names no existing file; it is kept all the same\n");
}

struct Usage_Case {
  std::vector<std::string> arguments;
  int status;
  bool usage_on_stdout;
};

void PrintTo(const Usage_Case &c, std::ostream *out) {
  *out << "morvctl";
  for (const std::string &argument : c.arguments) *out << " " << argument;
}

class Morvctl_Usage : public Morvctl, public ::testing::WithParamInterface<Usage_Case> {};

TEST_P(Morvctl_Usage, PrintsUsage) {
  const Run_Result r = Run(GetParam().arguments);
  EXPECT_EQ(r.status, GetParam().status);
  const std::string &usage = GetParam().usage_on_stdout ? r.out : r.err;
  EXPECT_NE(usage.find("usage: morvctl check FILE"), std::string::npos) << usage;
}

INSTANTIATE_TEST_SUITE_P(Cases, Morvctl_Usage,
                         ::testing::Values(Usage_Case{{"--help"}, 0, true},
                                           Usage_Case{{}, 2, false},
                                           Usage_Case{{"check"}, 2, false},
                                           Usage_Case{{"check", "a", "b"}, 2, false},
                                           Usage_Case{{"rotate"}, 2, false},
                                           Usage_Case{{"next", "now"}, 2, false}));

TEST_F(Morvctl, ControlVerbsSayTheyNeedWindows) {
  for (const char *verb : {"next", "quit", "status"}) {
    SCOPED_TRACE(verb);
    const Run_Result r = Run({verb});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("needs Windows"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

}  // namespace
