// The program under load and when its inputs go bad after start-up: a flood
// of requests, list entries that are not images, a configuration file that
// changes or goes away, and what waiting costs.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "harness.h"

namespace {

using namespace harness;

// Processor time used by a process, in 100 ns units.
//
// Under Wine, GetProcessTimes on another process gives the caller's own
// times, so there the time is read from the process's Linux entry, found by
// its command line (which names the test's own configuration file) and the
// Wine prefix; Linux counts it in clock ticks of 10 ms.
bool Under_Wine() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

std::string Read_Linux_File(const std::string &path) {
  std::ifstream file("Z:" + path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The /proc entry of the Wine process whose command line holds marker.
std::string Linux_Process_Entry(const std::string &marker) {
  char prefix[MAX_PATH] = "";
  GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
  const std::string environment_entry = std::string("WINEPREFIX=") + prefix + '\0';
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return "";
  std::string entry;
  do {
    const std::string name = found.cFileName;
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string dir = "/proc/" + name;
    if (Read_Linux_File(dir + "/cmdline").find(marker) == std::string::npos) continue;
    if (Read_Linux_File(dir + "/environ").find(environment_entry) == std::string::npos) continue;
    entry = dir;
  } while (entry.empty() && FindNextFileA(search, &found));
  FindClose(search);
  return entry;
}

constexpr ULONGLONG NO_TIME = ~0ULL;

ULONGLONG Linux_Cpu_Time_100ns(const std::string &entry) {
  const std::string stat = Read_Linux_File(entry + "/stat");
  const std::size_t after_name = stat.rfind(')');
  if (after_name == std::string::npos) return NO_TIME;
  unsigned long long user = 0, kernel = 0;
  if (std::sscanf(stat.c_str() + after_name + 1,
                  " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &user,
                  &kernel) != 2)
    return NO_TIME;
  return (user + kernel) * (10000000 / 100);  // at USER_HZ, 100 ticks a second
}

ULONGLONG Windows_Cpu_Time_100ns(HANDLE process) {
  FILETIME created, ended, kernel, user;
  if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) return NO_TIME;
  const auto ticks = [](const FILETIME &t) {
    return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return ticks(kernel) + ticks(user);
}

class Load : public Morvelin_Test {
 protected:
  Process program_;
};

TEST_F(Load, TenThousandRequestsAreWorkedThroughInOrder) {
  constexpr int REQUESTS = 10000;
  const std::vector<std::string> wallpapers = Make_Wallpapers(7);
  ASSERT_NO_FATAL_FAILURE(Start_Running(program_, Make_Config(30, 0, wallpapers)));
  const HWND window = Program_Window(program_.Id());

  // A Windows thread's queue holds 10,000 posted messages; when it is full
  // PostMessage fails, and the request is posted again once there is room.
  int refused = 0;
  for (int i = 0; i < REQUESTS; ++i) {
    if (PostMessageA(window, WM_USER, 0, 0)) continue;
    ++refused;
    ASSERT_TRUE(Post(window, WM_USER)) << "request " << i << " could not be posted";
  }
  ASSERT_TRUE(Post(window, WM_CLOSE));
  RecordProperty("refused_posts", refused);

  DWORD status = 99;
  ASSERT_TRUE(program_.Wait_For_Exit(300000, &status));
  EXPECT_EQ(status, 0u);
  EXPECT_EQ(Wallpaper_Setting(), wallpapers[(REQUESTS - 1) % wallpapers.size()]);
  EXPECT_TRUE(Wait_For_Screen_Colour(Wallpaper_Colour((REQUESTS - 1) % wallpapers.size())));
}

TEST_F(Load, EntriesThatAreNoImagesAreSkippedQuietly) {
  const std::string not_an_image = Test_Path("notes.txt");
  ASSERT_TRUE(Write_File(not_an_image, "this is not a picture\r\n"));
  const std::string image = Make_Wallpapers(1)[0];
  const std::vector<std::string> entries = {Test_Path("missing.bmp"), test_dir_, not_an_image,
                                            image};
  ASSERT_NO_FATAL_FAILURE(Start_Running(program_, Make_Config(30, 0, entries)));
  const HWND window = Program_Window(program_.Id());

  for (int round = 0; round < 2; ++round) {
    for (const std::string &entry : entries) {
      SCOPED_TRACE(entry);
      ASSERT_EQ(Request_Change(window), entry);
      EXPECT_EQ(Find_Box(program_.Id()), nullptr);
      ASSERT_TRUE(program_.Running());
    }
    EXPECT_TRUE(Wait_For_Screen_Colour(Wallpaper_Colour(0)));
  }
}

TEST_F(Load, ConfigurationIsReadOnceAtStartUp) {
  const std::vector<std::string> wallpapers = Make_Wallpapers(4);
  const std::string config = Make_Config(30, 0, {wallpapers[0], wallpapers[1]});
  ASSERT_NO_FATAL_FAILURE(Start_Running(program_, config));
  const HWND window = Program_Window(program_.Id());

  Remove_File(config);
  ASSERT_FALSE(File_Exists(config));
  EXPECT_EQ(Request_Change(window), wallpapers[0]);

  ASSERT_TRUE(Write_File(config, Config_Text(1, 1, 1, {wallpapers[2], wallpapers[3]})));
  EXPECT_EQ(Request_Change(window), wallpapers[1]);
  EXPECT_EQ(Request_Change(window), wallpapers[0]);
  // Still thirty minutes: one tick changes nothing.
  Set_Wallpaper_Setting(NO_WALLPAPER);
  ASSERT_TRUE(Post(window, WM_TIMER, 1, 0));
  ASSERT_TRUE(Post(window, WM_CLOSE));
  DWORD status = 99;
  ASSERT_TRUE(program_.Wait_For_Exit(WAIT_MS, &status));
  EXPECT_EQ(status, 0u);
  EXPECT_EQ(Wallpaper_Setting(), NO_WALLPAPER);
  EXPECT_EQ(Find_Box(program_.Id()), nullptr);
}

TEST_F(Load, WaitingCostsNoProcessorTime) {
  const std::string config = Make_Config(30, 0, Make_Wallpapers(2));
  ASSERT_NO_FATAL_FAILURE(Start_Running(program_, config));
  std::string linux_entry;
  if (Under_Wine()) {
    linux_entry = Linux_Process_Entry(config);
    ASSERT_NE(linux_entry, "") << "the program's Linux process was not found";
  }
  const auto cpu_time = [&] {
    return linux_entry.empty() ? Windows_Cpu_Time_100ns(program_.Handle())
                               : Linux_Cpu_Time_100ns(linux_entry);
  };
  // The measure does see the program's time: starting up took some.
  ASSERT_GT(cpu_time(), 0u) << "no processor time shown for the program at all";
  // Once a sent message is answered, the program is in its message loop and
  // start-up is over.
  const HWND window = Program_Window(program_.Id());
  DWORD_PTR answer;
  ASSERT_NE(SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, WAIT_MS, &answer), 0);
  const ULONGLONG before = cpu_time();
  ASSERT_NE(before, NO_TIME);

  const ULONGLONG start = GetTickCount64();
  Poll_Until([] { return false; }, 5000);
  ASSERT_GE(GetTickCount64() - start, 5000u);
  const ULONGLONG used = cpu_time() - before;
  RecordProperty("idle_cpu_100ns", std::to_string(used));
  EXPECT_EQ(used, 0u) << "used " << used / 10 << " microseconds while waiting";
  EXPECT_TRUE(program_.Running());
}

}  // namespace
