// The command tail: what is left of the command line once the program name
// is taken off, kept whole as the configuration path.
#include <gtest/gtest.h>

#include <string>

#include "host/command_tail.h"

namespace {

struct Tail_Case {
  const char *command_line;
  const char *tail;
};

void PrintTo(const Tail_Case &c, std::ostream *out) { *out << c.command_line; }

class Command_Tail_Rule : public ::testing::TestWithParam<Tail_Case> {};

TEST_P(Command_Tail_Rule, LeavesThePathWhole) {
  EXPECT_EQ(std::string(Command_Tail(GetParam().command_line)), GetParam().tail);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Command_Tail_Rule,
    ::testing::Values(
        Tail_Case{"morvelin.exe C:\\x.cfg", "C:\\x.cfg"},
        Tail_Case{"morvelin.exe", ""},
        Tail_Case{"", ""},
        Tail_Case{"  \t morvelin.exe   C:\\x.cfg", "C:\\x.cfg"},
        // A quoted name ends at its closing quote, even with no blank after it.
        Tail_Case{"\"C:\\Program Files\\morvelin.exe\"C:\\x.cfg", "C:\\x.cfg"},
        Tail_Case{"\"C:\\Program Files\\morvelin.exe\" C:\\x.cfg", "C:\\x.cfg"},
        Tail_Case{"\"morvelin.exe\"", ""},
        // An unclosed quote runs to a tab or to the end.
        Tail_Case{"\"C:\\My Tools\\morvelin.exe", ""},
        Tail_Case{"\"C:\\My Tools\\morvelin.exe\tC:\\x.cfg", "C:\\x.cfg"},
        Tail_Case{"morvelin.exe\t\tC:\\x.cfg", "C:\\x.cfg"},
        Tail_Case{"morvelin.exe \t C:\\x.cfg", "C:\\x.cfg"},
        // Everything after the name is one path: quotes, inner and trailing
        // blanks are kept.
        Tail_Case{"morvelin.exe \"C:\\x.cfg\"", "\"C:\\x.cfg\""},
        Tail_Case{"morvelin.exe C:\\My Files\\x.cfg  ", "C:\\My Files\\x.cfg  "},
        Tail_Case{"morvelin.exe C:\\x.cfg other", "C:\\x.cfg other"},
        // A quote later in an unquoted name belongs to the name.
        Tail_Case{"morv\"elin.exe x.cfg", "x.cfg"}));

}  // namespace
