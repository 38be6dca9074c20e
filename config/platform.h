// The portable core's only way out to the system.
//
// The configuration reader and the rotation never include <windows.h>.
// They reach the user and the desktop through these few functions, which
// the Windows host defines with the real calls, and which the check tool
// and the tests define to print or to record.
#pragma once

// The two icons a message box of the program can carry (MB_ICONWARNING,
// MB_ICONERROR).
enum Message_Icon { MESSAGE_WARNING = 0x30, MESSAGE_ERROR = 0x10 };

// Shows text to the user and returns once the user has closed it.
void Show_Message(const char *text, Message_Icon icon);

// Installs the image at path as the desktop wallpaper, stores the choice in
// the user's profile and tells all applications.
void Set_Desktop_Wallpaper(const char *path);

// Invalidates, erases and repaints every window on the screen at once.
void Repaint_Whole_Screen();

// Sets the mouse cursor to the standard arrow.
void Set_Arrow_Cursor();
