# The two set-up commands of the README. Both install what is missing (Debian packages),
# configure and build only what is out of date, then run.
BUILD   := build
BUILD32 := build-i686
JOBS    := $(shell nproc)

PACKAGES := cmake make g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix \
            binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 googletest \
            wine wine64 fonts-wine libgl1 libgl1-mesa-dri xvfb xdotool x11-utils imagemagick
SUDO := $(if $(filter 0,$(shell id -u)),,sudo)

.PHONY: run test deps build build32

run: deps build
	tools/run.sh $(BUILD)

test: deps build build32
	tools/test.sh $(BUILD)

deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake

$(BUILD32)/CMakeCache.txt:
	cmake -S . -B $(BUILD32) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake

build: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# The 32-bit build cannot run here (no 32-bit Wine): it is compiled and linked only.
build32: $(BUILD32)/CMakeCache.txt
	cmake --build $(BUILD32) -j $(JOBS)
