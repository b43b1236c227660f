// Inside the web host only: the JavaScript pieces (library_web.js) the C++ side calls.
#pragma once
#include <cstdint>

// What web_next_event hands the pump.
enum WebEvent { WEB_EV_NONE = 0, WEB_EV_KEY = 1, WEB_EV_PAD_BUTTON = 2 };

extern "C" {
int web_start(int integer_scale, int smooth);  // listens to the page (nothing under Node)
void web_window_open(const char* title);
void web_cursor(int shown);
// Shows the frame when the game next yields or sleeps (web_yield does it; a sleep calls the flush).
void web_present(const uint8_t* pixels, int w, int h, int pitch);
void web_present_flush();  // shows a frame held back, before a sleep
void web_present_drop();   // forgets it (the window closes)
const char* web_route();
void web_read_keys(uint8_t* out);  // 256 bytes: held, or pressed since the last web_keys_seen
void web_keys_seen();
void web_read_mouse(int32_t* out);  // dx, dy, wheel, buttons, x, y, moved
void web_forget_motion();
int web_next_event(int32_t* value);  // a WebEvent; WEB_EV_NONE when none is left
int web_unfocused();
int web_read_pads(uint8_t* buttons, int32_t* axes);  // SDL's numbering; returns the pads' count
int web_audio_open();                                // the rate, 0 without Web Audio
void web_audio_close();
void web_audio_pause(int on);
void web_yield();  // lets the browser run (events, timers, sound) and comes back at once
}

// The pads read once per pump (pad.cpp); new presses of Back and B become pump events.
void web_pad_poll();

// SDL's numbering of pad buttons and axes, which --map's pad names and the mapping follow.
constexpr int WEB_PAD_BUTTONS = 21;
constexpr int WEB_PAD_AXES = 6;
