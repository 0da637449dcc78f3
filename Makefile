# Korvex3D: `make run` plays the demo, `make test` runs every test.
BUILD        ?= build
PREFIX       ?= /usr/local
BUILD_TYPE   ?= RelWithDebInfo
JOBS         ?= $(shell nproc 2>/dev/null || echo 2)
FUZZ_SECONDS ?= 60
FUZZ_SMOKE_SECONDS ?= 10
# The smoke pass of `make test` mutates from a fixed seed, so that it fails on a
# regression rather than on what one run happens to find; `make fuzz` explores.
FUZZ_SMOKE_SEED ?= 1
# The package tree compiles the same sources as $(BUILD) in another folder: ccache shares
# the objects when the folder is not part of their key (sources are named by absolute path).
export CCACHE_NOHASHDIR = 1

DEBIAN_PACKAGES = cmake make g++ clang pkg-config \
  libsdl2-dev libsdl2-mixer-dev libjpeg62-turbo-dev libfreetype-dev libfontconfig-dev \
  fonts-dejavu-core libgl-dev libglu1-mesa-dev libgl1-mesa-dri libegl1 libegl-mesa0 \
  libgtest-dev libgmock-dev libbenchmark-dev libclang-rt-14-dev lib3ds-dev libassimp-dev \
  ffmpeg sox libsox-fmt-mp3 xvfb xauth libpng-dev libx11-dev libxtst-dev

# Packages, manual pages, the API reference and the installed-package check.
DEBIAN_PACKAGES += help2man doxygen imagemagick lintian dpkg-dev file ccache

.PHONY: all deps configure build data run test test-asan bench fuzz install uninstall package docs check-package clean

all: build

deps:
	@sh tools/install-deps.sh $(DEBIAN_PACKAGES)

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DCMAKE_INSTALL_PREFIX=$(PREFIX) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

data: build
	@if [ -x $(BUILD)/tools/datagen/datagen ]; then $(BUILD)/tools/datagen/datagen $(BUILD)/data; fi

run: data
	@sh tools/run-demo.sh $(BUILD)

test: data
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@if command -v clang++ >/dev/null 2>&1; then $(MAKE) --no-print-directory fuzz FUZZ_SECONDS=$(FUZZ_SMOKE_SECONDS) FUZZ_SEED=$(FUZZ_SMOKE_SEED); fi

# Everything again with AddressSanitizer and UndefinedBehaviorSanitizer. Test discovery
# runs the test programs at build time, so the build gets the same options.
# The GL driver is preloaded for the tests so that it is still mapped when the leak check
# runs (SDL unloads it at exit, leaving its allocations without names to suppress by).
ASAN_FLAGS = detect_leaks=1:strict_string_checks=1
SANITIZER_ENV = ASAN_OPTIONS=$(ASAN_FLAGS) \
  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
MESA_PRELOAD = $(wildcard /usr/lib/*/dri/swrast_dri.so /usr/lib/*/libEGL_mesa.so.0)
SANITIZER_TEST_ENV = $(SANITIZER_ENV) ASAN_OPTIONS=$(ASAN_FLAGS):verify_asan_link_order=0 \
  LD_PRELOAD="$(MESA_PRELOAD)"
test-asan: deps
	@cmake -S . -B $(BUILD)-asan -DCMAKE_BUILD_TYPE=Debug -DKVX_SANITIZE=ON >/dev/null
	@$(SANITIZER_ENV) cmake --build $(BUILD)-asan -j $(JOBS)
	@if [ -x $(BUILD)-asan/tools/datagen/datagen ]; then $(SANITIZER_ENV) $(BUILD)-asan/tools/datagen/datagen $(BUILD)-asan/data; fi
	@cd $(BUILD)-asan && $(SANITIZER_TEST_ENV) ctest --output-on-failure -j $(JOBS)

bench: data
	@cmake -S . -B $(BUILD) -DKVX_BUILD_BENCH=ON >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target kvx_bench
	@cd $(BUILD) && ./bench/kvx_bench $(BENCH_ARGS)

# libFuzzer targets (clang); each runs FUZZ_SECONDS seconds.
fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(BUILD)-fuzz -DKVX_BUILD_FUZZ=ON -DKVX_BUILD_TESTS=OFF -DKVX_BUILD_DEMO=OFF >/dev/null
	@cmake --build $(BUILD)-fuzz -j $(JOBS)
	@FUZZ_SEED=$(FUZZ_SEED) sh fuzz/run-all.sh $(BUILD)-fuzz $(FUZZ_SECONDS) $(abspath $(BUILD))/data

# An existing build is installed as it is: no package check, no new configuration.
install:
	@if [ ! -f $(BUILD)/CMakeCache.txt ]; then $(MAKE) --no-print-directory configure; fi
	@cmake --build $(BUILD) -j $(JOBS)
	@cmake --install $(BUILD) --prefix $(PREFIX)

uninstall:
	@cmake -DKVX_PREFIX=$(PREFIX) -P $(BUILD)/Uninstall.cmake

# Debian packages in $(BUILD)/, from a tree of their own configured for /usr.
DEB_BUILD = $(BUILD)-deb
package: deps
	@cmake -S . -B $(DEB_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
	  -DKVX_BUILD_TESTS=OFF >/dev/null
	@cmake --build $(DEB_BUILD) -j $(JOBS)
	@mkdir -p $(BUILD)
	@cd $(DEB_BUILD) && cpack -G DEB -B $(abspath $(BUILD)) >/dev/null
	@rm -rf $(BUILD)/_CPack_Packages
	@ls -1 $(BUILD)/*.deb

# The API reference: HTML in $(BUILD)/docs/api; an undocumented public name fails it.
docs:
	@sh docs/api/make-docs.sh $(BUILD)/docs

# Installs the packages on this machine, uses them as a user would, removes them again.
check-package: package
	@sh tests/install/check-package.sh $(BUILD)

clean:
	@rm -rf $(BUILD)
