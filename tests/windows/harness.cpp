#include "harness.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstring>

namespace harness {

namespace {

std::string morvelin_exe;
std::string morvctl_exe;

std::string Class_Name(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string Window_Text(HWND window) {
  char text[1024] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

DWORD Owner_Process(HWND window) {
  DWORD process_id = 0;
  GetWindowThreadProcessId(window, &process_id);
  return process_id;
}

struct Window_Search {
  DWORD process_id;
  bool dialog;  // a message box, or the program's own window
  HWND found;
};

BOOL CALLBACK Match_Window(HWND window, LPARAM lParam) {
  auto *search = reinterpret_cast<Window_Search *>(lParam);
  if (Owner_Process(window) != search->process_id) return TRUE;
  const bool dialog = Class_Name(window) == "#32770";
  if (dialog != search->dialog) return TRUE;
  if (dialog && !IsWindowVisible(window)) return TRUE;
  if (!dialog && Window_Text(window) != TITLE) return TRUE;
  search->found = window;
  return FALSE;
}

HWND Find_Top_Level(DWORD process_id, bool dialog) {
  Window_Search search{process_id, dialog, nullptr};
  EnumWindows(Match_Window, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A 32-bit top-down DIB of w x h pixels selected into its own DC.
struct Pixels {
  Pixels(int width, int height) : width(width), height(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void **>(&bits),
                              nullptr, 0);
    previous = SelectObject(dc, bitmap);
  }
  ~Pixels() {
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  Pixels(const Pixels &) = delete;
  Pixels &operator=(const Pixels &) = delete;

  bool Same_As(const Pixels &other) const {
    GdiFlush();
    for (int i = 0; i < width * height; ++i) {
      if ((bits[i] & 0xFFFFFF) != (other.bits[i] & 0xFFFFFF)) return false;
    }
    return true;
  }

  int width, height;
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ previous;
  DWORD *bits = nullptr;
};

// The standard icon drawn as a message box draws it, over background.
void Draw_Standard_Icon(Pixels &canvas, LPCSTR which, COLORREF background) {
  HBRUSH brush = CreateSolidBrush(background);
  RECT all{0, 0, canvas.width, canvas.height};
  FillRect(canvas.dc, &all, brush);
  DeleteObject(brush);
  DrawIconEx(canvas.dc, 0, 0, LoadIconA(nullptr, which), 0, 0, 0, nullptr, DI_NORMAL);
}

// Which standard icon the box's icon control shows on the screen now.
Box_Icon Icon_On_Screen(HWND box) {
  HWND icon = GetDlgItem(box, 0x440);
  if (icon == nullptr || !IsWindowVisible(icon)) return Box_Icon::none;
  RECT rect;
  GetWindowRect(icon, &rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return Box_Icon::none;

  HDC screen = GetDC(nullptr);
  Pixels shown(width, height);
  BitBlt(shown.dc, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  const COLORREF corner = GetPixel(screen, rect.left, rect.top);
  ReleaseDC(nullptr, screen);

  Pixels expected(width, height);
  Draw_Standard_Icon(expected, IDI_WARNING, corner);
  if (shown.Same_As(expected)) return Box_Icon::warning;
  Draw_Standard_Icon(expected, IDI_ERROR, corner);
  if (shown.Same_As(expected)) return Box_Icon::error;
  return Box_Icon::none;
}

struct Buttons {
  std::vector<std::string> texts;
  std::vector<int> ids;
};

BOOL CALLBACK Collect_Button(HWND child, LPARAM lParam) {
  if (Class_Name(child) != "Button" || !IsWindowVisible(child)) return TRUE;
  auto *buttons = reinterpret_cast<Buttons *>(lParam);
  buttons->texts.push_back(Window_Text(child));
  buttons->ids.push_back(GetDlgCtrlID(child));
  return TRUE;
}

std::string To_Windows_Path(const std::string &path) {
  if (path.empty() || path[0] != '/') return path;
  std::string windows = "Z:" + path;
  for (char &c : windows) {
    if (c == '/') c = '\\';
  }
  return windows;
}

}  // namespace

void Set_Program_Paths(const std::string &morvelin, const std::string &morvctl) {
  morvelin_exe = To_Windows_Path(morvelin);
  morvctl_exe = To_Windows_Path(morvctl);
}

const std::string &Morvelin_Exe() { return morvelin_exe; }
const std::string &Morvctl_Exe() { return morvctl_exe; }

void Pump_Messages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

bool Process::Start(const std::string &application, const std::string &command_line,
                    HANDLE out, HANDLE err) {
  Kill();
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  const bool redirect = out != nullptr || err != nullptr;
  if (redirect) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
  }
  std::vector<char> line(command_line.begin(), command_line.end());
  line.push_back('\0');
  return CreateProcessA(application.c_str(), line.data(), nullptr, nullptr, redirect, 0,
                        nullptr, nullptr, &startup, &info_) != 0;
}

bool Process::Running() const {
  return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Process::Wait_For_Exit(DWORD timeout_ms, DWORD *status) {
  if (info_.hProcess == nullptr) return false;
  if (!Poll_Until([&] { return !Running(); }, timeout_ms)) return false;
  GetExitCodeProcess(info_.hProcess, status);
  return true;
}

void Process::Kill() {
  if (info_.hProcess == nullptr) return;
  if (Running()) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, WAIT_MS);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
  info_ = {};
}

bool Start_Morvelin(Process &process, const std::string &tail) {
  return process.Start(Morvelin_Exe(), "\"" + Morvelin_Exe() + "\" " + tail);
}

HWND Program_Window(DWORD process_id) { return Find_Top_Level(process_id, false); }

HWND Wait_For_Program_Window(const Process &process) {
  HWND window = nullptr;
  Poll_Until([&] { return (window = Program_Window(process.Id())) != nullptr; });
  return window;
}

int End_Stray_Programs() {
  int ended = 0;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more;
       more = Process32Next(snapshot, &entry)) {
    if (lstrcmpiA(entry.szExeFile, "morvelin.exe") != 0) continue;
    HANDLE stray = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
    if (stray == nullptr) continue;
    TerminateProcess(stray, 99);
    WaitForSingleObject(stray, WAIT_MS);
    CloseHandle(stray);
    ++ended;
  }
  CloseHandle(snapshot);
  return ended;
}

const char *Icon_Name(Box_Icon icon) {
  switch (icon) {
    case Box_Icon::warning: return "warning";
    case Box_Icon::error: return "error";
    case Box_Icon::none: break;
  }
  return "none";
}

HWND Find_Box(DWORD process_id) { return Find_Top_Level(process_id, true); }

Box Read_Box(HWND window) {
  Box box;
  // The box is read once it is fully painted; a box that never shows a
  // known icon is read as it is, with Box_Icon::none.
  Poll_Until([&] { return (box.icon = Icon_On_Screen(window)) != Box_Icon::none; }, 5000);
  box.caption = Window_Text(window);
  char text[1024] = "";
  GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
  box.text = text;
  Buttons buttons;
  EnumChildWindows(window, Collect_Button, reinterpret_cast<LPARAM>(&buttons));
  box.buttons = buttons.texts;
  box.ok_only = buttons.ids.size() == 1 && buttons.ids[0] == IDOK;
  box.owned = GetWindow(window, GW_OWNER) != nullptr;
  return box;
}

bool Press_OK(HWND box) {
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return Poll_Until([&] { return !IsWindow(box); });
}

Start_Up Answer_Boxes(Process &process, DWORD timeout_ms) {
  Start_Up run;
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  while (GetTickCount64() < deadline) {
    if (HWND box = Find_Box(process.Id())) {
      run.boxes.push_back(Read_Box(box));
      if (!Press_OK(box)) break;
      continue;
    }
    if (!process.Running()) {
      run.exited = process.Wait_For_Exit(0, &run.exit_status);
      break;
    }
    if ((run.window = Program_Window(process.Id())) != nullptr) break;
    Pump_Messages();
    Sleep(5);
  }
  return run;
}

namespace {
constexpr char DESKTOP_KEY[] = "Control Panel\\Desktop";
constexpr char WALLPAPER_VALUE[] = "Wallpaper";
}  // namespace

std::string Wallpaper_Setting() {
  char value[MAX_PATH + 1] = "";
  DWORD size = MAX_PATH;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, DESKTOP_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return "";
  if (RegQueryValueExA(key, WALLPAPER_VALUE, nullptr, nullptr, reinterpret_cast<BYTE *>(value),
                       &size) != ERROR_SUCCESS)
    value[0] = '\0';
  RegCloseKey(key);
  return value;
}

void Set_Wallpaper_Setting(const std::string &value) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, DESKTOP_KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExA(key, WALLPAPER_VALUE, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
}

std::string Wait_For_Wallpaper_Change(const std::string &previous, DWORD timeout_ms) {
  std::string now = previous;
  Poll_Until([&] { return (now = Wallpaper_Setting()) != previous; }, timeout_ms);
  return now;
}

COLORREF Screen_Centre_Colour() {
  HDC screen = GetDC(nullptr);
  const COLORREF colour =
      GetPixel(screen, GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
  ReleaseDC(nullptr, screen);
  return colour;
}

bool Wait_For_Screen_Colour(COLORREF colour, DWORD timeout_ms) {
  return Poll_Until([&] { return Screen_Centre_Colour() == colour; }, timeout_ms);
}

bool Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return Poll_Until([&] { return PostMessageA(window, message, wParam, lParam) != 0; });
}

void Make_Directory(const std::string &path) { CreateDirectoryA(path.c_str(), nullptr); }

bool Write_File(const std::string &path, const std::string &bytes) {
  std::FILE *file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

bool Write_Solid_Bmp(const std::string &path, COLORREF colour) {
  constexpr int SIDE = 64;  // 24-bit rows of 64 pixels need no padding
  BITMAPFILEHEADER file_header{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = SIDE;
  info.biHeight = SIDE;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  info.biSizeImage = SIDE * SIDE * 3;
  file_header.bfType = 0x4D42;  // "BM"
  file_header.bfOffBits = sizeof file_header + sizeof info;
  file_header.bfSize = file_header.bfOffBits + info.biSizeImage;

  std::string bytes(reinterpret_cast<const char *>(&file_header), sizeof file_header);
  bytes.append(reinterpret_cast<const char *>(&info), sizeof info);
  for (int i = 0; i < SIDE * SIDE; ++i) {
    bytes += static_cast<char>(GetBValue(colour));
    bytes += static_cast<char>(GetGValue(colour));
    bytes += static_cast<char>(GetRValue(colour));
  }
  return Write_File(path, bytes);
}

void Remove_File(const std::string &path) { DeleteFileA(path.c_str()); }

bool File_Exists(const std::string &path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Config_Text(int timer_minutes, int random, int refresh_screen,
                        const std::vector<std::string> &paths) {
  std::string text = "[Configuration]\r\nTimerMinutes=" + std::to_string(timer_minutes) +
                     "\r\nRandom=" + std::to_string(random) +
                     "\r\nRefreshScreen=" + std::to_string(refresh_screen) +
                     "\r\n\r\n[Wallpaper Files]\r\n";
  for (const std::string &path : paths) text += path + "\r\n";
  return text;
}

void Morvelin_Test::SetUp() {
  End_Stray_Programs();
  ASSERT_EQ(FindWindowA(nullptr, TITLE), nullptr) << "a window titled Quibrane is left over";
  Remove_File(DEFAULT_CONFIG);
  ASSERT_FALSE(File_Exists(DEFAULT_CONFIG));
  Set_Wallpaper_Setting(NO_WALLPAPER);

  const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(test->test_suite_name()) + "." + test->name();
  for (char &c : name) {
    if (c == '/') c = '-';
  }
  // Paths stay short: list entries are at most 63 characters.
  test_dir_ = std::string(TEST_DIR) + "\\" + std::to_string(std::hash<std::string>{}(name) % 100000);
  Make_Directory(TEST_DIR);
  Make_Directory(test_dir_);
}

void Morvelin_Test::TearDown() {
  End_Stray_Programs();
  Remove_File(DEFAULT_CONFIG);
}

std::string Morvelin_Test::Test_Path(const std::string &name) const {
  return test_dir_ + "\\" + name;
}

COLORREF Morvelin_Test::Wallpaper_Colour(int index) {
  // Distinct, saturated and far from the desktop's own colour.
  static const COLORREF colours[] = {RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(255, 255, 0),
                                     RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 128, 0),
                                     RGB(128, 0, 255), RGB(255, 255, 255)};
  constexpr int count = sizeof colours / sizeof colours[0];
  return colours[index % count];
}

std::vector<std::string> Morvelin_Test::Make_Wallpapers(int n) {
  std::vector<std::string> paths;
  for (int i = 0; i < n; ++i) {
    paths.push_back(Test_Path("w" + std::to_string(i) + ".bmp"));
    EXPECT_TRUE(Write_Solid_Bmp(paths.back(), Wallpaper_Colour(i)));
  }
  return paths;
}

std::string Morvelin_Test::Make_Config(int timer_minutes, int random,
                                       const std::vector<std::string> &paths,
                                       const std::string &name) {
  const std::string path = Test_Path(name);
  EXPECT_TRUE(Write_File(path, Config_Text(timer_minutes, random, 0, paths)));
  return path;
}

void Morvelin_Test::Start_Running(Process &process, const std::string &config_path) {
  ASSERT_TRUE(Start_Morvelin(process, config_path));
  const Start_Up run = Answer_Boxes(process);
  ASSERT_TRUE(run.boxes.empty()) << "first box: " << run.boxes[0].text;
  ASSERT_NE(run.window, nullptr) << "the program's window did not appear";
  ASSERT_EQ(FindWindowA(nullptr, TITLE), run.window);
}

std::string Morvelin_Test::Request_Change(HWND window) {
  Set_Wallpaper_Setting(NO_WALLPAPER);
  if (!Post(window, WM_USER)) return "(posting failed)";
  return Wait_For_Wallpaper_Change(NO_WALLPAPER);
}

}  // namespace harness
