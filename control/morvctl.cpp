// morvctl: checks a configuration file by hand, and controls the running
// program through its hidden window.
//
//   morvctl check FILE   read FILE as the program would and say what it makes of it
//   morvctl next         change the wallpaper now
//   morvctl quit         end the program
//   morvctl status       say whether the program runs
#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "config/config.h"
#include "config/platform.h"

#ifdef _WIN32
#include "host/MORVELIN.h"
#endif

namespace {

constexpr int GOES_ON = 0;
constexpr int STOPS = 1;
constexpr int USAGE_ERROR = 2;

const char USAGE[] =
    "usage: morvctl check FILE   read FILE as the program reads its command line\n"
    "       morvctl next         change the wallpaper now (Windows)\n"
    "       morvctl quit         end the running program (Windows)\n"
    "       morvctl status       say whether the program runs (Windows)\n";

bool Names_Existing_File(const char *path) {
  struct stat info;
  return stat(path, &info) == 0 && (info.st_mode & S_IFMT) == S_IFREG;
}

void Print_Configuration() {
  std::printf("TimerMinutes=%u\nRandom=%d\nRefreshScreen=%d\n",
              static_cast<unsigned>(TimerMinutes), static_cast<int>(Random),
              static_cast<int>(RefreshScreen));
  for (int i = 0; i <= wallpap_max_index; ++i) {
    std::printf("wallpaper %d: %s\n", i, wallpap_buffer[i].data());
  }
  for (int i = 0; i <= wallpap_max_index; ++i) {
    if (!Names_Existing_File(wallpap_buffer[i].data())) {
      std::printf("note: wallpaper %d names no existing file; it is kept all the same\n", i);
    }
  }
}

int Check(const char *path) {
  if (!Read_Configuration(path)) return STOPS;
  Print_Configuration();
  return GOES_ON;
}

#ifdef _WIN32

constexpr DWORD QUIT_WAIT_MS = 10000;
constexpr DWORD QUIT_POLL_MS = 50;

// The program's own hidden window. Its class is asked for too, so that
// neither one of its message boxes (captioned alike) nor some other window
// of that title takes the request.
HWND Find_Program() { return FindWindowA(WINDOW_CLASS_NAME, PROGRAM_TITLE); }

int Not_Running() {
  std::fputs("not running\n", stderr);
  return STOPS;
}

int Next() {
  HWND hwnd = Find_Program();
  if (hwnd == nullptr) return Not_Running();
  PostMessageA(hwnd, WM_USER, 0, 0);
  return GOES_ON;
}

int Quit() {
  HWND hwnd = Find_Program();
  if (hwnd == nullptr) return Not_Running();
  PostMessageA(hwnd, WM_CLOSE, 0, 0);
  for (DWORD waited = 0; waited < QUIT_WAIT_MS; waited += QUIT_POLL_MS) {
    if (!IsWindow(hwnd)) return GOES_ON;
    Sleep(QUIT_POLL_MS);
  }
  std::fputs("the program did not end within 10 seconds\n", stderr);
  return STOPS;
}

int Status() {
  const bool running = Find_Program() != nullptr;
  std::puts(running ? "running" : "not running");
  return running ? GOES_ON : STOPS;
}

#else

int Needs_Windows(const char *verb) {
  std::fprintf(stderr, "morvctl %s: talks to the running program, so it needs Windows\n",
               verb);
  return USAGE_ERROR;
}

int Next() { return Needs_Windows("next"); }
int Quit() { return Needs_Windows("quit"); }
int Status() { return Needs_Windows("status"); }

#endif

int Usage(std::FILE *out, int status) {
  std::fputs(USAGE, out);
  return status;
}

}  // namespace

// What the program would show in a box, printed in order instead.
void Show_Message(const char *text, Message_Icon icon) {
  std::printf("%s: %s\n", icon == MESSAGE_ERROR ? "error" : "warning", text);
}

int main(int argc, char **argv) {
  if (argc < 2) return Usage(stderr, USAGE_ERROR);
  const char *verb = argv[1];
  if (std::strcmp(verb, "--help") == 0 || std::strcmp(verb, "-h") == 0) {
    return Usage(stdout, GOES_ON);
  }
  if (std::strcmp(verb, "check") == 0) {
    if (argc != 3) return Usage(stderr, USAGE_ERROR);
    return Check(argv[2]);
  }
  if (argc != 2) return Usage(stderr, USAGE_ERROR);
  if (std::strcmp(verb, "next") == 0) return Next();
  if (std::strcmp(verb, "quit") == 0) return Quit();
  if (std::strcmp(verb, "status") == 0) return Status();
  return Usage(stderr, USAGE_ERROR);
}
