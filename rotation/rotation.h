// The rotation: counts the minute ticks and installs the next wallpaper.
#pragma once

#include <cstdint>

extern uint32_t TimerEventCounter;  // ticks since the last change or since start

// One tick of the one-minute timer: changes the wallpaper when TimerMinutes
// ticks have been counted.
void Minute_Tick();

// A request from another program: changes the wallpaper now, and the next
// timed change comes a full TimerMinutes ticks later.
void Change_Request();

// Installs the next wallpaper of the list, in list or random order. Always
// returns 0.
int Change_Wallpaper();
