# make run: install, build and start Velmora (with a simulated receiver on COM1).
# make test: install, build and run every test.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench clean

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

clean:
	rm -rf $(BUILD)
