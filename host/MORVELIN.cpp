// The Windows host. WinMain refuses a second copy, has the configuration
// read, creates a window that is never shown and runs the message loop;
// WndProc hands the minute ticks and change requests to the rotation.
#include "host/MORVELIN.h"

#include <cstdlib>
#include <ctime>

#include "config/config.h"
#include "config/platform.h"
#include "host/command_tail.h"
#include "rotation/rotation.h"

// The core's calls out to the system, done with the real Windows API.

void Show_Message(const char *text, Message_Icon icon) {
  MessageBoxA(nullptr, text, PROGRAM_TITLE, MB_OK | static_cast<UINT>(icon));
}

void Set_Desktop_Wallpaper(const char *path) {
  SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char *>(path),
                        SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE);
}

void Repaint_Whole_Screen() {
  RedrawWindow(nullptr, nullptr, nullptr,
               RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_ALLCHILDREN |
                   RDW_UPDATENOW | RDW_ERASENOW | RDW_FRAME);
}

void Set_Arrow_Cursor() { SetCursor(LoadCursorA(nullptr, IDC_ARROW)); }

LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      KillTimer(hwnd, MINUTE_TIMER_ID);
      PostQuitMessage(0);
      return 0;
    case WM_TIMER:
      if (wParam == MINUTE_TIMER_ID) Minute_Tick();
      break;
    case WM_USER:
      Change_Request();
      break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/,
                   LPSTR /*runtime's command tail*/, int /*cmdShow*/) {
  // The runtime's own command tail follows other rules for a quoted program
  // name, so the tail is taken from the whole command line.
  const char *lpszCmdLine = Command_Tail(GetCommandLineA());

  if (FindWindowA(nullptr, PROGRAM_TITLE) != nullptr) {
    Show_Message("Already one instance of this process running!", MESSAGE_ERROR);
    return 1;
  }
  if (!Read_Configuration(lpszCmdLine)) return 1;

  WNDCLASSA wndclass;
  wndclass.style = CS_HREDRAW | CS_VREDRAW;
  wndclass.lpfnWndProc = WndProc;
  wndclass.cbClsExtra = 0;
  wndclass.cbWndExtra = 0;
  wndclass.hInstance = hInstance;
  wndclass.hIcon = nullptr;
  wndclass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wndclass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
  wndclass.lpszMenuName = nullptr;
  wndclass.lpszClassName = WINDOW_CLASS_NAME;
  RegisterClassA(&wndclass);

  // Never shown: no ShowWindow, so no visible window and no taskbar button.
  HWND hwnd = CreateWindowExA(0, WINDOW_CLASS_NAME, PROGRAM_TITLE, WS_OVERLAPPEDWINDOW,
                              CW_USEDEFAULT, CW_USEDEFAULT, WINDOW_WIDTH, WINDOW_HEIGHT,
                              nullptr, nullptr, hInstance, nullptr);
  SetTimer(hwnd, MINUTE_TIMER_ID, MINUTE_TIMER_PERIOD_MS, nullptr);
  std::srand(static_cast<unsigned>(std::time(nullptr)));

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
