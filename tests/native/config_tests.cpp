// The configuration reader: file bytes in; messages, verdict, settings and
// stored paths out. Every case is read twice, from memory and from a real
// file, since the program reads files in blocks.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "config/config.h"
#include "tests/native/recording_platform.h"

namespace {

const Shown_Message NOT_FOUND{"Config file not found - Trying default:", MESSAGE_WARNING};
const Shown_Message NO_DEFAULT{"Default config file not found - Fatal error", MESSAGE_ERROR};
const Shown_Message BAD_TIMER{"TimerMinutes out of range - Fatal error", MESSAGE_ERROR};
const Shown_Message BAD_RANDOM{"Random only defined as 0 or 1 - Fatal error", MESSAGE_ERROR};
const Shown_Message BAD_REFRESH{"RefreshScreen only defined as 0 or 1 - Fatal error",
                                MESSAGE_ERROR};
const Shown_Message TOO_LONG{"Wallpaper file entry too long in config file.Click OK to skip.",
                             MESSAGE_WARNING};
const Shown_Message FULL{"Wallpaper buffer full. Click OK to skip remaining files.",
                         MESSAGE_WARNING};
const Shown_Message NO_FILES{"No wallpaper files read - Terminating", MESSAGE_ERROR};
const Shown_Message ONLY_ONE{"Only 1 wallpaper file entry. Nothing sensful to do!",
                             MESSAGE_ERROR};

using Bytes = std::string;
using Paths = std::vector<std::string>;

Bytes Settings(const std::string &timer = "30", const std::string &random = "0",
               const std::string &refresh = "0") {
  return "[Configuration]\nTimerMinutes=" + timer + "\nRandom=" + random +
         "\nRefreshScreen=" + refresh + "\n\n[Wallpaper Files]\n";
}

const Bytes TWO_PATHS = "C:\\WINDOWS\\FIRST.BMP\nC:\\WINDOWS\\SECOND.BMP\n";
const Paths FIRST_SECOND = {"C:\\WINDOWS\\FIRST.BMP", "C:\\WINDOWS\\SECOND.BMP"};

// Paths p0, p1, ... one a line.
Bytes Numbered_Paths(int count, int from = 0) {
  Bytes list;
  for (int i = from; i < from + count; ++i) list += "p" + std::to_string(i) + "\n";
  return list;
}

Paths Numbered(int count) {
  Paths paths;
  for (int i = 0; i < count; ++i) paths.push_back("p" + std::to_string(i));
  return paths;
}

struct Reading_Case {  // printed by its name only: the bytes can be megabytes
  const char *name;
  Bytes file;
  std::vector<Shown_Message> messages;
  bool stands;
  Paths paths;                 // when it stands
  uint32_t timer_minutes = 30;  // when it stands
  int32_t random = 0;
  int32_t refresh_screen = 0;
};

Reading_Case Stands(const char *name, Bytes file, Paths paths,
                    std::vector<Shown_Message> messages = {}) {
  return {name, std::move(file), std::move(messages), true, std::move(paths)};
}

Reading_Case Stands_With(const char *name, Bytes file, uint32_t timer, int32_t random,
                         int32_t refresh) {
  return {name, std::move(file), {}, true, FIRST_SECOND, timer, random, refresh};
}

Reading_Case Stops(const char *name, Bytes file, std::vector<Shown_Message> messages) {
  return {name, std::move(file), std::move(messages), false, {}};
}

const std::string PATH_63(63, 'x');
const std::string PATH_64(64, 'y');

const Reading_Case READING_CASES[] = {
    // Settings and their limits.
    Stands_With("typical", Settings("30", "1", "0") + TWO_PATHS, 30, 1, 0),
    Stands_With("timer_1", Settings("1") + TWO_PATHS, 1, 0, 0),
    Stands_With("timer_240", Settings("240") + TWO_PATHS, 240, 0, 0),
    Stops("timer_0", Settings("0") + TWO_PATHS, {BAD_TIMER}),
    Stops("timer_241", Settings("241") + TWO_PATHS, {BAD_TIMER}),
    Stops("timer_minus_1", Settings("-1") + TWO_PATHS, {BAD_TIMER}),
    Stops("timer_wraps_to_1_in_32_bits", Settings("4294967297") + TWO_PATHS, {BAD_TIMER}),
    Stops("timer_far_too_large", Settings("99999999999999999999999999") + TWO_PATHS,
          {BAD_TIMER}),
    Stands_With("timer_plus_sign", Settings("+5") + TWO_PATHS, 5, 0, 0),
    Stands_With("timer_leading_zeros", Settings("00000000000000000000030") + TWO_PATHS, 30,
                0, 0),
    Stops("timer_not_a_number", Settings("x") + TWO_PATHS, {BAD_TIMER}),
    Stops("timer_sign_alone", Settings("-") + TWO_PATHS, {BAD_TIMER}),
    Stops("random_2", Settings("30", "2") + TWO_PATHS, {BAD_RANDOM}),
    Stops("random_minus_1", Settings("30", "-1") + TWO_PATHS, {BAD_RANDOM}),
    Stops("random_wraps_to_1_in_32_bits", Settings("30", "4294967297") + TWO_PATHS,
          {BAD_RANDOM}),
    Stops("refresh_2", Settings("30", "0", "2") + TWO_PATHS, {BAD_REFRESH}),
    Stands_With("refresh_1", Settings("30", "0", "1") + TWO_PATHS, 30, 0, 1),
    // The scan of Random stops at the letter, where RefreshScreen must start.
    Stops("random_1_then_letter", Settings("30", "1x") + TWO_PATHS, {BAD_REFRESH}),

    // Key spelling and the spaces around '='.
    Stops("space_before_equals",
          "TimerMinutes =30\nRandom=0\nRefreshScreen=0\n" + TWO_PATHS, {BAD_TIMER}),
    Stands_With("space_after_equals",
                "TimerMinutes= 30\nRandom=\t1\nRefreshScreen=  1\n" + TWO_PATHS, 30, 1, 1),
    Stops("key_in_lower_case", "timerminutes=30\nRandom=0\nRefreshScreen=0\n" + TWO_PATHS,
          {BAD_TIMER}),
    Stops("random_key_misspelt", "TimerMinutes=30\nrandom=0\nRefreshScreen=0\n" + TWO_PATHS,
          {BAD_RANDOM}),
    Stands_With("indented_keys_and_blank_lines",
                "[Configuration]\n\n\n  TimerMinutes=7\n\n\t Random=1\n\n\n   RefreshScreen=1\n"
                "\n\n\n[Wallpaper Files]\n" + TWO_PATHS,
                7, 1, 1),
    Stands_With("keys_on_one_line", "TimerMinutes=9 Random=0 RefreshScreen=1 " + TWO_PATHS,
                9, 0, 1),

    // The headers.
    Stands_With("no_first_header",
                "TimerMinutes=30\nRandom=0\nRefreshScreen=0\n[Wallpaper Files]\n" + TWO_PATHS,
                30, 0, 0),
    Stops("wrong_first_header",
          "[Config]\nTimerMinutes=30\nRandom=0\nRefreshScreen=0\n" + TWO_PATHS, {BAD_TIMER}),
    Stops("blank_line_at_start", "\n" + Settings() + TWO_PATHS, {BAD_TIMER}),
    Stops("space_at_start", " " + Settings() + TWO_PATHS, {BAD_TIMER}),
    Stands("no_list_header", "TimerMinutes=30\nRandom=0\nRefreshScreen=0\n" + TWO_PATHS,
           FIRST_SECOND),
    Stands("list_header_without_space",
           "TimerMinutes=30\nRandom=0\nRefreshScreen=0\n[WallpaperFiles]\n" + TWO_PATHS,
           FIRST_SECOND),
    Stands("list_header_over_two_lines",
           "TimerMinutes=30\nRandom=0\nRefreshScreen=0\n[Wallpaper\n  Files]\n" + TWO_PATHS,
           FIRST_SECOND),
    // A differing list header is read as list tokens from the first difference.
    Stands("list_header_differs",
           "TimerMinutes=30\nRandom=0\nRefreshScreen=0\n[Wallpaper Images]\na.bmp\n",
           {"Images]", "a.bmp"}),

    // The input ending after each key.
    Stops("empty_file", "", {BAD_TIMER}),
    Stops("ends_after_first_header", "[Configuration]\n", {BAD_TIMER}),
    Stops("ends_inside_timer_key", "[Configuration]\nTimerMin", {BAD_TIMER}),
    Stops("ends_before_timer_number", "[Configuration]\nTimerMinutes=", {BAD_TIMER}),
    Stops("ends_after_timer", "[Configuration]\nTimerMinutes=30\n", {NO_FILES}),
    Stops("ends_inside_random_key", "TimerMinutes=30\nRand", {NO_FILES}),
    Stops("ends_before_random_number", "TimerMinutes=30\nRandom=", {NO_FILES}),
    Stops("ends_after_random_sign", "TimerMinutes=30\nRandom=-", {BAD_RANDOM}),
    Stops("ends_after_timer_sign", "TimerMinutes=+", {BAD_TIMER}),
    Stops("ends_after_random", "TimerMinutes=30\nRandom=1\n", {NO_FILES}),
    Stops("ends_after_refresh", "TimerMinutes=30\nRandom=1\nRefreshScreen=1", {NO_FILES}),
    Stops("ends_after_list_header", Settings(), {NO_FILES}),

    // List entries are white-space separated tokens.
    Stops("one_path", Settings() + "C:\\ONLY.BMP\n", {ONLY_ONE}),
    Stands("path_with_space", Settings() + "C:\\My Pictures\\a.bmp\nb.bmp\n",
           {"C:\\My", "Pictures\\a.bmp", "b.bmp"}),
    Stands("several_on_a_line", Settings() + "a.bmp b.bmp\tc.bmp\vd.bmp\fe.bmp",
           {"a.bmp", "b.bmp", "c.bmp", "d.bmp", "e.bmp"}),
    Stands("bytes_above_127_are_path_characters",
           Settings() + "C:\\\xE9t\xE9.bmp \xFF\xA0\x80\n",
           {"C:\\\xE9t\xE9.bmp", "\xFF\xA0\x80"}),
    Stands("path_of_63_characters", Settings() + PATH_63 + "\nb\n", {PATH_63, "b"}),
    Stands("path_of_64_characters_is_skipped", Settings() + "a\n" + PATH_64 + "\nb\n",
           {"a", "b"}, {TOO_LONG}),
    Stands("token_of_1023_characters", Settings() + std::string(1023, 'z') + " a b",
           {"a", "b"}, {TOO_LONG}),
    Stands("token_of_1024_characters", Settings() + std::string(1024, 'z') + " a b",
           {"a", "b"}, {TOO_LONG}),
    Stands("token_far_longer_than_the_buffer",
           Settings() + "a " + std::string(100000, 'z') + " b " + std::string(3000, 'w') +
               PATH_63,
           {"a", "b"}, {TOO_LONG, TOO_LONG}),
    Stops("only_too_long_paths", Settings() + PATH_64 + " " + PATH_64, {TOO_LONG, TOO_LONG, NO_FILES}),

    // A full list.
    Stands("64_paths", Settings() + Numbered_Paths(64), Numbered(64)),
    Stands("65_paths", Settings() + Numbered_Paths(65), Numbered(64), {FULL}),
    Stands("100_paths_one_warning", Settings() + Numbered_Paths(100), Numbered(64), {FULL}),
    Stands("too_long_after_a_full_list",
           Settings() + Numbered_Paths(64) + PATH_64 + "\n" + std::string(5000, 'q') +
               "\nlast.bmp\nnever.bmp\n",
           Numbered(64), {TOO_LONG, TOO_LONG, FULL}),

    // Text mode: CR dropped everywhere, Ctrl-Z ends the input.
    Stands_With("crlf_line_ends",
                "[Configuration]\r\nTimerMinutes=12\r\nRandom=1\r\nRefreshScreen=1\r\n\r\n"
                "[Wallpaper Files]\r\nC:\\WINDOWS\\FIRST.BMP\r\nC:\\WINDOWS\\SECOND.BMP\r\n",
                12, 1, 1),
    Stands("lone_cr_does_not_split_a_path", Settings() + "C:\\a\r.bmp\rb.bmp\nc\n",
           {"C:\\a.bmpb.bmp", "c"}),
    Stands_With("cr_inside_a_key_and_number",
                "Timer\rMinutes=1\r5\nRandom=0\nRefreshScreen=0\n" + TWO_PATHS, 15, 0, 0),
    Stands("ctrl_z_ends_the_list", Settings() + "a\nb\n\x1A" "c\nd\n", {"a", "b"}),
    Stands("ctrl_z_inside_a_path", Settings() + "a\nbb\x1A" "c\n", {"a", "bb"}),
    Stops("ctrl_z_in_the_settings", "TimerMinutes=5\x1A" "0\nRandom=0\n" + TWO_PATHS,
          {NO_FILES}),
    Stops("ctrl_z_first", "\x1A" + Settings() + TWO_PATHS, {BAD_TIMER}),

    // A NUL byte ends the list; the part of its token before it still counts.
    Stands("nul_ends_the_list", Settings() + "a\nb" + Bytes(1, '\0') + "c\nd\n", {"a", "b"}),
    Stands("nul_after_white_space", Settings() + "a b \n" + Bytes(1, '\0') + "c d",
           {"a", "b"}),
    Stops("nul_leaves_one_path", Settings() + "a" + Bytes(1, '\0') + "b c", {ONLY_ONE}),
    Stops("nul_in_the_settings", "TimerMinutes=3" + Bytes(1, '\0') + "0\n" + TWO_PATHS,
          {BAD_RANDOM}),

    // Block boundaries of the file reader: a CR pair and a path across them.
    Stands("path_across_a_block_boundary",
           Settings() + Bytes(16384 - Settings().size() - 6, '\n') + "\r\r\rfirst.bmp\r\nb\n",
           {"first.bmp", "b"}),
    Stands("megabyte_of_blank_lines_before_the_list",
           Settings() + Bytes(1 << 20, '\n') + TWO_PATHS, FIRST_SECOND),
};

void PrintTo(const Reading_Case &c, std::ostream *out) { *out << c.name; }

class Reading : public ::testing::TestWithParam<Reading_Case> {
 protected:
  void SetUp() override { Forget_Recorded_Calls(); }

  void Expect_Outcome(bool stands) {
    const Reading_Case &c = GetParam();
    EXPECT_EQ(shown_messages, c.messages);
    ASSERT_EQ(stands, c.stands);
    if (!stands) return;
    EXPECT_EQ(TimerMinutes, c.timer_minutes);
    EXPECT_EQ(Random, c.random);
    EXPECT_EQ(RefreshScreen, c.refresh_screen);
    Paths stored;
    for (int i = 0; i <= wallpap_max_index; ++i) stored.push_back(wallpap_buffer[i].data());
    EXPECT_EQ(stored, c.paths);
  }
};

TEST_P(Reading, FromMemory) {
  const Bytes &file = GetParam().file;
  Expect_Outcome(Read_Configuration_Buffer(file.data(), file.size()));
}

TEST_P(Reading, FromFile) {
  const std::string path =
      ::testing::TempDir() + "morvelin-" + GetParam().name + "-" + std::to_string(getpid());
  {
    std::ofstream out(path, std::ios::binary);
    out << GetParam().file;
  }
  const bool stands = Read_Configuration(path.c_str());
  std::remove(path.c_str());
  Expect_Outcome(stands);
}

INSTANTIATE_TEST_SUITE_P(Cases, Reading, ::testing::ValuesIn(READING_CASES),
                         [](const auto &info) { return std::string(info.param.name); });

// Where the configuration comes from: the path given, else the default file.
// The default path is a relative name on this system, so each test runs in a
// folder of its own.
class Config_Path : public ::testing::Test {
 protected:
  void SetUp() override {
    Forget_Recorded_Calls();
    folder_ = std::filesystem::temp_directory_path() /
              ("morvelin-path-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder_);
    old_folder_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_);
  }
  void TearDown() override {
    std::filesystem::current_path(old_folder_);
    std::filesystem::remove_all(folder_);
  }
  static void Write(const std::string &path, const Bytes &bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  std::filesystem::path folder_, old_folder_;
};

TEST_F(Config_Path, GivenFileIsReadWithoutMessages) {
  Write("given.cfg", Settings("5") + TWO_PATHS);
  Write(DEFAULT_CONFIG_PATH, Settings("6") + TWO_PATHS);
  EXPECT_TRUE(Read_Configuration("given.cfg"));
  EXPECT_TRUE(shown_messages.empty());
  EXPECT_EQ(TimerMinutes, 5u);
}

TEST_F(Config_Path, UnopenablePathFallsBackToTheDefault) {
  Write("given.cfg", Settings("5") + TWO_PATHS);
  Write(DEFAULT_CONFIG_PATH, Settings("6") + TWO_PATHS);
  std::filesystem::create_directory("a folder");
  for (const char *path : {"", "missing.cfg", "\"given.cfg\"", "a folder"}) {
    SCOPED_TRACE(path);
    Forget_Recorded_Calls();
    EXPECT_TRUE(Read_Configuration(path));
    EXPECT_EQ(shown_messages, std::vector<Shown_Message>{NOT_FOUND});
    EXPECT_EQ(TimerMinutes, 6u);
  }
}

TEST_F(Config_Path, NoDefaultEither) {
  EXPECT_FALSE(Read_Configuration("missing.cfg"));
  EXPECT_EQ(shown_messages, (std::vector<Shown_Message>{NOT_FOUND, NO_DEFAULT}));
}

TEST_F(Config_Path, FaultyDefaultIsJudgedLikeAnyFile) {
  Write(DEFAULT_CONFIG_PATH, Settings("0") + TWO_PATHS);
  EXPECT_FALSE(Read_Configuration(""));
  EXPECT_EQ(shown_messages, (std::vector<Shown_Message>{NOT_FOUND, BAD_TIMER}));
}

// A second reading starts from zero as the first did: a file that ends
// after TimerMinutes must not inherit Random=1 from before.
TEST(Rereading, StartsFromZero) {
  Forget_Recorded_Calls();
  const Bytes first = Settings("30", "1", "1") + TWO_PATHS;
  ASSERT_TRUE(Read_Configuration_Buffer(first.data(), first.size()));
  const Bytes second = "TimerMinutes=30\nRandom=";
  EXPECT_FALSE(Read_Configuration_Buffer(second.data(), second.size()));
  EXPECT_EQ(Random, 0);
  EXPECT_EQ(RefreshScreen, 0);
  EXPECT_EQ(shown_messages, std::vector<Shown_Message>{NO_FILES});
}

}  // namespace
