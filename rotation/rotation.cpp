#include "rotation/rotation.h"

#include <cstdlib>

#include "config/config.h"
#include "config/platform.h"

uint32_t TimerEventCounter;

namespace {

// A pseudo-random integer in 0 to 2^31 - 1 from the runtime's generator,
// which the host seeds once. Some runtimes' rand() gives only 15 bits, so
// three draws are joined: 15 + 15 + 1 bits.
int Draw_Random() {
  const int low = std::rand() & 0x7FFF;
  const int middle = std::rand() & 0x7FFF;
  const int high = std::rand() & 0x1;
  return low | middle << 15 | high << 30;
}

}  // namespace

void Minute_Tick() {
  ++TimerEventCounter;
  if (TimerEventCounter == TimerMinutes) {
    Change_Wallpaper();
    TimerEventCounter = 0;
  }
}

void Change_Request() {
  Change_Wallpaper();
  TimerEventCounter = 0;
}

int Change_Wallpaper() {
  // List order: the entry the next change shows. Random order: the entry
  // chosen last.
  static int32_t wallpap_index = 0;
  // Random order: the entry the previous random change showed. Starting at
  // 0, the first random change never shows entry 0.
  static int32_t last_wallpap_index = 0;

  const int32_t entries = wallpap_max_index + 1;
  if (Random == 0) {
    Set_Desktop_Wallpaper(wallpap_buffer[wallpap_index].data());
    wallpap_index = (wallpap_index + 1) % entries;
  } else {
    do {
      wallpap_index = Draw_Random() % entries;
    } while (wallpap_index == last_wallpap_index);
    Set_Desktop_Wallpaper(wallpap_buffer[wallpap_index].data());
    last_wallpap_index = wallpap_index;
  }
  if (RefreshScreen != 0) Repaint_Whole_Screen();
  Set_Arrow_Cursor();
  return 0;
}
