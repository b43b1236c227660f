// The SDL event pump.
#include "platform/host/events.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <ctime>

#include "platform/host/pad.h"
#include "platform/host/screenshot.h"
#include "platform/host/volume.h"
#include "platform/host/window.h"
#include "platform/seams/seams_pad.h"

void plat_pump_events(const PlatEventSink* to) {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  seam_pad_script_poll();
  SDL_Event ev;
  while (SDL_PollEvent(&ev)) {
    switch (ev.type) {
      case SDL_QUIT: {
        HWND windows[8];
        const int n = plat_windows(windows, 8);
        for (int i = 0; i < n; ++i) to->message(windows[i], WM_CLOSE);
        break;
      }
      case SDL_WINDOWEVENT: {
        HWND w = plat_window_of_sdl(ev.window.windowID);
        if (!w) break;
        if (ev.window.event == SDL_WINDOWEVENT_CLOSE)
          to->message(w, WM_CLOSE);
        else if (ev.window.event == SDL_WINDOWEVENT_EXPOSED)
          to->message(w, WM_PAINT);
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
        if (ev.key.keysym.scancode == SDL_SCANCODE_ESCAPE) to->escape();  // ends a replay
        break;
      case SDL_CONTROLLERDEVICEADDED:
        plat_pad_added(ev.cdevice.which);
        break;
      case SDL_CONTROLLERDEVICEREMOVED:
        plat_pad_removed(ev.cdevice.which);
        break;
      case SDL_CONTROLLERBUTTONDOWN:
        to->pad_button(ev.cbutton.button);
        break;
      case SDL_MOUSEWHEEL:
        to->wheel((long)ev.wheel.y * 120);
        break;
      default:
        break;
    }
  }
}

bool plat_host_start(char* why, size_t why_size) {
  SDL_SetMainReady();
  if (SDL_Init(SDL_INIT_EVENTS) == 0) return true;
  SDL_snprintf(why, why_size, "%s", SDL_GetError());
  return false;
}

void plat_host_stop() { SDL_Quit(); }
