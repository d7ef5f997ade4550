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
