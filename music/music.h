// The music performance: opened on the sound effects' DirectSound object at start-up and
// closed at shutdown, with a table of music slots that nothing ever fills.
#pragma once
#include <cstdint>

#include "platform/win32.h"

constexpr int MUS_MAX_SLOTS = 64;

struct MidiSlot {
  IDirectMusicSegment* segment;  // null when the slot is empty
  uint32_t reserved1;            // belongs to the segment; cleared with it
  int32_t id;                    // the slot's own index, kept by the clean-up
  uint32_t reserved2;            // as reserved1
};

extern IDirectMusicPerformance* mus_performance;  // null until created
extern IDirectMusicLoader* mus_loader;            // null until created
extern MidiSlot mus_table[MUS_MAX_SLOTS];
extern int32_t mus_current;  // current slot, -1 for none; only mus_init writes it

// Needs snd_init to have created the DirectSound object. What a failing step leaves created
// stays for mus_shutdown.
int mus_init();
int mus_release_slots();
int mus_shutdown();
