# The front door. `make run` and `make test` each install what is missing,
# configure, build (the show's data included) and then play / test.
BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench test-sanitize fuzz contact-sheet screenshots storyboard install clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	cd $(BUILD) && ./kaveld

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS) --timeout 600

# One benchmark at a time: they measure the machine.
bench: build
	@cmake --build $(BUILD) -j1 --target bench

# The whole suite once more under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: export LSAN_OPTIONS = suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0
test-sanitize:
	@$(MAKE) --no-print-directory test BUILD=build-asan CMAKE_FLAGS="-DKAVELD_SANITIZE=ON -DKAVELD_BENCH=OFF"

# libFuzzer targets, each run for FUZZ_SECONDS.
FUZZ_SECONDS ?= 60
fuzz: deps
	@cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DKAVELD_FUZZ=ON -DKAVELD_TESTS=OFF -DKAVELD_BENCH=OFF -DKAVELD_FUZZ_SECONDS=$(FUZZ_SECONDS) >/dev/null
	@cmake --build build-fuzz -j$(JOBS) --target fuzz
	@cmake --build build-fuzz --target fuzz-run

contact-sheet: build
	@cmake --build $(BUILD) --target contact-sheet

screenshots: build
	@cmake --build $(BUILD) --target screenshots

storyboard: build
	@cmake --build $(BUILD) --target storyboard

install: build
	cmake --install $(BUILD) --prefix $(or $(PREFIX),/usr/local)

clean:
	rm -rf build build-asan build-fuzz build-win64 build-win32 dist

# ---------------------------------------------------------------- Windows
# The Windows programs, cross-built with mingw-w64: build-win64/kaveld.exe and
# the 32-bit build-win32/kaveld.exe, each with its own libopenmpt built from
# Debian's source package (kept in build-win64/ for both).
.PHONY: windows windows-target test-windows release
windows: deps
	@$(MAKE) --no-print-directory windows-target WIN=win64 ARCH=x86_64
	@$(MAKE) --no-print-directory windows-target WIN=win32 ARCH=i686

windows-target:
	@scripts/build-openmpt-windows $(ARCH) build-$(WIN)/openmpt build-win64
	@cmake -S . -B build-$(WIN) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake -DKAVELD_WINDOWS_ARCH=$(ARCH) \
	  -DKAVELD_OPENMPT_PREFIX=$(CURDIR)/build-$(WIN)/openmpt -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) >/dev/null
	@cmake --build build-$(WIN) -j$(JOBS)

# Both programs under wine on a private Xvfb, with the data the Linux build generates.
test-windows: build windows
	@timeout -k 10 1200 /usr/bin/python3 tests/windows/wine_test.py --linux-build $(BUILD) build-win64 build-win32

# The three archives in dist/.
release: build windows
	@scripts/release $(BUILD) build-win64 build-win32 dist
