// The configuration: the three settings, the wallpaper list, and the reader
// that fills them from the configuration file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

constexpr int WALLPAP_SLOTS = 64;      // at most 64 paths
constexpr int WALLPAP_PATH_SIZE = 64;  // 63 characters and the NUL
constexpr int SZBUF_SIZE = 1024;       // one scanned list token and its NUL

constexpr const char DEFAULT_CONFIG_PATH[] = "C:\\WINDOWS\\MORVELIN.CFG";

extern uint32_t TimerMinutes;  // 1 to 240
extern int32_t Random;         // 0: list order, 1: random order
extern int32_t RefreshScreen;  // 1: repaint the whole screen after a change
extern std::array<std::array<char, WALLPAP_PATH_SIZE>, WALLPAP_SLOTS> wallpap_buffer;
extern int32_t wallpap_max_index;  // last filled slot; -1 while empty
extern char szBuf[SZBUF_SIZE];

// Reads the file named by lpszCmdLine, or the default file when that cannot
// be opened, into the settings and the list. Every problem is shown through
// Show_Message. Returns true when the configuration stands, false when the
// program must end with exit status 1.
bool Read_Configuration(const char *lpszCmdLine);

// The same reading over bytes in memory, as if they were the file's content.
bool Read_Configuration_Buffer(const char *data, std::size_t size);
