# The front door. `make run` and `make test` each install what is missing,
# configure, build (the show's data included) and then play / test. Each
# target installs only the package tiers it needs (scripts/packages).
BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?=
TIERS ?= run
TESTS ?= OFF

.PHONY: all deps configure build run test test-build bench test-sanitize fuzz format-check contact-sheet screenshots \
  storyboard score-report install clean

all: build

deps:
	@scripts/install-deps $(TIERS)

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAVELD_TESTS=$(TESTS) -DKAVELD_BENCH=$(TESTS) \
	  $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	cd $(BUILD) && ./kaveld

# The build with its tests and benchmarks.
test-build:
	@$(MAKE) --no-print-directory build TIERS="$(or $(filter-out run,$(TIERS)),test)" TESTS=ON

test: test-build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS) --timeout 600

# One benchmark at a time: they measure the machine.
bench: test-build
	@cmake --build $(BUILD) -j1 --target bench

# The whole suite once more under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: export LSAN_OPTIONS = suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0
test-sanitize:
	@$(MAKE) --no-print-directory test BUILD=build-asan TIERS=sanitize CMAKE_FLAGS="-DKAVELD_SANITIZE=ON -DKAVELD_BENCH=OFF"

# libFuzzer targets, each run for FUZZ_SECONDS.
FUZZ_SECONDS ?= 60
fuzz:
	@scripts/install-deps fuzz
	@cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DKAVELD_FUZZ=ON -DKAVELD_TESTS=OFF -DKAVELD_BENCH=OFF -DKAVELD_FUZZ_SECONDS=$(FUZZ_SECONDS) >/dev/null
	@cmake --build build-fuzz -j$(JOBS) --target fuzz
	@cmake --build build-fuzz --target fuzz-run

contact-sheet screenshots storyboard score-report:
	@$(MAKE) --no-print-directory build TIERS=sheets
	@cmake --build $(BUILD) --target $@

# The house style: clang-format 14 over every C and C++ source.
format-check:
	@scripts/install-deps format
	@git ls-files -z '*.cpp' '*.h' '*.c' | xargs -0 clang-format-14 --dry-run --Werror

install: build
	cmake --install $(BUILD) --prefix $(or $(PREFIX),/usr/local)

clean:
	rm -rf build build-asan build-fuzz build-win64 build-win32 build-web dist

# ---------------------------------------------------------------- Windows
# The Windows programs, cross-built with mingw-w64: build-win64/kaveld.exe and
# the 32-bit build-win32/kaveld.exe, each with its own libopenmpt built from
# Debian's source package (kept in build-win64/ for both).
.PHONY: windows windows-target test-windows release
windows:
	@$(MAKE) --no-print-directory build TIERS=windows
	@$(MAKE) --no-print-directory windows-target WIN=win64 ARCH=x86_64
	@$(MAKE) --no-print-directory windows-target WIN=win32 ARCH=i686

windows-target:
	@scripts/build-openmpt-windows $(ARCH) build-$(WIN)/openmpt build-win64
	@cmake -S . -B build-$(WIN) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake -DKAVELD_WINDOWS_ARCH=$(ARCH) \
	  -DKAVELD_OPENMPT_PREFIX=$(CURDIR)/build-$(WIN)/openmpt -DCMAKE_BUILD_TYPE=Release -DKAVELD_TESTS=ON \
	  $(CMAKE_FLAGS) >/dev/null
	@cmake --build build-$(WIN) -j$(JOBS)

# Both programs under wine on a private Xvfb, with the data the Linux build generates.
test-windows: windows
	@scripts/install-deps test-windows
	@timeout -k 10 1200 /usr/bin/python3 tests/windows/wine_test.py --linux-build $(BUILD) build-win64 build-win32

# The archives in dist/: the Windows and Linux programs, and the browser site.
release: windows web
	@scripts/release $(BUILD) build-win64 build-win32 dist
	@cd dist && rm -f kaveld-1.0-web.zip && zip -qrX kaveld-1.0-web.zip kaveld-1.0-web && echo "release: kaveld-1.0-web.zip"

# ---------------------------------------------------------------- web
# The show in a browser, built with emscripten into build-web/ (libopenmpt
# and FreeType from Debian's source packages kept there); the page makes the
# show's data itself: dist/kaveld-1.0-web/ is a static site any web server serves.
WEB_DIST = dist/kaveld-1.0-web
EMSCRIPTEN_ENV = NODE_PATH=/usr/share/nodejs
.PHONY: web serve-web test-web bench-web web-test-deps
web:
	@scripts/install-deps web
	@$(EMSCRIPTEN_ENV) scripts/build-openmpt-web build-web/openmpt
	@$(EMSCRIPTEN_ENV) scripts/build-freetype-web build-web/freetype
	@$(EMSCRIPTEN_ENV) emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release \
	  -DKAVELD_OPENMPT_PREFIX=$(CURDIR)/build-web/openmpt -DKAVELD_FREETYPE_PREFIX=$(CURDIR)/build-web/freetype >/dev/null
	@$(EMSCRIPTEN_ENV) cmake --build build-web -j$(JOBS)
	@rm -rf $(WEB_DIST) && mkdir -p $(WEB_DIST) && cp build-web/site/* LICENSE res/third-party-notices.txt $(WEB_DIST)/
	@echo "web: $(WEB_DIST)/ ($$(du -sh $(WEB_DIST) | cut -f1))"

serve-web: web
	@scripts/serve-web $(WEB_DIST) $(or $(PORT),8000)

web-test-deps:
	@scripts/install-deps test-web
	@command -v npm >/dev/null || scripts/install-deps npm
	@cd tests/web && npm ci --no-audit --no-fund --loglevel=error

# In headless Chromium: the form, the show, its end, and its frames against the capture tool's;
# then the contract suite on the web backend.
test-web: web web-test-deps
	@$(MAKE) --no-print-directory build TIERS=test-web
	@timeout -k 10 1500 node tests/web/web_test.mjs --site $(WEB_DIST) --linux-build $(BUILD)
	@$(EMSCRIPTEN_ENV) cmake --build build-web -j$(JOBS) --target contract_web
	@timeout -k 10 400 node tests/web/contract_test.mjs --site build-web/contract

bench-web: web web-test-deps
	@$(MAKE) --no-print-directory build TIERS=test-web
	@timeout -k 10 900 node tests/web/web_bench.mjs --site $(WEB_DIST) --linux-build $(BUILD)

# ---------------------------------------------------------------- Debian package
# The package of the build (cmake/deb.cmake), and its tests: contents, lintian,
# and the package unpacked into a throwaway root, its programs run from there.
DEB = dist/kaveld_1.0-1_amd64.deb
.PHONY: deb test-deb
deb:
	@$(MAKE) --no-print-directory build TIERS=deb
	@rm -rf $(BUILD)/deb
	@cd $(BUILD) && cpack --config CPackConfig.cmake -B deb >/dev/null
	@mkdir -p dist && cp $(BUILD)/deb/$(notdir $(DEB)) $(DEB)
	@echo "deb: $(DEB)"

test-deb:
	@scripts/install-deps test-deb
	@$(MAKE) --no-print-directory deb
	@timeout -k 10 900 /usr/bin/python3 tests/deb/deb_test.py $(BUILD) $(DEB)
