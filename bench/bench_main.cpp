// The one benchmark main: the table, then one `RATIO <name> <ours / reference>` line per
// comparison (medians when run with repetitions, all from this one run), the worst-case play
// frame, and the start-up time measured in fresh processes (`--startup-probe`).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/globals.h"
#include "app/startup.h"
#include "app/winmain.h"
#include "bench/bench_world.h"
#include "platform/port/options.h"
#include "platform/seams/seams_video.h"

namespace {

// Microseconds per iteration of each benchmark: its median when repeated, else its one run.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> us, cpu_us;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.error_occurred) continue;
      std::string name = r.run_name.str();
      const double t = r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit) * 1e6;
      const double c = r.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(r.time_unit) * 1e6;
      if (r.run_type == Run::RT_Aggregate ? r.aggregate_name == "median" : r.repetitions <= 1) {
        us[name] = t;
        cpu_us[name] = c;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

// From main to the first presented frame, as the game's own WinMain does it, in this process.
int startup_probe() {
  timespec t0;
  clock_gettime(CLOCK_MONOTONIC, &t0);
  if (chdir(bench_data_dir()) != 0) return 1;
  if (SDL_Init(SDL_INIT_EVENTS) != 0) return 1;
  plat_options.window = true;
  static HINSTANCE__ instance;
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
  wc.lpfnWndProc = game_window_proc;
  wc.hInstance = &instance;
  wc.lpszClassName = "WIN3DCLASS";
  RegisterClassExA(&wc);
  game_window = CreateWindowExA(0, "WIN3DCLASS", "GAME", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768, nullptr,
                                nullptr, &instance, nullptr);
  if (!game_window) return 1;
  game_instance = &instance;
  game_startup();
  MSG msg = {};
  while (seam_frames_presented() == 0) {
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    game_frame();
  }
  // The frame's own pacing wait comes after its present: the present's time is what counts. The
  // process's CPU time to here beside it: on a busy machine the wall clock mostly measures others.
  timespec cpu;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
  std::printf("%lld %lld\n",
              (long long)(seam_last_present_us() - ((int64_t)t0.tv_sec * 1000000 + t0.tv_nsec / 1000)),
              (long long)cpu.tv_sec * 1000000 + cpu.tv_nsec / 1000);
  std::fflush(stdout);
  game_shutdown();
  SDL_Quit();
  return 0;
}

// Medians of `runs` fresh processes, wall clock and CPU time in microseconds; -1 when none worked.
double startup_us(int runs, double* cpu_us) {
  char self[4096];
  const ssize_t len = readlink("/proc/self/exe", self, sizeof self - 1);
  if (len <= 0) return -1;
  self[len] = 0;
  const std::string cmd = "exec '" + std::string(self) + "' --startup-probe 2>/dev/null";
  std::vector<double> got, cpu;
  for (int i = 0; i < runs; ++i) {
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) continue;
    long long v = -1, c = -1;
    if (std::fscanf(p, "%lld %lld", &v, &c) == 2 && v >= 0) {
      got.push_back((double)v);
      cpu.push_back((double)c);
    }
    pclose(p);
  }
  if (got.empty()) return -1;
  std::sort(got.begin(), got.end());
  std::sort(cpu.begin(), cpu.end());
  *cpu_us = cpu[cpu.size() / 2];
  return got[got.size() / 2];
}

struct Ratio {
  const char* name;
  const char* ours;
  std::vector<const char*> refs;  // the fastest of these is the reference
};

const Ratio kRatios[] = {
    {"fill_vs_memset", "BM_Fill_Ours", {"BM_Memset_Frame"}},
    {"fill_vs_sdl", "BM_Fill_Ours", {"BM_Fill_SDL"}},
    {"background_vs_memcpy", "BM_Background_Ours/0", {"BM_Memcpy_Frame"}},
    {"background_vs_sdl_rle", "BM_Background_Ours/0", {"BM_Background_SDL/0/1"}},
    {"background_vs_sdl_keyed", "BM_Background_Ours/0", {"BM_Background_SDL/0/0"}},
    {"scattered_vs_memcpy", "BM_Background_Ours/1", {"BM_Memcpy_Frame"}},
    {"scattered_vs_sdl_keyed", "BM_Background_Ours/1", {"BM_Background_SDL/1/0"}},
    {"scattered_vs_sdl_rle", "BM_Background_Ours/1", {"BM_Background_SDL/1/1"}},
    {"explosion_vs_sdl_best", "BM_Sprite_Ours/0", {"BM_Sprite_SDL/0/0", "BM_Sprite_SDL/0/1"}},
    {"asteroid_vs_sdl_best", "BM_Sprite_Ours/1", {"BM_Sprite_SDL/1/0", "BM_Sprite_SDL/1/1"}},
    {"craft_vs_sdl_best", "BM_Sprite_Ours/2", {"BM_Sprite_SDL/2/0", "BM_Sprite_SDL/2/1"}},
    {"digit_vs_sdl_best", "BM_Sprite_Ours/3", {"BM_Sprite_SDL/3/0", "BM_Sprite_SDL/3/1"}},
    {"laser_vs_sdl_best", "BM_Sprite_Ours/4", {"BM_Sprite_SDL/4/0", "BM_Sprite_SDL/4/1"}},
    {"explosion_clipped_vs_sdl_best", "BM_Sprite_Ours/5", {"BM_Sprite_SDL/5/0", "BM_Sprite_SDL/5/1"}},
    {"play_frame_vs_sdl_best", "BM_PlayFrame_Ours", {"BM_PlayFrame_SDL"}},
    {"play_frame_vs_memcpy", "BM_PlayFrame_Ours", {"BM_Memcpy_Frame"}},
    {"present_vs_sdl", "BM_Present_Ours", {"BM_Present_SDL"}},
    {"present_vs_memcpy32", "BM_Present_Ours", {"BM_Memcpy32_Frame"}},
    {"present_texture_vs_ours", "BM_Present_TextureForced", {"BM_Present_Ours"}},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--startup-probe") == 0) return startup_probe();
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  bool startup = true;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--no-startup") == 0) {
      startup = false;
      for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
      --argc;
    }
  benchmark::Initialize(&argc, argv);
  double start_cpu_us = 0;
  const double start_us = startup ? startup_us(7, &start_cpu_us) : -1;
  MedianReporter rep;
  benchmark::RunSpecifiedBenchmarks(&rep);
  const char* driver = SDL_GetCurrentVideoDriver();
  const std::string where = driver ? driver : std::getenv("SDL_VIDEODRIVER");
  std::printf("\nvideo driver: %s\n", where.c_str());
  for (const Ratio& r : kRatios) {
    auto ours = rep.us.find(r.ours);
    double ref = -1, ref_cpu = -1;
    for (const char* name : r.refs) {
      auto it = rep.us.find(name);
      if (it != rep.us.end() && (ref < 0 || it->second < ref)) {
        ref = it->second;
        ref_cpu = rep.cpu_us[name];
      }
    }
    if (ours == rep.us.end() || ref <= 0 || ref_cpu <= 0) continue;
    // Wall clock as asked; this process's CPU time beside it, steadier on a shared machine
    // (but blind to the X server's share of a present).
    std::printf("RATIO %s_%s %.2f (cpu %.2f)\n", r.name, where.c_str(), ours->second / ref,
                rep.cpu_us[r.ours] / ref_cpu);
  }
  auto frame = rep.us.find("BM_PlayFrame_Ours");
  if (frame != rep.us.end())
    std::printf("PLAY_FRAME_WORST_US %.0f (cpu %.0f)\n", frame->second, rep.cpu_us["BM_PlayFrame_Ours"]);
  if (start_us >= 0)
    std::printf("STARTUP_TO_FIRST_FRAME_MS %.1f (cpu %.1f; %s, window, medians of 7)\n", start_us / 1000,
                start_cpu_us / 1000, where.c_str());
  benchmark::Shutdown();
  return 0;
}
