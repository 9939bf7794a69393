# Tamrik Screen Print: the two commands are `make demo` and `make test`.
SHELL := /bin/bash
TOP := $(CURDIR)
NATIVE := $(TOP)/build/native
WINDOWS := $(TOP)/build/windows
JOBS := $(shell nproc)

.PHONY: all setup native windows test test-native test-windows demo run package bench fuzz clean

all: windows

# Only the set-up installs packages and builds the mingw libraries; the two
# builds find what it left with CMake's own find modules.
setup:
	@bash scripts/setup.sh

native:
	@cmake -S . -B $(NATIVE) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

windows:
	@cmake -S . -B $(WINDOWS) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=$(TOP)/cmake/mingw-w64.cmake >/dev/null
	@cmake --build $(WINDOWS) -j $(JOBS)

test-native: setup
	@$(MAKE) --no-print-directory native
	@cd $(NATIVE) && ctest --output-on-failure

test-windows: setup
	@$(MAKE) --no-print-directory windows
	@bash scripts/testenv.sh run -- bash -c 'cd $(WINDOWS) && ctest --output-on-failure'

# Set-up, both builds, every test.
test: setup
	@$(MAKE) --no-print-directory native windows
	@cd $(NATIVE) && ctest --output-on-failure
	@bash scripts/testenv.sh run -- bash -c 'cd $(WINDOWS) && ctest --output-on-failure'

demo: setup
	@$(MAKE) --no-print-directory windows
	@bash scripts/demo.sh

run: setup
	@$(MAKE) --no-print-directory windows
	@bash scripts/run.sh

package: setup
	@$(MAKE) --no-print-directory windows
	@bash scripts/package.sh

bench: setup
	@cmake -S . -B $(TOP)/build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAMRIK_SANITIZE=OFF >/dev/null
	@cmake --build $(TOP)/build/bench -j $(JOBS)
	@bash scripts/bench-images.sh
	@bash scripts/bench-app.sh

# Every fuzz target in turn, FUZZ_SECONDS each (default 120); FUZZ_TARGETS
# names some of them, e.g. make fuzz FUZZ_SECONDS=600 FUZZ_TARGETS="picture devmode".
fuzz: setup
	@FUZZ_SECONDS="$(FUZZ_SECONDS)" bash scripts/fuzz.sh $(FUZZ_TARGETS)

clean:
	rm -rf $(NATIVE) $(WINDOWS) $(TOP)/build/bench
