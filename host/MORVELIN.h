// The Windows host: the program's entry, its hidden window and the message
// loop.
#pragma once

#include <windows.h>

// The window title, the caption of every message box, and the key by which
// other programs (and a second copy) find the running program.
constexpr const char PROGRAM_TITLE[] = "Quibrane";
constexpr const char WINDOW_CLASS_NAME[] = "WndClassName";

constexpr UINT_PTR MINUTE_TIMER_ID = 1;
constexpr UINT MINUTE_TIMER_PERIOD_MS = 60000;
constexpr int WINDOW_WIDTH = 640;
constexpr int WINDOW_HEIGHT = 480;

LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
