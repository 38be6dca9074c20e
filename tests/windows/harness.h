// What the Windows suite needs to drive the real morvelin.exe as a user and
// other programs would: start it, answer its message boxes, read the
// wallpaper setting and the screen, post to its window. Every wait is a
// bounded poll.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace harness {

constexpr DWORD WAIT_MS = 15000;  // ample for a slow machine under Wine
constexpr char TITLE[] = "Quibrane";
constexpr char DEFAULT_CONFIG[] = "C:\\WINDOWS\\MORVELIN.CFG";
constexpr char TEST_DIR[] = "C:\\morvelin-tests";

// The programs under test, as Windows paths; set from the suite's arguments.
void Set_Program_Paths(const std::string &morvelin, const std::string &morvctl);
const std::string &Morvelin_Exe();
const std::string &Morvctl_Exe();

// Handles messages sent or posted to the suite's own thread, so that the
// program's broadcasts never wait on the suite.
void Pump_Messages();

// Calls condition until it is true or timeout_ms have passed, pumping
// messages between calls.
template <typename Condition>
bool Poll_Until(Condition condition, DWORD timeout_ms = WAIT_MS) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= deadline) return false;
    Pump_Messages();
    Sleep(5);
  }
}

// A process started by the suite. It is killed and waited for when the
// object goes, so that a failed assertion leaves nothing running.
class Process {
 public:
  Process() = default;
  ~Process() { Kill(); }
  Process(const Process &) = delete;
  Process &operator=(const Process &) = delete;

  // The command line is handed to the program exactly as given. Standard
  // output and error go to out and err when they are given.
  bool Start(const std::string &application, const std::string &command_line,
             HANDLE out = nullptr, HANDLE err = nullptr);
  DWORD Id() const { return info_.dwProcessId; }
  HANDLE Handle() const { return info_.hProcess; }
  bool Running() const;
  // True with the exit status once the process ended within timeout_ms.
  bool Wait_For_Exit(DWORD timeout_ms, DWORD *status);
  void Kill();

 private:
  PROCESS_INFORMATION info_{};
};

// Starts morvelin.exe with this command tail after the quoted program name.
bool Start_Morvelin(Process &process, const std::string &tail);

// The program's hidden window: top-level, titled "Quibrane", not a dialog,
// belonging to the process. Null when there is none.
HWND Program_Window(DWORD process_id);
HWND Wait_For_Program_Window(const Process &process);

// Ends every morvelin.exe left running in the prefix. Returns how many.
int End_Stray_Programs();

enum class Box_Icon { none, warning, error };
const char *Icon_Name(Box_Icon icon);

// A message box as the user sees it.
struct Box {
  std::string caption;
  std::string text;
  Box_Icon icon = Box_Icon::none;
  std::vector<std::string> buttons;  // visible buttons' texts
  bool ok_only = false;              // one visible button, IDOK
  bool owned = false;                // GetWindow(box, GW_OWNER) != null
};

// The visible message box (class #32770) of the process, or null.
HWND Find_Box(DWORD process_id);
// Reads the box once it is painted (its icon is on the screen).
Box Read_Box(HWND box);
// Presses OK and waits until the box is gone.
bool Press_OK(HWND box);

// What a program shows until it ends or its window appears: every box is
// read and answered with OK, in order.
struct Start_Up {
  std::vector<Box> boxes;
  bool exited = false;
  DWORD exit_status = 0;
  HWND window = nullptr;  // the program's window when it went on running
};
Start_Up Answer_Boxes(Process &process, DWORD timeout_ms = WAIT_MS);

// HKCU\Control Panel\Desktop\Wallpaper.
std::string Wallpaper_Setting();
void Set_Wallpaper_Setting(const std::string &value);
// Waits until the setting differs from previous; returns it.
std::string Wait_For_Wallpaper_Change(const std::string &previous, DWORD timeout_ms = WAIT_MS);

// The colour in the middle of the screen, where a centred, tiled or
// stretched wallpaper always shows.
COLORREF Screen_Centre_Colour();
bool Wait_For_Screen_Colour(COLORREF colour, DWORD timeout_ms = WAIT_MS);

// Posts, retrying for a while when the program's queue is full.
bool Post(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// Files in the prefix.
void Make_Directory(const std::string &path);
bool Write_File(const std::string &path, const std::string &bytes);
bool Write_Solid_Bmp(const std::string &path, COLORREF colour);
void Remove_File(const std::string &path);
bool File_Exists(const std::string &path);

// A configuration file's text in the form the program expects.
std::string Config_Text(int timer_minutes, int random, int refresh_screen,
                        const std::vector<std::string> &paths);

// Every test starts with no morvelin.exe running, no default configuration
// file and a wallpaper setting of its own, and leaves none of them behind.
class Morvelin_Test : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A file in the test's own folder under TEST_DIR.
  std::string Test_Path(const std::string &name) const;
  // Writes n solid-colour BMPs, each with its own colour; returns the paths.
  std::vector<std::string> Make_Wallpapers(int n);
  static COLORREF Wallpaper_Colour(int index);
  // Writes a configuration with these settings and paths; returns its path.
  std::string Make_Config(int timer_minutes, int random, const std::vector<std::string> &paths,
                          const std::string &name = "morvelin.cfg");

  // Starts the program with a configuration that reads cleanly and waits
  // for its window.
  void Start_Running(Process &process, const std::string &config_path);

  // Posts WM_USER and returns the wallpaper it installed (the setting is
  // reset to a marker first, so that even a repeat shows).
  std::string Request_Change(HWND window);

  std::string test_dir_;
};

constexpr char NO_WALLPAPER[] = "C:\\morvelin-tests\\no-change-yet.bmp";

}  // namespace harness
