# The two commands a player or a packager needs: `make run` and `make test`.
PRESET ?= release
ARGS ?=
PREFIX ?= /usr/local

.PHONY: all setup setup-web build run test web web-run test-asan fuzz install deb bench windows windows-zip clean

all: build

setup:
	@scripts/setup

# What the browser build adds: Emscripten, binaryen, Chromium and the DevTools client for its tests.
setup-web:
	@scripts/setup --web

build/$(PRESET)/build.ninja:
	cmake --preset $(PRESET)

build: setup build/$(PRESET)/build.ninja
	cmake --build --preset $(PRESET)

# Starts the game in the folder of generated pictures and sounds.
run: build
	cd build/$(PRESET)/data && ../tarvellin $(ARGS)

# Unit, scenario, end-to-end and browser tests (the browser build first); then the sanitizer
# build; then a minute of fuzzing per target.
test: build web
	ctest --preset $(PRESET) -j2
	$(MAKE) --no-print-directory test-asan
	$(MAKE) --no-print-directory fuzz

# The unit and scenario tests again, under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: setup
	test -f build/asan/build.ninja || cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan -j2

# The BMP and WAV readers under libFuzzer, FUZZ_SECONDS (default 60) each.
fuzz: setup
	scripts/fuzz

# The game, its tools, default data, icon, desktop entry, metainfo, man pages, copyright and
# changelog under PREFIX (DESTDIR=... stages them elsewhere, as packagers do).
install: build
	cmake --install build/$(PRESET) --prefix $(PREFIX)

# A Debian package in build/$(PRESET)/package, its dependencies found by dpkg-shlibdeps.
deb: build
	cd build/$(PRESET) && cpack -G DEB

# The game for Windows, cross-built with MinGW-w64: build/windows/tarvellin.exe (ARCH=i686 for
# 32-bit, into build/windows-i686).
ARCH ?= x86_64
WINDOWS_DIR = build/windows$(if $(filter-out x86_64,$(ARCH)),-$(ARCH))
windows: setup
	test -f $(WINDOWS_DIR)/build.ninja || cmake -S . -B $(WINDOWS_DIR) -G Ninja \
	  --toolchain cmake/mingw-w64.cmake -DTARVELLIN_MINGW_ARCH=$(ARCH) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(WINDOWS_DIR)

# The Windows build with the generated pictures and sounds and a README: build/tarvellin-windows.zip.
windows-zip: build windows
	scripts/windows-zip $(WINDOWS_DIR)/tarvellin.exe build/$(PRESET)/data build/tarvellin-windows.zip

clean:
	rm -rf build

# The game in the browser: build/web/ is a static site (index.html, tarvellin.js, .wasm, .data)
# with its zip; it takes the native build's pictures and sounds.
web: build setup-web
	test -f build/web-build/build.ninja || NODE_PATH=/usr/share/nodejs cmake --preset web
	cmake --build --preset web

# Serves build/web/ on the loopback address.
WEB_PORT ?= 8000
web-run: web
	@echo "Tarvellin in the browser: http://127.0.0.1:$(WEB_PORT)/"
	cd build/web && python3 -m http.server $(WEB_PORT) --bind 127.0.0.1

# Benchmarks, ours beside SDL's and memcpy's in the same run (medians of BENCH_REPS), headless
# and then under Xvfb for the present into a real X window; ends with the RATIO lines.
BENCH_REPS ?= 5
bench: build
	cd build/$(PRESET) && TARVELLIN_DATA=$$PWD/data ./tarvellin_bench --benchmark_repetitions=$(BENCH_REPS) \
		--benchmark_report_aggregates_only=true --benchmark_min_time=0.2
	cd build/$(PRESET) && TARVELLIN_DATA=$$PWD/data SDL_VIDEODRIVER=x11 xvfb-run -a -s "-screen 0 1280x1024x24" \
		./tarvellin_bench --benchmark_repetitions=$(BENCH_REPS) --benchmark_report_aggregates_only=true \
		--benchmark_min_time=0.2 --benchmark_filter='Present|Memcpy32'
