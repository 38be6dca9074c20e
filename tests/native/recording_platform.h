// The core's calls out to the system, recorded instead of carried out.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "config/platform.h"

struct Shown_Message {
  std::string text;
  Message_Icon icon;
  bool operator==(const Shown_Message &other) const {
    return text == other.text && icon == other.icon;
  }
};

inline void PrintTo(const Shown_Message &m, std::ostream *out) {
  *out << (m.icon == MESSAGE_ERROR ? "error: " : "warning: ") << m.text;
}

// One call of the desktop functions: "wallpaper PATH", "repaint" or "arrow".
using Desktop_Call = std::string;

extern std::vector<Shown_Message> shown_messages;
extern std::vector<Desktop_Call> desktop_calls;

void Forget_Recorded_Calls();
