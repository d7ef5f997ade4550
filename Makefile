# make run: install, build and start Velmora (with a simulated receiver on COM1).
# make test: install, build and run every test.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench fuzz clean

all: build

deps:
	@tools/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@tools/run-with-sim.sh $(BUILD)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 ctest --output-on-failure -j $(JOBS)

# Speed and memory figures (see bench/RESULTS.md); needs gpsdecode for the comparison.
bench: build
	@tools/install-deps.sh gpsd-clients bc python3
	cmake --build $(BUILD) -j $(JOBS) --target bench_PlotBench bench_ReplayTickBench
	$(BUILD)/bench/bench_PlotBench
	$(BUILD)/bench/bench_ReplayTickBench
	bench/scripts/decode-speed.sh $(BUILD) 9
	bench/scripts/bytepath.py $(BUILD) 10

# Each fuzz target for FUZZ_SECONDS (clang, libFuzzer, address and undefined sanitizers).
FUZZ_SECONDS ?= 600
fuzz: deps
	@tools/install-deps.sh clang libclang-rt-14-dev
	tests/fuzz/run.sh build-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD)
