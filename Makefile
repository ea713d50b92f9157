# Thin wrapper over CMake. `make run` and `make test` set everything up on a fresh Debian 12.
BUILD     ?= build
BUILDTYPE ?= RelWithDebInfo
CMAKEFLAGS ?=
JOBS      ?= $(shell nproc)

.PHONY: all deps configure build run test check package install clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILDTYPE) -DSHENBAO_WERROR=ON $(CMAKEFLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@$(BUILD)/app/shenbao $(ARGS)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

check: test

package: build
	@cd $(BUILD) && cpack -G DEB

clean:
	@rm -rf $(BUILD)
