#include "tests/native/recording_platform.h"

std::vector<Shown_Message> shown_messages;
std::vector<Desktop_Call> desktop_calls;

void Forget_Recorded_Calls() {
  shown_messages.clear();
  desktop_calls.clear();
}

void Show_Message(const char *text, Message_Icon icon) {
  shown_messages.push_back({text, icon});
}

void Set_Desktop_Wallpaper(const char *path) {
  desktop_calls.push_back(std::string("wallpaper ") + path);
}

void Repaint_Whole_Screen() { desktop_calls.push_back("repaint"); }

void Set_Arrow_Cursor() { desktop_calls.push_back("arrow"); }
