// The Windows suite's entry: --morvelin=EXE and --morvctl=EXE name the
// programs under test (Unix paths are taken as Wine's Z: drive).
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "harness.h"

int main(int argc, char **argv) {
  ::testing::InitGoogleTest(&argc, argv);
  std::string morvelin, morvctl;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--morvelin=", 11) == 0) morvelin = argv[i] + 11;
    if (std::strncmp(argv[i], "--morvctl=", 10) == 0) morvctl = argv[i] + 10;
  }
  if (morvelin.empty() || morvctl.empty()) {
    std::fputs("usage: morvelin_windows_tests --morvelin=EXE --morvctl=EXE [gtest options]\n",
               stderr);
    return 2;
  }
  harness::Set_Program_Paths(morvelin, morvctl);
  return RUN_ALL_TESTS();
}
