#include "host/command_tail.h"

namespace {

const char *Skip_Blanks(const char *p) {
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

}  // namespace

const char *Command_Tail(const char *command_line) {
  const char *p = Skip_Blanks(command_line);
  if (*p == '"') {
    ++p;
    while (*p != '\0' && *p != '"' && *p != '\t') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p != '\0' && *p != ' ' && *p != '\t') ++p;
  }
  return Skip_Blanks(p);
}
