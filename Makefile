# The two commands a fresh Debian machine needs: `make run` and `make test`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= 2

.PHONY: all deps configure build run test test-asan bench fuzz clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@[ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Starts the program; without a display it runs under a virtual one.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ] || [ -n "$$QT_QPA_PLATFORM" ]; then \
		$(BUILD)/bin/anivor; \
	else \
		echo "No display found: starting Anivor under xvfb-run."; \
		xvfb-run -a -s "-screen 0 1280x1024x24" $(BUILD)/bin/anivor; \
	fi

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 600

# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	@[ -f $(ASAN_BUILD)/CMakeCache.txt ] || cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DANIVOR_SANITIZE=ON -DANIVOR_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j $(JOBS) --timeout 900

bench: build
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; $$b; done

# libFuzzer targets (clang); FUZZ_SECONDS per target.
FUZZ_SECONDS ?= 600
fuzz: deps
	@[ -f build-fuzz/CMakeCache.txt ] || CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DANIVOR_FUZZ=ON -DANIVOR_BENCH=OFF
	cmake --build build-fuzz -j $(JOBS) --target fuzz_targets
	@for f in build-fuzz/fuzz/fuzz_*; do echo "== $$f"; mkdir -p build-fuzz/corpus/$$(basename $$f); $$f -max_total_time=$(FUZZ_SECONDS) build-fuzz/corpus/$$(basename $$f) || exit 1; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-fuzz
