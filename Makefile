# make run: install, build and start Velmora (with a simulated receiver on COM1).
# make test: install, build and run every test.
# make check: every test under the address and undefined-behaviour sanitizers, and the tests
#   with threads (serial link, main window) under the thread sanitizer.
# make golden: the decoded outputs of the real captures, written anew into tests/golden.
# make bench: the speed figures of bench/RESULTS.md; make fuzz: each fuzz target for a while.
# make soak: a 24-hour stream replayed through the main window, then the long fault variants
#   (about an hour; SOAK_EPOCHS=N shortens the stream).
# Only these targets install missing Debian packages (tools/install-deps.sh); make, make install
# and make package never call apt-get or sudo: without the packages their configure fails.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test check soak bench fuzz clean golden

all: build

deps:
	@tools/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The packages first, then the build (a prerequisite list would not order them under -j).
run: deps
	@$(MAKE) --no-print-directory build
	@tools/run-with-sim.sh $(BUILD)

test: deps
	@$(MAKE) --no-print-directory build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 ctest --output-on-failure -j $(JOBS)

# Golden outputs: velmora-decode over every capture in ../shared/captures, written anew into
# tests/golden (review the diff; a changed output is explained in its commit).
golden: build
	tests/golden/golden.sh make $(BUILD)/tools/velmora-decode $(CURDIR)/../shared/captures

# Speed and memory figures (see bench/RESULTS.md); needs gpsdecode for the comparison.
bench: deps
	@tools/install-deps.sh gpsd-clients bc python3
	@$(MAKE) --no-print-directory build
	cmake --build $(BUILD) -j $(JOBS) --target bench_PlotBench bench_ReplayTickBench \
	  bench_RecordingBench bench_SerialLinkBench
	$(BUILD)/bench/bench_PlotBench
	$(BUILD)/bench/bench_ReplayTickBench
	$(BUILD)/bench/bench_RecordingBench
	$(BUILD)/bench/bench_SerialLinkBench
	bench/scripts/decode-speed.sh $(BUILD) 9
	bench/scripts/bytepath.py $(BUILD) 10
	bench/scripts/netpath.py $(BUILD) 10 60

# Each fuzz target for FUZZ_SECONDS (clang, libFuzzer, address and undefined sanitizers).
FUZZ_SECONDS ?= 600
fuzz: deps
	@tools/install-deps.sh clang libclang-rt-14-dev
	tests/fuzz/run.sh build-fuzz $(FUZZ_SECONDS)

# Sanitizer builds at -O1 with line tables only, and only the programs the runs need.
SANITIZER_CMAKE = -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1"
ASAN_TARGETS = test_base test_platform test_serial test_nmea test_app test_plots test_tools \
  velmora-sim velmora-decode velmora-shot
TSAN_TARGETS = test_serial test_app velmora-sim velmora-shot
TSAN_LABELS = ^(serial|app)$$
SUPPRESSIONS = $(CURDIR)/tests/sanitizers
CHECK_ENV = QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 \
  ASAN_OPTIONS=detect_leaks=1 \
  LSAN_OPTIONS=suppressions=$(SUPPRESSIONS)/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  TSAN_OPTIONS=suppressions=$(SUPPRESSIONS)/tsan.supp:print_suppressions=0:second_deadlock_stack=1

check: deps
	cmake -S . -B build-asan $(SANITIZER_CMAKE) -DVELMORA_SANITIZE=ON
	cmake --build build-asan -j $(JOBS) --target $(ASAN_TARGETS)
	cd build-asan && $(CHECK_ENV) ctest --output-on-failure -j $(JOBS)
	cmake -S . -B build-tsan $(SANITIZER_CMAKE) -DVELMORA_TSAN=ON
	cmake --build build-tsan -j $(JOBS) --target $(TSAN_TARGETS)
	cd build-tsan && $(CHECK_ENV) ctest --output-on-failure -j $(JOBS) -L '$(TSAN_LABELS)'

SOAK_EPOCHS ?= 86400
soak: deps
	@$(MAKE) --no-print-directory build
	SOAK_EPOCHS=$(SOAK_EPOCHS) tests/soak/soak.sh $(BUILD)

clean:
	rm -rf $(BUILD) build-asan build-tsan build-fuzz

# make install: the program, the tools, the font mapping, the desktop entry, icons and man
# pages under PREFIX (default /usr/local); DESTDIR=/some/root stages them there.
PREFIX ?= /usr/local
.PHONY: install package package-check screenshots

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# make package: the Debian package in $(BUILD)/velmora_*.deb.
package: build
	rm -f $(BUILD)/velmora_*.deb
	cd $(BUILD) && cpack -G DEB

# make package-check: installs that package in a clean Debian 12 root and runs it there.
package-check: package
	packaging/package-check.sh $(BUILD)

# make screenshots: regenerates the README's pictures in docs/ from a simulated drive.
screenshots: build
	docs/make-screenshots.sh $(BUILD)
