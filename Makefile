# Two commands: `make run` builds and starts Ostrevi under Wine; `make test` builds every
# preset and runs every test. Both install what is missing on a fresh Debian 12 machine.

# What the presets compile with (MinGW: -posix for x86_64, -win32 for i686; host g++, clang with its fuzzer and
# sanitizer run-times), the zlib1.dll shipped beside each program, what the tests run in (wine64
# in an Xvfb), GoogleTest's sources, libpng, the reference of the PNG reader's native tests, and giflib, the
# reference of the GIF fuzz target and bench.
PACKAGES := cmake ninja-build g++ clang libclang-rt-14-dev g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-win32 \
            libz-mingw-w64 wine64 xvfb googletest libpng-dev libgif-dev libpixman-1-dev pkg-config
PRESETS := win64 win32 native fuzz
WINE := /usr/lib/wine/wine64

.PHONY: run test deps build-% all

run: deps build-win64
	@tools/wine-prefix build/win64 run
	@if [ -n "$${DISPLAY:-}" ]; then \
	  echo "starting Ostrevi on $$DISPLAY"; \
	  WINEPREFIX=$(CURDIR)/build/win64/runprefix WINEDEBUG=-all $(WINE) build/win64/bin/Ostrevi.exe; \
	else \
	  echo "no DISPLAY: starting Ostrevi in a fresh Xvfb"; \
	  tools/with-xvfb env WINEPREFIX=$(CURDIR)/build/win64/runprefix WINEDEBUG=-all $(WINE) build/win64/bin/Ostrevi.exe; \
	fi

test: deps $(addprefix build-,$(PRESETS))
	@tools/run-tests

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "installing:$$missing"; \
	  SUDO=""; [ "$$(id -u)" -eq 0 ] || SUDO=sudo; \
	  $$SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq $$missing; \
	fi

build-%:
	@cmake --preset $* >/dev/null
	@cmake --build --preset $*

all: $(addprefix build-,$(PRESETS))
