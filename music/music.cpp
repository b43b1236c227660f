#include "music/music.h"

#include "app/globals.h"
#include "sfx/sound.h"

IDirectMusicPerformance* mus_performance = nullptr;
IDirectMusicLoader* mus_loader = nullptr;
MidiSlot mus_table[MUS_MAX_SLOTS];
int32_t mus_current = -1;

int mus_init() {
  if (FAILED(CoInitialize(nullptr))) return 0;
  if (FAILED(CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, CLSCTX_INPROC,
                              IID_IDirectMusicPerformance,
                              reinterpret_cast<LPVOID*>(&mus_performance))))
    return 0;
  if (FAILED(mus_performance->Init(nullptr, snd_direct_sound, game_window))) return 0;
  if (FAILED(mus_performance->AddPort(nullptr))) return 0;
  if (FAILED(CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC,
                              IID_IDirectMusicLoader, reinterpret_cast<LPVOID*>(&mus_loader))))
    return 0;
  for (int32_t i = 0; i < MUS_MAX_SLOTS; ++i) mus_table[i] = MidiSlot{nullptr, 0, i, 0};
  mus_current = -1;
  return 1;
}

int mus_release_slots() {
  for (MidiSlot& s : mus_table) {
    if (!s.segment) continue;
    s.segment->SetParam(GUID_Unload, 0xFFFFFFFFu, 0, 0, mus_performance);
    s.segment->Release();
    s.segment = nullptr;
    s.reserved1 = 0;
    s.reserved2 = 0;
  }
  return 1;
}

// Releases only what exists. The pointers are cleared as they go, so a second call is harmless.
int mus_shutdown() {
  if (mus_performance) mus_performance->Stop(nullptr, nullptr, 0, 0);
  mus_release_slots();
  if (mus_performance) {
    mus_performance->CloseDown();
    mus_performance->Release();
    mus_performance = nullptr;
  }
  if (mus_loader) {
    mus_loader->Release();
    mus_loader = nullptr;
  }
  CoUninitialize();
  return 1;
}
