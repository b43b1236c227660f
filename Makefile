# The two commands a player or a packager needs: `make run` and `make test`.
PRESET ?= release
ARGS ?=
PREFIX ?= /usr/local

.PHONY: all setup build run test test-asan fuzz install deb clean

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

# The game, its tools, default data, icon, desktop entry, metainfo and man page under PREFIX
# (DESTDIR=... stages them elsewhere, as packagers do).
install: build
	cmake --install build/$(PRESET) --prefix $(PREFIX)

# A Debian package in build/$(PRESET)/package, its dependencies found by dpkg-shlibdeps.
deb: build
	cd build/$(PRESET) && cpack -G DEB

clean:
	rm -rf build
