# What the README's commands run (through tools/make.sh, which installs make itself). Each
# target installs the Debian packages that are missing, then configures and builds only
# what is out of date.
BUILD   := build
BUILD32 := build-i686
JOBS    := $(shell nproc)

PACKAGES := cmake make g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix \
            binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 googletest \
            wine wine64 fonts-wine libgl1 libgl1-mesa-dri xvfb xdotool x11-utils imagemagick \
            clang-format
SUDO := $(if $(filter 0,$(shell id -u)),,sudo)

# A run and a test may start together: their builds take turns on the build folder (flock),
# and then they run apart (own Xvfb each, own Wine prefix each). Two that need one prefix do
# not share it: the second says which command holds it and stops (tools/wine-session.sh).
LOCK = mkdir -p $(1) && flock $(1)/.build-lock

.PHONY: run test docs bench deps exe build build32 format format-check

run: deps exe
	tools/run.sh $(BUILD)

test: deps format-check build build32
	tools/test.sh $(BUILD)

# The README's picture: one headless run recorded into docs/.
docs: deps exe
	env -u DISPLAY tools/run.sh $(BUILD) docs/kervalen

# Kervalen against a raw Win32 + Direct3D 9 program doing the same work (bench/README.md).
bench: deps
	$(call LOCK,$(BUILD)) sh -c '$(call CONFIGURE,$(BUILD),mingw-x86_64) && cmake --build $(BUILD) -j $(JOBS) --target Kervalen banc_brut horodatage'
	bench/bench.sh $(BUILD)

# One layout for every tracked C++ file, product, tests and benchmark (.clang-format):
# `make format` rewrites them in it, `make test` first checks that none differs from it.
CXX_FILES = $(shell git ls-files '*.cpp' '*.h')
format: deps
	clang-format -i $(CXX_FILES)

format-check: deps
	@out=$$(clang-format --dry-run -Werror $(CXX_FILES) 2>&1) || { \
	  echo "Not in the layout of .clang-format (make format rewrites them):" >&2; \
	  echo "$$out" | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error:.*/  \1/p' | sort -u >&2; exit 1; }

deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  if [ -n "$(SUDO)" ] && ! command -v sudo >/dev/null; then \
	    echo "Missing packages: $$missing; run as root or install sudo" >&2; exit 1; fi; \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -qq && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	fi

# Configures until the build system exists: a configure that failed or was interrupted leaves
# CMakeCache.txt but no Makefile, and the next command configures again. Once it exists, the
# build itself runs CMake again when a CMakeLists.txt changes.
CONFIGURE = [ -f $(1)/Makefile ] || cmake -S . -B $(1) -DCMAKE_TOOLCHAIN_FILE=cmake/$(2).cmake $(3)

# Only the program, not the tests: what `make run` needs.
exe:
	$(call LOCK,$(BUILD)) sh -c '$(call CONFIGURE,$(BUILD),mingw-x86_64) && cmake --build $(BUILD) -j $(JOBS) --target Kervalen'

build:
	$(call LOCK,$(BUILD)) sh -c '$(call CONFIGURE,$(BUILD),mingw-x86_64) && cmake --build $(BUILD) -j $(JOBS)'

# The 32-bit build cannot run here (no 32-bit Wine): the program, the benchmark's raw program and
# the tests are compiled and linked only, which is what checks their calling conventions. A tree
# configured when the tests were left out of it gets them.
build32:
	$(call LOCK,$(BUILD32)) sh -c '$(call CONFIGURE,$(BUILD32),mingw-i686) && \
	  { ! grep -q "^KERVALEN_TESTS:BOOL=OFF" $(BUILD32)/CMakeCache.txt || cmake $(BUILD32) -DKERVALEN_TESTS=ON; } && \
	  cmake --build $(BUILD32) -j $(JOBS)'
