// Feeds arbitrary bytes to the configuration reader and checks what it makes
// of them. Any broken invariant stops the run with a trap, so libFuzzer keeps
// the input.
//
// Two kinds of check:
// - invariants that hold for every input: the settings and the list are in
//   range once the reading succeeds, every message is one of the program's
//   own, a fatal error is the last message and only comes with failure;
// - for input the C library can read the same way (no NUL byte, no number of
//   ten or more digits, no token longer than 1023 bytes), the reader agrees
//   with the same six scans done by glibc's fscanf over the same bytes.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "config/config.h"
#include "config/platform.h"

namespace {

struct Message {
  std::string text;
  Message_Icon icon;
  bool operator==(const Message &other) const {
    return text == other.text && icon == other.icon;
  }
};

std::vector<Message> shown;

const char *const WARNINGS[] = {
    "Wallpaper file entry too long in config file.Click OK to skip.",
    "Wallpaper buffer full. Click OK to skip remaining files.",
};
const char *const ERRORS[] = {
    "TimerMinutes out of range - Fatal error",
    "Random only defined as 0 or 1 - Fatal error",
    "RefreshScreen only defined as 0 or 1 - Fatal error",
    "No wallpaper files read - Terminating",
    "Only 1 wallpaper file entry. Nothing sensful to do!",
};

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

bool Is_One_Of(const std::string &text, const char *const (&texts)[2]) {
  return text == texts[0] || text == texts[1];
}

bool Is_Error_Text(const std::string &text) {
  for (const char *error : ERRORS) {
    if (text == error) return true;
  }
  return false;
}

// Reading from memory never opens a file, so the two file messages cannot
// appear; each message carries the icon that belongs to its text.
void Check_Messages(bool accepted) {
  int errors = 0;
  int buffer_full = 0;
  for (const Message &m : shown) {
    if (m.icon == MESSAGE_ERROR) {
      Check(Is_Error_Text(m.text));
      ++errors;
    } else {
      Check(m.icon == MESSAGE_WARNING && Is_One_Of(m.text, WARNINGS));
      Check(errors == 0);  // nothing follows a fatal error
      if (m.text == WARNINGS[1]) ++buffer_full;
    }
  }
  Check(buffer_full <= 1);
  Check(accepted ? errors == 0 : errors == 1);
  if (!accepted) Check(shown.back().icon == MESSAGE_ERROR);
}

bool Is_Space_Byte(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void Check_Configuration() {
  Check(TimerMinutes >= 1 && TimerMinutes <= 240);
  Check(Random == 0 || Random == 1);
  Check(RefreshScreen == 0 || RefreshScreen == 1);
  Check(wallpap_max_index >= 1 && wallpap_max_index <= WALLPAP_SLOTS - 1);
  for (int i = 0; i <= wallpap_max_index; ++i) {
    const auto &slot = wallpap_buffer[i];
    const void *nul = std::memchr(slot.data(), '\0', slot.size());
    Check(nul != nullptr);
    const std::size_t length = static_cast<const char *>(nul) - slot.data();
    Check(length >= 1 && length <= WALLPAP_PATH_SIZE - 1);
    for (std::size_t j = 0; j < length; ++j) {
      Check(!Is_Space_Byte(static_cast<unsigned char>(slot[j])));
    }
  }
}

// The file as text mode shows it: carriage returns dropped, a Ctrl-Z ends it.
std::string As_Text(const uint8_t *data, std::size_t size) {
  std::string text;
  for (std::size_t i = 0; i < size && data[i] != 0x1A; ++i) {
    if (data[i] != 0x0D) text += static_cast<char>(data[i]);
  }
  return text;
}

// Where glibc's fscanf reads differently from the format's rules on purpose:
// it does not stop a token at a NUL byte, it cannot hold a token longer than
// its field width, and numbers past 32 bits have no defined value.
bool Glibc_Reads_It_Alike(const std::string &text) {
  if (text.empty() || text.find('\0') != std::string::npos) return false;
  std::size_t digits = 0;
  std::size_t token = 0;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    digits = std::isdigit(c) ? digits + 1 : 0;
    token = Is_Space_Byte(c) ? 0 : token + 1;
    if (digits >= 10 || token >= SZBUF_SIZE) return false;
  }
  return true;
}

struct Outcome {
  bool accepted = false;
  std::vector<Message> messages;
  int timer = 0, random = 0, refresh = 0;
  std::vector<std::string> paths;
};

Outcome Fatal(Outcome outcome, const char *text) {
  outcome.messages.push_back({text, MESSAGE_ERROR});
  return outcome;
}

// The reading done with the C library's own scans.
Outcome Read_With_Fscanf(std::FILE *file) {
  Outcome o;
  static char token[SZBUF_SIZE];
  std::fscanf(file, "[Configuration]\n");
  int r = std::fscanf(file, "TimerMinutes=%d\n", &o.timer);
  if (r == 0 || o.timer < 1 || o.timer > 240) return Fatal(o, ERRORS[0]);
  r = std::fscanf(file, "Random=%d\n", &o.random);
  if (r == 0 || (o.random != 0 && o.random != 1)) return Fatal(o, ERRORS[1]);
  r = std::fscanf(file, "RefreshScreen=%d\n", &o.refresh);
  if (r == 0 || (o.refresh != 0 && o.refresh != 1)) return Fatal(o, ERRORS[2]);
  std::fscanf(file, "\n[Wallpaper Files]\n");
  while (std::fscanf(file, "%1023s", token) != EOF) {
    if (std::strlen(token) > WALLPAP_PATH_SIZE - 1) {
      o.messages.push_back({WARNINGS[0], MESSAGE_WARNING});
      continue;
    }
    if (o.paths.size() == WALLPAP_SLOTS) {
      o.messages.push_back({WARNINGS[1], MESSAGE_WARNING});
      break;
    }
    o.paths.push_back(token);
  }
  if (o.paths.empty()) return Fatal(o, ERRORS[3]);
  if (o.paths.size() == 1) return Fatal(o, ERRORS[4]);
  o.accepted = true;
  return o;
}

void Check_Against_Fscanf(const uint8_t *data, std::size_t size, bool accepted) {
  std::string text = As_Text(data, size);
  if (!Glibc_Reads_It_Alike(text)) return;
  std::FILE *file = fmemopen(text.data(), text.size(), "r");
  if (file == nullptr) return;
  const Outcome expected = Read_With_Fscanf(file);
  std::fclose(file);
  Check(accepted == expected.accepted);
  Check(shown == expected.messages);
  if (!accepted) return;
  Check(static_cast<int>(TimerMinutes) == expected.timer);
  Check(Random == expected.random && RefreshScreen == expected.refresh);
  Check(static_cast<std::size_t>(wallpap_max_index) + 1 == expected.paths.size());
  for (std::size_t i = 0; i < expected.paths.size(); ++i) {
    Check(expected.paths[i] == wallpap_buffer[i].data());
  }
}

}  // namespace

void Show_Message(const char *text, Message_Icon icon) { shown.push_back({text, icon}); }
void Set_Desktop_Wallpaper(const char *) {}
void Repaint_Whole_Screen() {}
void Set_Arrow_Cursor() {}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
  shown.clear();
  const bool accepted =
      Read_Configuration_Buffer(reinterpret_cast<const char *>(data), size);
  Check_Messages(accepted);
  if (accepted) Check_Configuration();
  Check_Against_Fscanf(data, size, accepted);
  return 0;
}
