// The command tail: the command line with the program name taken off.
#pragma once

// Skips spaces and tabs, then the program name: when it starts with a double
// quote, up to the next double quote or tab (a closing quote is skipped too),
// otherwise up to the next space or tab; then spaces and tabs again. Returns
// a pointer into command_line to what remains, which is kept whole.
const char *Command_Tail(const char *command_line);
