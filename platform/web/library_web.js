// The browser's side of the web host: DOM events into latched key and mouse state, the Gamepad
// API, the present (WebGL, 2D canvas fallback) and Web Audio. Called from platform/web/*.cpp.
// Under Node there is no document: no events arrive, frames are not shown and there is no sound.
mergeInto(LibraryManager.library, {
  $WebHost: {
    started: false,
    canvas: null,
    // 256 DIK key bytes: held now, and pressed since the last read (a press and release
    // between two reads still counts once).
    held: null,
    pressed: null,
    events: [],  // [kind, value] for the pump: see web.h's WEB_EV_*
    mouse: {dx: 0, dy: 0, wheel: 0, held: 0, pressed: 0, x: 0, y: 0, moved: false},
    focused: true,
    hidden: false,
    gl: null,
    tex: null,
    ctx2d: null,
    image: null,
    lut: null,
    route: 'not presented yet',
    audio: null,

    // KeyboardEvent.code -> DIK code: by position, as DirectInput's codes are.
    codes: {
      Escape: 0x01, Digit1: 0x02, Digit2: 0x03, Digit3: 0x04, Digit4: 0x05, Digit5: 0x06,
      Digit6: 0x07, Digit7: 0x08, Digit8: 0x09, Digit9: 0x0A, Digit0: 0x0B, Minus: 0x0C,
      Equal: 0x0D, Backspace: 0x0E, Tab: 0x0F, KeyQ: 0x10, KeyW: 0x11, KeyE: 0x12, KeyR: 0x13,
      KeyT: 0x14, KeyY: 0x15, KeyU: 0x16, KeyI: 0x17, KeyO: 0x18, KeyP: 0x19, BracketLeft: 0x1A,
      BracketRight: 0x1B, Enter: 0x1C, ControlLeft: 0x1D, KeyA: 0x1E, KeyS: 0x1F, KeyD: 0x20,
      KeyF: 0x21, KeyG: 0x22, KeyH: 0x23, KeyJ: 0x24, KeyK: 0x25, KeyL: 0x26, Semicolon: 0x27,
      Quote: 0x28, Backquote: 0x29, ShiftLeft: 0x2A, Backslash: 0x2B, KeyZ: 0x2C, KeyX: 0x2D,
      KeyC: 0x2E, KeyV: 0x2F, KeyB: 0x30, KeyN: 0x31, KeyM: 0x32, Comma: 0x33, Period: 0x34,
      Slash: 0x35, ShiftRight: 0x36, NumpadMultiply: 0x37, AltLeft: 0x38, Space: 0x39,
      CapsLock: 0x3A, F1: 0x3B, F2: 0x3C, F3: 0x3D, F4: 0x3E, F5: 0x3F, F6: 0x40, F7: 0x41,
      F8: 0x42, F9: 0x43, F10: 0x44, NumLock: 0x45, ScrollLock: 0x46, Numpad7: 0x47,
      Numpad8: 0x48, Numpad9: 0x49, NumpadSubtract: 0x4A, Numpad4: 0x4B, Numpad5: 0x4C,
      Numpad6: 0x4D, NumpadAdd: 0x4E, Numpad1: 0x4F, Numpad2: 0x50, Numpad3: 0x51, Numpad0: 0x52,
      NumpadDecimal: 0x53, IntlBackslash: 0x56, F11: 0x57, F12: 0x58, F13: 0x64, F14: 0x65,
      F15: 0x66, KanaMode: 0x70, IntlRo: 0x73, Convert: 0x79, NonConvert: 0x7B, IntlYen: 0x7D,
      NumpadComma: 0x7E, NumpadEqual: 0x8D, MediaTrackPrevious: 0x90, MediaTrackNext: 0x99,
      NumpadEnter: 0x9C, ControlRight: 0x9D, AudioVolumeMute: 0xA0, LaunchApp2: 0xA1,
      MediaPlayPause: 0xA2, MediaStop: 0xA4, AudioVolumeDown: 0xAE, AudioVolumeUp: 0xB0,
      BrowserHome: 0xB2, NumpadDivide: 0xB5, PrintScreen: 0xB7, AltRight: 0xB8, Pause: 0xC5,
      Home: 0xC7, ArrowUp: 0xC8, PageUp: 0xC9, ArrowLeft: 0xCB, ArrowRight: 0xCD, End: 0xCF,
      ArrowDown: 0xD0, PageDown: 0xD1, Insert: 0xD2, Delete: 0xD3, MetaLeft: 0xDB, OSLeft: 0xDB,
      MetaRight: 0xDC, OSRight: 0xDC, ContextMenu: 0xDD, Power: 0xDE, Sleep: 0xDF, WakeUp: 0xE3,
      BrowserSearch: 0xE5, BrowserFavorites: 0xE6, BrowserRefresh: 0xE7, BrowserStop: 0xE8,
      BrowserForward: 0xE9, BrowserBack: 0xEA, LaunchApp1: 0xEB, LaunchMail: 0xEC,
      MediaSelect: 0xED,
    },

    // Where the game's 1024 x 768 picture sits in the page: the largest rectangle of its
    // proportions in the canvas's box, whole multiples only with integer-scale.
    layout: function() {
      var c = WebHost.canvas;
      if (!c) return;
      var box = c.parentElement || document.body;
      var bw = box.clientWidth || window.innerWidth, bh = box.clientHeight || window.innerHeight;
      var s = Math.min(bw / 1024, bh / 768);
      if (WebHost.integerScale && s >= 1) s = Math.floor(s);
      var w = Math.max(1, Math.floor(1024 * s)), h = Math.max(1, Math.floor(768 * s));
      c.style.width = w + 'px';
      c.style.height = h + 'px';
      // The backing store at device pixels: the GPU scales, the filter says how.
      var dpr = window.devicePixelRatio || 1;
      if (WebHost.gl) {
        c.width = Math.round(w * dpr);
        c.height = Math.round(h * dpr);
      }
    },

    press: function(dik) {
      WebHost.held[dik] = 0x80;
      WebHost.pressed[dik] = 0x80;
    },

    install: function() {
      var c = WebHost.canvas;
      document.addEventListener('keydown', function(e) {
        WebHost.gesture();
        var dik = WebHost.codes[e.code];
        if (!dik) return;
        if (!e.repeat) {
          WebHost.press(dik);
          if (dik == 0x57) WebHost.toggleFullscreen();  // F11
          WebHost.events.push([1, dik]);
        }
        // The game's keys are the game's (no scrolling, no find-as-you-type); F5 reloads and
        // F12 opens the browser's tools as always.
        if (dik != 0x3F && dik != 0x58) e.preventDefault();
      }, true);
      document.addEventListener('keyup', function(e) {
        var dik = WebHost.codes[e.code];
        if (!dik) return;
        WebHost.held[dik] = 0;
        if (dik != 0x3F && dik != 0x58) e.preventDefault();
      }, true);
      c.addEventListener('mousemove', function(e) {
        var r = c.getBoundingClientRect();
        WebHost.mouse.x = (e.clientX - r.left) * 1024 / r.width;
        WebHost.mouse.y = (e.clientY - r.top) * 768 / r.height;
        WebHost.mouse.dx += e.movementX || 0;
        WebHost.mouse.dy += e.movementY || 0;
        WebHost.mouse.moved = true;
      });
      c.addEventListener('mousedown', function(e) {
        WebHost.gesture();
        var b = [0, 2, 1, 3][e.button];
        if (b === undefined) return;
        WebHost.mouse.held |= 1 << b;
        WebHost.mouse.pressed |= 1 << b;
        c.focus();
        e.preventDefault();
      });
      window.addEventListener('mouseup', function(e) {
        var b = [0, 2, 1, 3][e.button];
        if (b !== undefined) WebHost.mouse.held &= ~(1 << b);
      });
      c.addEventListener('contextmenu', function(e) { e.preventDefault(); });
      c.addEventListener('wheel', function(e) {
        WebHost.mouse.wheel += e.deltaY < 0 ? 120 : e.deltaY > 0 ? -120 : 0;
        e.preventDefault();
      }, {passive: false});
      window.addEventListener('blur', function() {
        WebHost.focused = false;
        // Keys held when the focus left are released where nobody sees it.
        WebHost.held.fill(0);
        WebHost.mouse.held = 0;
      });
      window.addEventListener('focus', function() { WebHost.focused = true; });
      document.addEventListener('visibilitychange', function() {
        WebHost.hidden = document.visibilityState == 'hidden';
      });
      window.addEventListener('resize', WebHost.layout);
      var fs = document.getElementById('fullscreen');
      if (fs) fs.addEventListener('click', function() { WebHost.gesture(); WebHost.toggleFullscreen(); });
      // Focused until told otherwise: a headless or freshly opened page may not report the
      // focus it has, and the first blur says it for certain.
      WebHost.focused = true;
      WebHost.hidden = document.visibilityState == 'hidden';
    },

    toggleFullscreen: function() {
      var el = document.getElementById('screen') || WebHost.canvas;
      if (document.fullscreenElement) {
        document.exitFullscreen();
      } else if (el.requestFullscreen) {
        el.requestFullscreen().catch(function() {});
      }
    },

    // Browsers start sound only after a click or key: the first one starts it.
    gesture: function() {
      var a = WebHost.audio;
      if (a && a.ctx.state != 'running') a.ctx.resume();
      if (typeof Module['onSoundStarted'] == 'function' && a) Module['onSoundStarted']();
    },

    // ---- Present.
    // True when WebGL runs on a GPU. A software WebGL (SwiftShader, llvmpipe: headless without a
    // GPU) reads each frame back for the compositor on the main thread, dearer than the 2D
    // canvas. Asked of a canvas of its own: the game's canvas can hold one kind of context only.
    gpuWebGL: function() {
      if (Module['softwareWebGL']) return true;
      var probe = document.createElement('canvas');
      var gl = probe.getContext('webgl2') || probe.getContext('webgl');
      if (!gl) return false;
      var info = gl.getExtension('WEBGL_debug_renderer_info');
      var renderer = info ? String(gl.getParameter(info.UNMASKED_RENDERER_WEBGL)) : '';
      var lose = gl.getExtension('WEBGL_lose_context');
      if (lose) lose.loseContext();
      return !/SwiftShader|llvmpipe|softpipe|Software/i.test(renderer);
    },

    initGL: function(c, smooth) {
      var opts = {alpha: false, antialias: false, depth: false, stencil: false,
                  preserveDrawingBuffer: false, premultipliedAlpha: false,
                  failIfMajorPerformanceCaveat: !Module['softwareWebGL']};  // no GPU: the 2D canvas
      var gl = c.getContext('webgl2', opts), v2 = !!gl;
      if (!gl) gl = c.getContext('webgl', opts) || c.getContext('experimental-webgl', opts);
      if (!gl) return null;
      function shader(type, src) {
        var s = gl.createShader(type);
        gl.shaderSource(s, src);
        gl.compileShader(s);
        return s;
      }
      var p = gl.createProgram();
      gl.attachShader(p, shader(gl.VERTEX_SHADER,
        // The frame's first row is the texture's first: the top of the screen.
        'attribute vec2 a; varying vec2 t; void main() { t = vec2(a.x * 0.5 + 0.5, 0.5 - a.y * 0.5);' +
        ' gl_Position = vec4(a, 0.0, 1.0); }'));
      gl.attachShader(p, shader(gl.FRAGMENT_SHADER,
        'precision mediump float; varying vec2 t; uniform sampler2D s; void main() { gl_FragColor = texture2D(s, t); }'));
      gl.linkProgram(p);
      if (!gl.getProgramParameter(p, gl.LINK_STATUS)) return null;
      gl.useProgram(p);
      var buf = gl.createBuffer();
      gl.bindBuffer(gl.ARRAY_BUFFER, buf);
      gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([-1, -1, 1, -1, -1, 1, 1, 1]), gl.STATIC_DRAW);
      var loc = gl.getAttribLocation(p, 'a');
      gl.enableVertexAttribArray(loc);
      gl.vertexAttribPointer(loc, 2, gl.FLOAT, false, 0, 0);
      var tex = gl.createTexture();
      gl.bindTexture(gl.TEXTURE_2D, tex);
      var filter = smooth ? gl.LINEAR : gl.NEAREST;
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, filter);
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, filter);
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE);
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE);
      gl.pixelStorei(gl.UNPACK_ALIGNMENT, 2);
      WebHost.v2 = v2;
      WebHost.texW = 0;
      WebHost.texH = 0;
      return gl;
    },
  },

  web_start__deps: ['$WebHost'],
  web_start: function(integer_scale, smooth) {
    if (WebHost.started) return 1;
    WebHost.started = true;
    WebHost.held = new Uint8Array(256);
    WebHost.pressed = new Uint8Array(256);
    WebHost.integerScale = !!integer_scale;
    WebHost.smooth = !!smooth;
    if (typeof document == 'undefined') return 1;  // Node: headless, as SDL's offscreen driver
    var c = document.getElementById('canvas');
    if (!c) return 1;
    WebHost.canvas = c;
    c.style.imageRendering = smooth ? 'auto' : 'pixelated';
    c.style.cursor = 'none';  // the game draws its own
    WebHost.install();
    return 1;
  },

  web_window_open__deps: ['$WebHost'],
  web_window_open: function(title) {
    if (typeof document != 'undefined') {
      var t = UTF8ToString(title);
      if (t) document.title = t == 'GAME' ? document.title : t;
    }
    var c = WebHost.canvas;
    if (!c) return;
    c.width = 1024;
    c.height = 768;
    WebHost.gl = !Module['noWebGL'] && WebHost.gpuWebGL() ? WebHost.initGL(c, WebHost.smooth) : null;
    if (WebHost.gl) {
      WebHost.route = 'WebGL texture (RGB 565), scaled on the GPU';
    } else {
      WebHost.ctx2d = c.getContext('2d');
      WebHost.route = '2D canvas (RGB 565 widened on the CPU)';
    }
    Module['presentRoute'] = WebHost.route;
    WebHost.layout();
  },

  web_cursor: function(shown) {
    if (WebHost.canvas) WebHost.canvas.style.cursor = shown ? 'default' : 'none';
  },

  $WebHostShow__deps: ['$WebHost'],
  $WebHostShow: function(px, w, h, pitch) {
    Module['framesShown'] = (Module['framesShown'] || 0) + 1;
    var gl = WebHost.gl;
    if (gl) {
      var rows;
      if (pitch == w * 2) {
        rows = HEAPU16.subarray(px >> 1, (px >> 1) + w * h);
      } else if (WebHost.v2) {
        gl.pixelStorei(gl.UNPACK_ROW_LENGTH, pitch >> 1);
        rows = HEAPU16.subarray(px >> 1, (px >> 1) + (pitch >> 1) * (h - 1) + w);
      } else {
        if (!WebHost.packed || WebHost.packed.length != w * h) WebHost.packed = new Uint16Array(w * h);
        for (var y = 0; y < h; ++y)
          WebHost.packed.set(HEAPU16.subarray((px + y * pitch) >> 1, ((px + y * pitch) >> 1) + w), y * w);
        rows = WebHost.packed;
      }
      if (WebHost.texW != w || WebHost.texH != h) {
        gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGB, w, h, 0, gl.RGB, gl.UNSIGNED_SHORT_5_6_5, rows);
        WebHost.texW = w;
        WebHost.texH = h;
      } else {
        gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, w, h, gl.RGB, gl.UNSIGNED_SHORT_5_6_5, rows);
      }
      if (WebHost.v2 && pitch != w * 2) gl.pixelStorei(gl.UNPACK_ROW_LENGTH, 0);
      gl.viewport(0, 0, gl.drawingBufferWidth, gl.drawingBufferHeight);
      gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
      return;
    }
    var g = WebHost.ctx2d;
    if (!g) return;
    if (!WebHost.image || WebHost.image.width != w || WebHost.image.height != h) {
      WebHost.canvas.width = w;
      WebHost.canvas.height = h;
      WebHost.image = g.createImageData(w, h);
      WebHost.out32 = new Uint32Array(WebHost.image.data.buffer);
      // Each 5.6.5 value widened as the native present widens it (top bits repeated), as RGBA.
      var lut = new Uint32Array(65536);
      for (var v = 0; v < 65536; ++v) {
        var r = v >> 11, gg = (v >> 5) & 63, b = v & 31;
        r = (r << 3) | (r >> 2);
        gg = (gg << 2) | (gg >> 4);
        b = (b << 3) | (b >> 2);
        lut[v] = 0xFF000000 | (b << 16) | (gg << 8) | r;
      }
      WebHost.lut = lut;
    }
    var out = WebHost.out32, l = WebHost.lut, src = HEAPU16;
    for (var y = 0, o = 0; y < h; ++y) {
      var s = (px + y * pitch) >> 1;
      for (var x = 0; x < w; ++x) out[o++] = l[src[s + x]];
    }
    g.putImageData(WebHost.image, 0, 0);
  },

  // A frame drawn is seen only when the browser next composites, after the game yields: the
  // upload waits for the yield (web_present_flush), so that frames presented faster than the
  // browser shows them (a timed demo) cost nothing.
  web_present__deps: ['$WebHost'],
  web_present: function(px, w, h, pitch) {
    WebHost.pending = [px, w, h, pitch];
  },

  // ---- Input.
  web_read_keys__deps: ['$WebHost'],
  web_read_keys: function(out) {
    if (!WebHost.held) return;
    for (var i = 0; i < 256; ++i) HEAPU8[out + i] = WebHost.held[i] | WebHost.pressed[i];
  },
  // The presses latched so far have been seen by a keyboard read: forget them.
  web_keys_seen: function() {
    if (WebHost.pressed) WebHost.pressed.fill(0);
  },

  // out: [dx, dy, wheel, buttons, x, y, moved] as int32
  web_read_mouse__deps: ['$WebHost'],
  web_read_mouse: function(out) {
    var m = WebHost.mouse;
    var o = out >> 2;
    HEAP32[o] = m.dx | 0;
    HEAP32[o + 1] = m.dy | 0;
    HEAP32[o + 2] = m.wheel;
    HEAP32[o + 3] = m.held | m.pressed;
    HEAP32[o + 4] = Math.round(m.x);
    HEAP32[o + 5] = Math.round(m.y);
    HEAP32[o + 6] = m.moved ? 1 : 0;
    m.dx = m.dy = m.wheel = 0;
    m.pressed = 0;
    m.moved = false;
  },
  web_forget_motion: function() {
    var m = WebHost.mouse;
    m.dx = m.dy = m.wheel = 0;
    m.moved = false;
  },

  // The next event for the pump: kind in *value's slot 0, 0 when none is left.
  web_next_event__deps: ['$WebHost'],
  web_next_event: function(value) {
    var e = WebHost.events.shift();
    if (!e) return 0;
    HEAP32[value >> 2] = e[1];
    return e[0];
  },

  // 1 while the page is hidden or has lost the focus.
  web_unfocused: function() {
    return WebHost.hidden || !WebHost.focused ? 1 : 0;
  },

  // The pads through the Gamepad API (standard mapping), in SDL's numbering: buttons[21] as
  // bytes, axes[6] as int32 (sticks -32768..32767, triggers 0..32767). Several pads act as one.
  // Returns how many pads are connected; new presses of Back and B go to the pump as events.
  web_read_pads__deps: ['$WebHost'],
  web_read_pads: function(buttons, axes) {
    if (typeof navigator == 'undefined' || !navigator.getGamepads) return 0;
    var pads = navigator.getGamepads() || [];
    // standard mapping index -> SDL button
    var map = [0, 1, 2, 3, 9, 10, -1, -1, 4, 6, 7, 8, 11, 12, 13, 14, 5];
    var b = new Uint8Array(21), a = [0, 0, 0, 0, 0, 0], n = 0;
    function axis(i, v) {
      v = Math.max(-32768, Math.min(32767, Math.round(v * 32767)));
      if (Math.abs(v) > Math.abs(a[i])) a[i] = v;
    }
    for (var p = 0; p < pads.length; ++p) {
      var pad = pads[p];
      if (!pad || pad.connected === false) continue;
      ++n;
      var pb = pad.buttons || [];
      for (var i = 0; i < pb.length && i < map.length; ++i) {
        var pressed = typeof pb[i] == 'object' ? pb[i].pressed : pb[i] > 0.5;
        if (map[i] >= 0 && pressed) b[map[i]] = 1;
      }
      var ax = pad.axes || [];
      for (var k = 0; k < 4 && k < ax.length; ++k) axis(k, ax[k]);
      if (pb[6]) axis(4, typeof pb[6] == 'object' ? pb[6].value : pb[6]);
      if (pb[7]) axis(5, typeof pb[7] == 'object' ? pb[7].value : pb[7]);
    }
    var was = WebHost.padWas || new Uint8Array(21);
    for (var j = 0; j < 21; ++j) {
      if (b[j] && !was[j]) {
        WebHost.events.push([2, j]);
        WebHost.gesture();
      }
      HEAPU8[buttons + j] = b[j];
    }
    WebHost.padWas = b;
    for (var q = 0; q < 6; ++q) HEAP32[(axes >> 2) + q] = a[q];
    return n;
  },

  // ---- Sound: one AudioContext; the game's mix pulled by a ScriptProcessorNode (no threads
  // here, so the mix runs on the main thread between frames, as the waits yield).
  web_audio_open__deps: ['$WebHost'],
  web_audio_open: function() {
    var AC = typeof window != 'undefined' && (window.AudioContext || window.webkitAudioContext);
    if (!AC) return 0;
    if (WebHost.audio) return WebHost.audio.ctx.sampleRate;
    var ctx;
    try {
      ctx = new AC();
    } catch (e) {
      return 0;
    }
    var frames = 2048;
    var node = ctx.createScriptProcessor(frames, 0, 2);
    var buf = _malloc(frames * 4);
    var a = {ctx: ctx, node: node, buf: buf, frames: frames, paused: false, drainAt: 0};
    WebHost.audio = a;
    node.onaudioprocess = function(e) {
      var out = e.outputBuffer, n = out.length;
      var l = out.getChannelData(0), r = out.getChannelData(1);
      if (a.paused || n > a.frames) {
        l.fill(0);
        r.fill(0);
        return;
      }
      _web_audio_mix(a.buf, n);
      var s = HEAP16, o = a.buf >> 1;
      for (var i = 0; i < n; ++i) {
        l[i] = s[o + 2 * i] / 32768;
        r[i] = s[o + 2 * i + 1] / 32768;
      }
      if (Module['onAudioBlock']) Module['onAudioBlock'](l, r);
    };
    node.connect(ctx.destination);
    // Until a gesture lets the context run, the mix still moves on with the clock (into
    // nothing), so that the game never waits on a sound that cannot play.
    a.drainAt = performance.now();
    a.timer = setInterval(function() {
      var now = performance.now();
      if (ctx.state == 'running' || a.paused) {
        a.drainAt = now;
        return;
      }
      var n = Math.min(a.frames, Math.floor((now - a.drainAt) * ctx.sampleRate / 1000));
      if (n <= 0) return;
      a.drainAt += n * 1000 / ctx.sampleRate;
      _web_audio_mix(a.buf, n);
    }, 20);
    if (ctx.state != 'running' && typeof Module['onSoundBlocked'] == 'function') Module['onSoundBlocked']();
    ctx.onstatechange = function() {
      if (ctx.state == 'running' && typeof Module['onSoundStarted'] == 'function') Module['onSoundStarted']();
    };
    return ctx.sampleRate;
  },

  web_audio_close: function() {
    var a = WebHost.audio;
    if (!a) return;
    clearInterval(a.timer);
    a.node.disconnect();
    a.node.onaudioprocess = null;
    a.ctx.close();
    _free(a.buf);
    WebHost.audio = null;
  },

  web_audio_pause: function(on) {
    var a = WebHost.audio;
    if (a) a.paused = !!on;
  },

  // The frame's route, for the page and the figures.
  web_route: function() {
    return WebHost.route;
  },

  // Yields to the browser without the clamp of a zero timeout (a message posted to ourselves).
  // Forgets a frame held back: its pixels may go with the window.
  web_present_drop: function() {
    WebHost.pending = null;
  },

  // Shows a frame held back by web_present, before the game sleeps.
  web_present_flush__deps: ['$WebHost', '$WebHostShow'],
  web_present_flush: function() {
    var p = WebHost.pending;
    if (!p) return;
    WebHost.pending = null;
    WebHost.shownAt = performance.now();
    WebHostShow(p[0], p[1], p[2], p[3]);
  },

  web_yield__sig: 'v',
  web_yield__deps: ['$WebHost', 'web_present_flush'],
  web_yield: function() {
    if (Asyncify.state === Asyncify.State.Normal) _web_present_flush();
    return Asyncify.handleSleep(function(wakeUp) {
      if (typeof MessageChannel == 'undefined') {
        setTimeout(wakeUp, 0);
        return;
      }
      if (!WebHost.channel) {
        WebHost.channel = new MessageChannel();
        WebHost.channel.port1.onmessage = function() {
          var w = WebHost.wake;
          WebHost.wake = null;
          if (w) w();
        };
      }
      WebHost.wake = wakeUp;
      WebHost.channel.port2.postMessage(0);
    });
  },
});
