// The SDL event pump.
#include "platform/host/events.h"

#include <SDL.h>

#include <ctime>

#include "platform/host/input.h"
#include "platform/host/pad.h"
#include "platform/host/screenshot.h"
#include "platform/host/volume.h"
#include "platform/host/window.h"
#include "platform/seams/seams_pad.h"

void plat_pump_events() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  seam_pad_script_poll();
  SDL_Event ev;
  while (SDL_PollEvent(&ev)) {
    switch (ev.type) {
      case SDL_QUIT: {
        HWND windows[8];
        const int n = plat_windows(windows, 8);
        for (int i = 0; i < n; ++i) plat_input_window_message(windows[i], WM_CLOSE);
        break;
      }
      case SDL_WINDOWEVENT: {
        HWND w = plat_window_of_sdl(ev.window.windowID);
        if (!w) break;
        if (ev.window.event == SDL_WINDOWEVENT_CLOSE)
          plat_input_window_message(w, WM_CLOSE);
        else if (ev.window.event == SDL_WINDOWEVENT_EXPOSED)
          plat_input_window_message(w, WM_PAINT);
        else if (ev.window.event == SDL_WINDOWEVENT_FOCUS_GAINED)
          plat_window_capture(plat_sdl_window(w), true);
        else if (ev.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
          plat_window_capture(plat_sdl_window(w), false);
        break;
      }
      case SDL_KEYDOWN:
        if (ev.key.keysym.scancode == SDL_SCANCODE_F11 && !ev.key.repeat)
          if (SDL_Window* w = plat_sdl_window(plat_window_of_sdl(ev.key.windowID)))
            plat_window_toggle_fullscreen(w);
        // F10 and F12 act here; their key bytes still reach the game, which ignores them.
        if (ev.key.keysym.scancode == SDL_SCANCODE_F10 && !ev.key.repeat) plat_volume_toggle_mute();
        if (ev.key.keysym.scancode == SDL_SCANCODE_F12 && !ev.key.repeat)
          plat_screenshot_take(std::time(nullptr));
        if (ev.key.keysym.scancode == SDL_SCANCODE_ESCAPE) plat_input_escape();  // ends a replay
        break;
      case SDL_CONTROLLERDEVICEADDED:
        plat_pad_added(ev.cdevice.which);
        break;
      case SDL_CONTROLLERDEVICEREMOVED:
        plat_pad_removed(ev.cdevice.which);
        break;
      case SDL_CONTROLLERBUTTONDOWN:
        if (plat_pad_button_escapes(plat_input_screen(), ev.cbutton.button)) plat_input_escape();
        break;
      case SDL_MOUSEWHEEL:
        plat_input_wheel((long)ev.wheel.y * 120);
        break;
      default:
        break;
    }
  }
}
