// The configuration reader.
//
// The file is not parsed by lines or sections: it is read by a fixed
// sequence of six formatted scans over one stream, and what a file means is
// whatever those scans make of it. The scans are done here rather than by the
// C library's fscanf, whose implementations disagree with each other and with
// the rules the file format is defined by (a NUL byte inside a token, a token
// longer than the buffer, numbers beyond 32 bits).
#include "config/config.h"

#include <cstdio>
#include <cstring>

#include "config/platform.h"

uint32_t TimerMinutes;
int32_t Random;
int32_t RefreshScreen;
std::array<std::array<char, WALLPAP_PATH_SIZE>, WALLPAP_SLOTS> wallpap_buffer;
int32_t wallpap_max_index;
char szBuf[SZBUF_SIZE];

namespace {

constexpr int END = -1;  // what a scan returns when the input ended first
constexpr int MAX_PATH_LENGTH = WALLPAP_PATH_SIZE - 1;
constexpr int MAX_WALLPAP_INDEX = WALLPAP_SLOTS - 1;

// The white space of the scanning rules: space, tab, newline, vertical tab,
// form feed, carriage return. Bytes from 0x80 up never are.
bool Is_Space(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// A byte that a token goes on over: neither white space nor NUL nor Ctrl-Z.
// Every byte above the space is one, so that test comes first.
bool Is_Token_Byte(unsigned char c) {
  return c > ' ' || (!Is_Space(c) && c != '\0' && c != 0x1A);
}

// The configuration file as the scans see it: the same text mode on every
// platform. Carriage returns are dropped wherever they stand, and a Ctrl-Z
// byte ends the input. Reads the file in blocks, so memory does not grow
// with the file.
class Config_Text {
 public:
  explicit Config_Text(std::FILE *file) : file_(file) {}
  Config_Text(const char *data, std::size_t size)
      : data_(reinterpret_cast<const unsigned char *>(data)), size_(size) {}

  // The next byte (0 to 255), left unread, or END.
  int peek() {
    while (has_bytes()) {
      const unsigned char c = data_[pos_];
      if (c == 0x0D) {
        ++pos_;
        continue;
      }
      if (c == 0x1A) {
        ended_ = true;
        return END;
      }
      return c;
    }
    return END;
  }

  void take() { ++pos_; }

  // Takes white space, up to the next other byte or the end of input. The
  // inner loop runs over the block itself: a file of blank lines costs one
  // comparison or two per byte.
  void skip_space() {
    while (has_bytes()) {
      const unsigned char *stop = data_ + pos_;
      const unsigned char *end = data_ + size_;
      while (stop != end && Is_Space(*stop)) ++stop;
      pos_ = stop - data_;
      if (stop != end) return;
    }
  }

  // Takes the run of token bytes from here up to the next white space, NUL
  // byte, Ctrl-Z or end of input, carriage returns dropped from it, and
  // copies as much of it as fits in room bytes to out. Returns the run's
  // whole length; copied tells how much of it is in out.
  std::size_t take_run(char *out, std::size_t room, std::size_t &copied) {
    std::size_t length = 0;
    copied = 0;
    while (has_bytes()) {
      const unsigned char *start = data_ + pos_;
      const unsigned char *stop = start;
      const unsigned char *end = data_ + size_;
      while (stop != end && Is_Token_Byte(*stop)) ++stop;
      const std::size_t run = stop - start;
      const std::size_t fits = run < room - copied ? run : room - copied;
      std::memcpy(out + copied, start, fits);
      copied += fits;
      length += run;
      pos_ += run;
      if (stop == end) continue;
      if (*stop != 0x0D) break;  // the byte that ends the run stays unread
      ++pos_;
    }
    return length;
  }

 private:
  // True while a byte is there to look at, reading the next block if need be.
  bool has_bytes() { return !ended_ && (pos_ < size_ || refill()); }

  bool refill() {
    if (file_ != nullptr) {
      size_ = std::fread(block_, 1, sizeof block_, file_);
      data_ = block_;
      pos_ = 0;
    }
    ended_ = size_ == pos_;  // a read error ends the input like the file's end
    return !ended_;
  }

  std::FILE *file_ = nullptr;
  const unsigned char *data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t pos_ = 0;
  bool ended_ = false;
  unsigned char block_[16384];
};

// Where a scan's conversion puts its value. %d goes to number; %s goes to
// token, of which at most token_size - 1 bytes are kept, while token_length
// counts the whole token as lstrlenA would see it.
struct Scan_Store {
  long long *number = nullptr;
  char *token = nullptr;
  std::size_t token_size = 0;
  std::size_t *token_length = nullptr;
};

// Far beyond any 32-bit value; the digits past it no longer matter.
constexpr long long NUMBER_CEILING = 1LL << 40;

// %d after its white-space skip, at a byte that is there: an optional sign
// and decimal digits. Returns 1 when a number was stored, 0 when no digit
// follows. A sign with nothing after it is a malformed number like a sign
// before a letter, not the end of the input: "Random=-" at the end of the
// file is a bad Random value.
int Scan_Number(Config_Text &text, long long *number) {
  int c = text.peek();
  const bool negative = c == '-';
  if (c == '-' || c == '+') {
    text.take();
    c = text.peek();
  }
  if (c < '0' || c > '9') return 0;
  long long value = 0;
  for (; c >= '0' && c <= '9'; c = text.peek()) {
    value = value * 10 + (c - '0');
    if (value > NUMBER_CEILING) value = NUMBER_CEILING;
    text.take();
  }
  *number = negative ? -value : value;
  return 1;
}

// %s after its white-space skip: the run up to the next white space, NUL
// byte or end of input. Its first byte is always taken, even a NUL, so the
// token is never empty; the byte that ends it stays unread.
void Scan_Token(Config_Text &text, const Scan_Store &store) {
  store.token[0] = static_cast<char>(text.peek());
  text.take();
  std::size_t copied = 0;
  const std::size_t count = 1 + text.take_run(store.token + 1, store.token_size - 2, copied);
  store.token[1 + copied] = '\0';
  *store.token_length = store.token[0] == '\0' ? 0 : count;
}

// One formatted scan by the format's own rules: white space in the format
// skips any run of white space, an ordinary character must equal the next
// input byte, %d and %s convert. Returns the number of values stored, or END
// when the input ended before anything was stored.
int Scan(Config_Text &text, const char *format, const Scan_Store &store = {}) {
  int stored = 0;
  const auto ended = [&] { return stored != 0 ? stored : END; };
  for (const char *f = format; *f != '\0'; ++f) {
    if (Is_Space(static_cast<unsigned char>(*f))) {
      text.skip_space();
    } else if (f[0] == '%' && (f[1] == 'd' || f[1] == 's')) {
      text.skip_space();
      if (text.peek() == END) return ended();
      if (*++f == 's') {
        Scan_Token(text, store);
      } else if (Scan_Number(text, store.number) == 0) {
        return stored;
      }
      ++stored;
    } else {
      const int c = text.peek();
      if (c == END) return ended();
      if (c != static_cast<unsigned char>(*f)) return stored;
      text.take();
    }
  }
  return stored;
}

// Scans one key and judges its value. Only a result of 0 fails the scan: at
// the end of input the setting keeps its start value 0, and the range test
// decides about that.
template <typename Setting>
bool Scan_Setting(Config_Text &text, const char *format, long long lowest,
                  long long highest, Setting &setting) {
  long long value = static_cast<long long>(setting);
  if (Scan(text, format, Scan_Store{&value}) == 0) return false;
  if (value < lowest || value > highest) return false;
  setting = static_cast<Setting>(value);
  return true;
}

bool Read_Settings(Config_Text &config_file) {
  Scan(config_file, "[Configuration]\n");
  if (!Scan_Setting(config_file, "TimerMinutes=%d\n", 1, 240, TimerMinutes)) {
    Show_Message("TimerMinutes out of range - Fatal error", MESSAGE_ERROR);
    return false;
  }
  if (!Scan_Setting(config_file, "Random=%d\n", 0, 1, Random)) {
    Show_Message("Random only defined as 0 or 1 - Fatal error", MESSAGE_ERROR);
    return false;
  }
  if (!Scan_Setting(config_file, "RefreshScreen=%d\n", 0, 1, RefreshScreen)) {
    Show_Message("RefreshScreen only defined as 0 or 1 - Fatal error", MESSAGE_ERROR);
    return false;
  }
  Scan(config_file, "\n[Wallpaper Files]\n");
  return true;
}

void Read_Wallpaper_List(Config_Text &config_file) {
  std::size_t length = 0;
  const Scan_Store token{nullptr, szBuf, sizeof szBuf, &length};
  wallpap_max_index = -1;
  while (Scan(config_file, "%s", token) != END) {
    if (length > MAX_PATH_LENGTH) {
      Show_Message("Wallpaper file entry too long in config file.Click OK to skip.",
                   MESSAGE_WARNING);
      continue;
    }
    if (length == 0) break;  // a NUL byte ends the list
    if (wallpap_max_index == MAX_WALLPAP_INDEX) {
      Show_Message("Wallpaper buffer full. Click OK to skip remaining files.",
                   MESSAGE_WARNING);
      break;
    }
    ++wallpap_max_index;
    std::memcpy(wallpap_buffer[wallpap_max_index].data(), szBuf, length + 1);
  }
}

bool Enough_Wallpapers() {
  if (wallpap_max_index == -1) {
    Show_Message("No wallpaper files read - Terminating", MESSAGE_ERROR);
    return false;
  }
  if (wallpap_max_index == 0) {
    Show_Message("Only 1 wallpaper file entry. Nothing sensful to do!", MESSAGE_ERROR);
    return false;
  }
  return true;
}

// Every setting starts at zero, as in a new process; the end-of-input rule
// depends on it, and so a second reading behaves as the first.
void Clear_Configuration() {
  TimerMinutes = 0;
  Random = 0;
  RefreshScreen = 0;
  wallpap_max_index = 0;
}

bool Read_Configuration_Text(Config_Text &config_file) {
  Clear_Configuration();
  if (!Read_Settings(config_file)) return false;
  Read_Wallpaper_List(config_file);
  return true;
}

// The open configuration file; closed when it goes out of scope.
class Config_File {
 public:
  explicit Config_File(const char *path) { open(path); }
  ~Config_File() { close(); }
  Config_File(const Config_File &) = delete;
  Config_File &operator=(const Config_File &) = delete;

  // Opens in binary mode: Config_Text does the text-mode filtering itself.
  // What cannot be read at all (a directory, where the system lets one be
  // opened) counts as not opened.
  void open(const char *path) {
    close();
    file_ = std::fopen(path, "rb");
    if (file_ == nullptr) return;
    const int first = std::fgetc(file_);
    if (first == EOF && std::ferror(file_)) {
      close();
    } else if (first != EOF) {
      std::ungetc(first, file_);
    }
  }

  void close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
  }

  std::FILE *get() const { return file_; }

 private:
  std::FILE *file_ = nullptr;
};

}  // namespace

bool Read_Configuration(const char *lpszCmdLine) {
  Config_File config_file(lpszCmdLine);
  if (config_file.get() == nullptr) {
    Show_Message("Config file not found - Trying default:", MESSAGE_WARNING);
    config_file.open(DEFAULT_CONFIG_PATH);
    if (config_file.get() == nullptr) {
      Show_Message("Default config file not found - Fatal error", MESSAGE_ERROR);
      return false;
    }
  }
  {
    Config_Text text(config_file.get());
    if (!Read_Configuration_Text(text)) return false;
  }
  config_file.close();
  return Enough_Wallpapers();
}

bool Read_Configuration_Buffer(const char *data, std::size_t size) {
  Config_Text text(data, size);
  return Read_Configuration_Text(text) && Enough_Wallpapers();
}
