// Test seams of the display: what the player would see, and surface bookkeeping.
#pragma once
#include <cstdint>

#include "platform/wintypes.h"

// The last frame Flip presented, as RGB565 rows `pitch_px` pixels apart. False before the first
// presented frame or once the display is gone. The pixels stay valid until the next Flip.
bool seam_last_frame(const uint16_t** pixels, int* width, int* height, int* pitch_px);
// One pixel of the last presented frame; -1 when there is none or (x, y) lies outside it.
int32_t seam_frame_pixel(int x, int y);
// Frames presented since the process started.
int seam_frames_presented();
// When the last Flip finished presenting, in the monotonic clock's microseconds; 0 before.
int64_t seam_last_present_us();
// Writes the last presented frame as a 24-bit BMP file; false when there is none or it cannot.
bool seam_save_frame_bmp(const char* path);

// Surfaces, clippers and DirectDraw objects alive right now (leak checks in tests).
int seam_video_live_objects();

// The main window's own pixels as the last present left them (32 bits, the window's format
// with red in bits 16 to 23), rows `pitch_px` apart; false without a window surface.
bool seam_window_pixels(const uint32_t** pixels, int* width, int* height, int* pitch_px);
// Resizes the main window (its drawable, in pixels, on the headless driver).
bool seam_window_resize(int width, int height);

// Window events as the system would send them to the main window, from any thread.
enum SeamWindowEvent {
  SEAM_FOCUS_LOST,
  SEAM_FOCUS_GAINED,
  SEAM_MINIMIZED,
  SEAM_RESTORED,
  SEAM_CLOSE,
  SEAM_EXPOSED
};
void seam_window_event(SeamWindowEvent what);
bool seam_paused();                // the pump waits in a pause now
int seam_pauses();                 // pauses begun since the process started
bool seam_screen_saver_allowed();  // false while the video runs: SDL keeps the saver off

// A record of what is drawn into one surface while on, so a benchmark can replay a frame's
// layers elsewhere: copies (src set), fills (fill set) and locks (lock set), in order.
struct IDirectDrawSurface7;
struct SeamDraw {
  IDirectDrawSurface7* src;
  RECT dest, src_rect;  // as the caller passed them, before clipping
  bool fill, lock;
  uint16_t colour;
};
// Starts recording draws into `dest` in `log` (at most `capacity`); a null dest stops.
void seam_draw_log(IDirectDrawSurface7* dest, SeamDraw* log, int capacity);
int seam_draw_logged();  // entries recorded since the start
