#include "platform/host/volume.h"

#include <atomic>

#include "platform/host/settings.h"

namespace {
// Flipped by the event pump, read by the audio callback's thread.
std::atomic<bool> g_muted{false};
}  // namespace

int plat_volume_gain() { return g_muted.load(std::memory_order_relaxed) ? 0 : plat_options.volume; }

void plat_volume_toggle_mute() { g_muted.store(!g_muted.load()); }

bool plat_volume_muted() { return g_muted.load(); }
