// The input border: the one place where what the player does becomes what the game reads. Each
// pass of the game's loop it gives the 256 key bytes (0x80: held), the mouse state and the window
// messages (close, expose), and answers for single keys; the API's calls read them here and
// nothing else. A tap (the demo) sees each of them first, and records them or replaces them.
#pragma once
#include "platform/host/input_types.h"
#include "platform/host/keys.h"
#include "platform/wintypes.h"

struct PlatInputTap {
  void (*pass)();                 // a pass of the loop begins, before the pump
  void (*loop_end)();             // the loop took its quit message
  bool (*message)(UINT message);  // one from the system: false drops it
  // A read: the device's result and what the border read (256 key bytes); the caller gets the
  // bytes when the result returned is S_OK.
  HRESULT (*keyboard)(HRESULT hr, BYTE* keys);
  HRESULT (*mouse)(HRESULT hr, PlatMouse* m);  // likewise
  SHORT (*async)(int dik, SHORT state);        // the answer for one key
  void (*escape)();                            // the player pressed Escape
  bool (*game_quit)();                         // the game posts its quit: true drops it
};
// Null: none. While a tap is set, the system's events are taken only where a pass begins.
void plat_input_set_tap(const PlatInputTap* tap);

// Which screen the game shows (PLAT_SCREEN_*): the game's side registers the question; without
// it the border takes every moment for play.
void plat_input_set_screen(int (*screen)());

// Where the border's window messages go (the API's message queue registers it); WM_QUIT, with
// no window, asks the loop to end.
void plat_input_set_sink(void (*post)(HWND hwnd, UINT message));

// ---- What the API asks.
void plat_input_pass();       // PeekMessageA, before it pumps
void plat_input_pump();       // takes the system's events; a lost focus pauses here, between frames
void plat_input_loop_end();   // PeekMessageA hands out WM_QUIT
bool plat_input_game_quit();  // the game posts its quit: true when it is dropped
// A device read: `hr` is the device's own verdict; the buffer is filled when the result is S_OK.
HRESULT plat_input_keyboard(HRESULT hr, BYTE keys[256]);
HRESULT plat_input_mouse(HRESULT hr, PlatMouse* m);
SHORT plat_input_async(int dik);  // 0x8000 while the key is held

// ---- What a tap may do.
// A replay's keys replace the live ones: while it plays, live presses leave --fire-toggle's latch
// alone; when it ends, the latch takes `fire`, the state the replay had.
void plat_input_set_replay(bool on, bool fire = false);
void plat_input_post(UINT message);  // to the game's window; WM_QUIT ends the loop
void plat_input_forget_motion();     // the motion and wheel gathered so far are nobody's
