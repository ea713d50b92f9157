# Thin wrapper over CMake. `make run` and `make test` set everything up on a fresh Debian 12.
BUILD     ?= build
BUILDTYPE ?= RelWithDebInfo
CMAKEFLAGS ?=
JOBS      ?= $(shell nproc)

.PHONY: all deps configure build run test check package install clean fuzz bench windows

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

PREFIX ?= /usr/local
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

# Builds the libFuzzer targets with clang and runs each for FUZZ_SECONDS.
FUZZ_SECONDS ?= 180
FUZZ_TARGETS := fuzz_reader fuzz_json fuzz_layout fuzz_commatext
fuzz: deps
	@CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DSHENBAO_BENCH=OFF -DSHENBAO_FUZZ=ON >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target $(FUZZ_TARGETS)
	@for t in $(FUZZ_TARGETS); do mkdir -p build-fuzz/corpus-$$t; done
	@cp samples/*.xdx fuzz/seeds/reader/* build-fuzz/corpus-fuzz_reader/
	@cp samples/*.json fuzz/seeds/json/* build-fuzz/corpus-fuzz_json/
	@printf '\x80\x01  本课题研究 the design of a study,\r\n\r\n第二段：一二三四五六七八九十。\r\n' \
	  > build-fuzz/corpus-fuzz_layout/seed
	@# fontconfig keeps its caches to the end of the process: no leak of ours.
	@for t in $(FUZZ_TARGETS); do \
	  leaks=1; [ $$t = fuzz_layout ] && leaks=0; \
	  dict=; [ $$t = fuzz_reader ] && dict=-dict=fuzz/xml.dict; \
	  ASAN_OPTIONS=detect_leaks=$$leaks QT_QPA_PLATFORM=offscreen build-fuzz/fuzz/$$t $$dict \
	    -max_total_time=$(FUZZ_SECONDS) -max_len=65536 -print_final_stats=1 build-fuzz/corpus-$$t || exit 1; \
	done

# Builds in release mode and runs the benchmarks.
bench: deps
	@cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build-bench -j $(JOBS) --target bench_core bench_report
	build-bench/bench/bench_core
	QT_QPA_PLATFORM=offscreen build-bench/bench/bench_report

# The Windows program (cross-built against ../shared/winsdk), its tests under Wine, the setup
# program and the zip in build-windows/. Needs the Linux build for its picture renderer.
windows: build
	@BUILD=$(BUILD) JOBS=$(JOBS) $(if $(WINSDK_ARCHIVE),WINSDK_ARCHIVE=$(WINSDK_ARCHIVE)) scripts/windows/make-windows.sh

clean:
	@rm -rf $(BUILD) build-asan build-fuzz build-bench build-windows
