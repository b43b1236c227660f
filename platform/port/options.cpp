// The option table, read from the configuration file's text and from the command line alike.
#include "platform/port/options.h"

#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/demo/demo.h"
#include "platform/host/keymap.h"
#include "platform/host/paths.h"
#include "platform/lang.h"

PlatOptions plat_options;

namespace {

// A setter returns null when it took the value, else why it did not. Switches get "" from the
// command line, or an explicit yes/no ("--nosound=no", "nosound off" in the file).
typedef const char* (*OptSetter)(PlatOptions& o, const char* value);

struct OptSpec {
  const char* name;   // "--name" on the command line, "name value" in the configuration file
  const char* value;  // the value's name in the help; null for a switch
  const char* help;
  OptSetter set;
  PlatOptAction action = PLAT_OPT_RUN;  // PLAT_OPT_HELP and PLAT_OPT_VERSION end the parse
  bool command_line_only = false;       // refused in the configuration file
};

const char* set_flag(bool* flag, const char* v, bool on = true) {
  if (!*v || !strcasecmp(v, "yes") || !strcasecmp(v, "true") || !strcasecmp(v, "on") ||
      !std::strcmp(v, "1")) {
    *flag = on;
    return nullptr;
  }
  if (!strcasecmp(v, "no") || !strcasecmp(v, "false") || !strcasecmp(v, "off") || !std::strcmp(v, "0")) {
    *flag = !on;
    return nullptr;
  }
  return "wants yes or no";
}

const char* set_int(int* n, const char* v, int lo, int hi, const char* why) {
  errno = 0;
  char* end = nullptr;
  long x = std::strtol(v, &end, 10);
  if (!*v || *end || errno || x < lo || x > hi) return why;
  *n = (int)x;
  return nullptr;
}

// A file or folder: "~" stands for the home folder wherever the path was written.
const char* set_path(std::string* s, const char* v) {
  if (!*v) return "wants a value";
  if (!plat_expand_home(v, s)) return "starts with ~, but the home folder is not known";
  return nullptr;
}

// A demo's file name, kept by pointer: argv's own, or `keep` when "~" was expanded.
const char* demo_file(const char** name, std::string* keep, const char* v) {
  if (const char* why = set_path(keep, v)) return why;
  *name = *keep == v ? v : keep->c_str();
  return nullptr;
}
std::string g_record, g_play, g_timed;

// "ru en": the codes --lang takes.
std::string lang_codes() {
  std::string codes;
  for (int i = 0; i < lang_count(); ++i) codes += std::string(i ? " " : "") + lang_code(i);
  return codes;
}

const char* set_lang(std::string* s, const char* v) {
  static std::string why;
  int lang = lang_find(v);
  if (lang < 0) {
    why = "is not a language of the game; it speaks " + lang_codes();
    return why.c_str();
  }
  *s = lang_code(lang);
  return nullptr;
}

// Adding an option is one entry here (and its field in PlatOptions).
const OptSpec kOptions[] = {
    {"data", "DIR", "read image/ and sound/ from DIR instead of searching for them",
     [](PlatOptions& o, const char* v) { return set_path(&o.data, v); }},
    {"window", nullptr, "play in a window",
     [](PlatOptions& o, const char* v) { return set_flag(&o.window, v); }},
    {"fullscreen", nullptr, "play on the whole screen (the default)",
     [](PlatOptions& o, const char* v) { return set_flag(&o.window, v, false); }},
    {"scale", "N", "make the window N x 1024 by N x 768 (1 to 8; default 1)",
     [](PlatOptions& o, const char* v) { return set_int(&o.scale, v, 1, PLAT_SCALE_MAX, "wants 1 to 8"); }},
    {"integer-scale", nullptr, "scale the picture by whole multiples only, black border around",
     [](PlatOptions& o, const char* v) { return set_flag(&o.integer_scale, v); }},
    {"smooth", nullptr, "scale with linear filtering instead of sharp pixels",
     [](PlatOptions& o, const char* v) { return set_flag(&o.smooth, v); }},
    {"nosound", nullptr, "open no audio device",
     [](PlatOptions& o, const char* v) { return set_flag(&o.nosound, v); }},
    {"low-cpu", nullptr, "sleep through most of each frame's wait instead of spinning",
     [](PlatOptions& o, const char* v) { return set_flag(&o.low_cpu, v); }},
    {"pause-unfocused", nullptr, "pause while the window has lost the focus (the default)",
     [](PlatOptions& o, const char* v) { return set_flag(&o.pause_unfocused, v); }},
    {"no-pause-unfocused", nullptr, "keep playing while the window has lost the focus",
     [](PlatOptions& o, const char* v) { return set_flag(&o.pause_unfocused, v, false); }},
    {"volume", "N", "play the sound at N percent (0 to 100; default 100)",
     [](PlatOptions& o, const char* v) { return set_int(&o.volume, v, 0, 100, "wants 0 to 100"); }},
    {"screenshot-dir", "DIR", "save F12 screenshots in DIR instead of the pictures folder",
     [](PlatOptions& o, const char* v) { return set_path(&o.screenshot_dir, v); }},
    {"gamepad", nullptr, "steer and fire with game controllers too (the default)",
     [](PlatOptions& o, const char* v) { return set_flag(&o.gamepad, v); }},
    {"no-gamepad", nullptr, "ignore game controllers",
     [](PlatOptions& o, const char* v) { return set_flag(&o.gamepad, v, false); }},
    {"map", "KEY=GAMEKEY", "make KEY act as the game key GAMEKEY (or none); may be repeated",
     [](PlatOptions& o, const char* v) { return plat_keymap_add(&o, v); }},
    {"fire-toggle", nullptr, "a press of fire starts continuous fire, the next press stops it",
     [](PlatOptions& o, const char* v) { return set_flag(&o.fire_toggle, v); }},
    {"lang", "CODE", "speak the language CODE instead of the desktop's (see below)",
     [](PlatOptions& o, const char* v) { return set_lang(&o.lang, v); }},
    {"record", "FILE", "record this run's input as a demo in FILE",
     [](PlatOptions&, const char* v) { return demo_file(&plat_demo_options.record, &g_record, v); },
     PLAT_OPT_RUN, true},
    {"playdemo", "FILE", "play the demo in FILE at the usual pace (Esc ends it)",
     [](PlatOptions&, const char* v) { return demo_file(&plat_demo_options.play, &g_play, v); }, PLAT_OPT_RUN,
     true},
    {"playdemo-continue", nullptr, "after the demo, hand the game to the player",
     [](PlatOptions&, const char* v) {
       plat_demo_options.play_continue = !*v;
       return *v ? "takes no value" : nullptr;
     },
     PLAT_OPT_RUN, true},
    {"timedemo", "FILE", "play the demo as fast as possible and print its speed",
     [](PlatOptions&, const char* v) { return demo_file(&plat_demo_options.timed, &g_timed, v); },
     PLAT_OPT_RUN, true},
    {"hash-frames", "N,...", "print a hash of the picture shown after each listed frame",
     [](PlatOptions&, const char* v) {
       return plat_demo_parse_frames(v, &plat_demo_options)
                  ? nullptr
                  : "wants up to 64 frame numbers separated by commas";
     },
     PLAT_OPT_RUN, true},
    {"help", nullptr, "show this help", nullptr, PLAT_OPT_HELP, true},
    {"version", nullptr, "show the version", nullptr, PLAT_OPT_VERSION, true},
};

const OptSpec* find_option(const char* name, size_t len) {
  for (const OptSpec& o : kOptions)
    if (std::strlen(o.name) == len && std::strncmp(o.name, name, len) == 0) return &o;
  return nullptr;
}

std::string trimmed(const char* s, size_t n) {
  while (n && (*s == ' ' || *s == '\t')) ++s, --n;
  while (n && (s[n - 1] == ' ' || s[n - 1] == '\t' || s[n - 1] == '\r')) --n;
  return std::string(s, n);
}

// "name value", "name=value" or "name", each perhaps followed by a "# comment" (a # at the
// start of a word: "data /srv/a#b" keeps its #).
void read_config(const char* text, size_t size, PlatOptions* out, std::string* warnings) {
  int line_no = 0;
  int mapped_on[256 + 32] = {};  // the line that mapped each key, for the second one's warning
  const char* end = text + size;
  if (size >= 3 && !std::memcmp(text, "\xEF\xBB\xBF", 3)) text += 3;  // a UTF-8 byte-order mark
  for (const char* p = text; p < end;) {
    const char* eol = static_cast<const char*>(std::memchr(p, '\n', (size_t)(end - p)));
    const size_t n = eol ? (size_t)(eol - p) : (size_t)(end - p);
    const char* at = p;
    p += n + (eol ? 1 : 0);
    ++line_no;
    const std::string where = "line " + std::to_string(line_no) + ": ";
    if (std::memchr(at, '\0', n)) {
      *warnings += where + "holds a NUL byte; ignored\n";
      continue;
    }
    std::string line = trimmed(at, n);
    for (size_t hash = 0; (hash = line.find('#', hash)) != std::string::npos; ++hash)
      if (hash == 0 || line[hash - 1] == ' ' || line[hash - 1] == '\t') {
        line = trimmed(line.c_str(), hash);
        break;
      }
    if (line.empty()) continue;
    const size_t name_end = line.find_first_of(" \t=");
    const std::string name = line.substr(0, name_end);
    std::string value;
    if (name_end != std::string::npos) {
      size_t v = line.find_first_not_of(" \t", name_end);
      if (line[v] == '=') ++v;  // "name=value", as on the command line, or "name = value"
      value = trimmed(line.c_str() + v, line.size() - v);
    }
    const OptSpec* o = find_option(name.c_str(), name.size());
    const int slot = o && name == "map" ? plat_keymap_slot(value.c_str()) : -1;
    const char* why = nullptr;
    std::string again;
    if (!o) {
      why = "unknown option";
    } else if (o->command_line_only) {
      why = "belongs on the command line only";
    } else if (o->value && value.empty()) {
      why = "wants a value";
    } else if (slot >= 0 && mapped_on[slot]) {
      again = "maps '" + value.substr(0, value.rfind('=')) + "' again, already mapped on line " +
              std::to_string(mapped_on[slot]);
      why = again.c_str();
    } else {
      why = o->set(*out, value.c_str());
      if (!why && slot >= 0) mapped_on[slot] = line_no;
    }
    if (why) *warnings += where + "'" + name + "' " + why + "; ignored\n";
  }
}

}  // namespace

PlatOptAction plat_parse_options(int argc, const char* const* argv, const char* config_text, PlatOptions* out,
                                 std::string* error, std::string* warnings) {
  return plat_parse_options(argc, argv, config_text, config_text ? std::strlen(config_text) : 0, out, error,
                            warnings);
}

PlatOptAction plat_parse_options(int argc, const char* const* argv, const char* config_text,
                                 size_t config_size, PlatOptions* out, std::string* error,
                                 std::string* warnings) {
  if (config_text) read_config(config_text, config_size, out, warnings);
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (!std::strcmp(arg, "-h")) return PLAT_OPT_HELP;
    if (std::strncmp(arg, "--", 2) != 0 || !arg[2]) {
      *error = std::string("unexpected argument '") + arg + "'";
      return PLAT_OPT_USAGE;
    }
    const char* name = arg + 2;
    const char* eq = std::strchr(name, '=');
    const OptSpec* o = find_option(name, eq ? (size_t)(eq - name) : std::strlen(name));
    if (!o) {
      *error = std::string("unknown option '") + arg + "'";
      return PLAT_OPT_USAGE;
    }
    if (o->action != PLAT_OPT_RUN) return o->action;
    const char* value = "";
    if (eq) {
      value = eq + 1;
    } else if (o->value) {
      if (i + 1 >= argc) {
        *error = std::string("--") + o->name + " wants " + o->value;
        return PLAT_OPT_USAGE;
      }
      value = argv[++i];
    }
    if (const char* why = o->set(*out, value)) {
      *error = std::string("--") + o->name + " '" + value + "' " + why;
      return PLAT_OPT_USAGE;
    }
  }
  return PLAT_OPT_RUN;
}

void plat_print_usage(FILE* out) {
  std::fprintf(out, "Usage: tarvellin [OPTION]...\nA small space shooter.\n\nOptions:\n");
  auto left = [](const OptSpec& o) {
    return std::string("--") + o.name + (o.value ? std::string(" ") + o.value : "");
  };
  size_t width = 0;
  for (const OptSpec& o : kOptions) width = std::max(width, left(o).size());
  for (const OptSpec& o : kOptions) std::fprintf(out, "  %-*s  %s\n", (int)width, left(o).c_str(), o.help);
  std::fprintf(out,
               "\nOptions may also be written in $XDG_CONFIG_HOME/tarvellin/tarvellin.conf, one\n"
               "'option value' (or 'option=value') a line, without the dashes; # starts a\n"
               "comment. The command line wins. In paths, ~ is the home folder.\n"
               "\nWithout --data the game looks for image/ and sound/ in the working directory,\n"
               "beside the program, in ../share/tarvellin from the program, then in\n"
               "$XDG_DATA_HOME/tarvellin and each of $XDG_DATA_DIRS/tarvellin.\n"
               "\nThe texts follow the desktop's language as gettext programs choose it (LANGUAGE,\n"
               "LC_ALL, LC_MESSAGES, LANG): Russian, no locale or C give the original Russian, a\n"
               "language the game has gives it, any other English. --lang CODE chooses instead;\n"
               "the languages are: %s.\n"
               "\nControls:\n"
               "  arrows           steer\n"
               "  left Ctrl        fire\n"
               "  A / S            switch the ship\n"
               "  Q / W            switch the space background\n"
               "  O / P            faster / slower game\n"
               "  Esc, left Alt    quit (Esc also leaves the Authors screen)\n"
               "  mouse            choose Start, Authors or Exit in the menu\n"
               "  F10              mute or unmute the sound\n"
               "  F11              switch between window and full screen\n"
               "  F12              save a screenshot as a PNG file\n"
               "\nGamepad, in play:\n"
               "  left stick, D-pad          steer\n"
               "  south (A), right trigger   fire\n"
               "  left / right shoulder      switch the ship (A / S)\n"
               "  west / north button        switch the space background (Q / W)\n"
               "  right stick up / down      faster / slower game\n"
               "  Back                       quit (Esc)\n"
               "In the menu and on the Authors screen the left stick moves the cursor, the D-pad\n"
               "nudges it and the south button clicks; Back (and east, B, on the Authors screen)\n"
               "is Esc.\n"
               "\n--map names KEY as SDL names keys ('Space', 'Z', 'Right Ctrl') or a pad button\n"
               "as pad:NAME ('pad:a', 'pad:leftshoulder'); GAMEKEY is one of Left Right Up Down\n"
               "LCtrl A S Q W O P Esc LAlt, or none: --map 'Left Alt=none' --map Space=LCtrl.\n"
               "A gamecontrollerdb.txt beside tarvellin.conf adds pad mappings.\n",
               lang_codes().c_str());
}
