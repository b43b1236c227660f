# The two commands a player or a packager needs: `make run` and `make test`.
PRESET ?= release
ARGS ?=

.PHONY: all setup build run test test-asan fuzz clean windows windows-zip

all: build

setup:
	@scripts/setup

build/$(PRESET)/build.ninja:
	cmake --preset $(PRESET)

build: setup build/$(PRESET)/build.ninja
	cmake --build --preset $(PRESET)

# Starts the game in the folder of generated pictures and sounds.
run: build
	cd build/$(PRESET)/data && ../tarvellin $(ARGS)

# Unit, scenario and end-to-end tests; then the sanitizer build; then a minute of fuzzing per reader.
test: build
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
