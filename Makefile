# The two commands a fresh Debian machine needs: `make run` and `make test`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= 2

.PHONY: all deps configure build run test test-asan monkey bench fuzz clean install deb

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
ASAN_CONFIGURE = [ -f $(ASAN_BUILD)/CMakeCache.txt ] || cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DANIVOR_SANITIZE=ON -DANIVOR_BENCH=OFF
test-asan: deps
	@$(ASAN_CONFIGURE)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j $(JOBS) --timeout 900

# The monkey test under the sanitizers for MONKEY_SECONDS (half an hour) on a display of
# its own, from a fresh seed it prints; MONKEY_SEED=N replays a run.
MONKEY_SECONDS ?= 1800
monkey: deps
	@$(ASAN_CONFIGURE)
	cmake --build $(ASAN_BUILD) -j $(JOBS) --target anivor-monkey anivor-cli
	ASAN_OPTIONS=detect_leaks=0 ANIVOR_SCRIPT_RUNNER=$(ASAN_BUILD)/bin/anivor-cli $(ASAN_BUILD)/tests/anivor-monkey --xvfb --seconds $(MONKEY_SECONDS) $(if $(MONKEY_SEED),--seed $(MONKEY_SEED))

bench: build
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; $$b; done

# libFuzzer targets (clang), one after another, each FUZZ_SECONDS long, each from its seed
# corpus (scripts/fuzz-seeds.py) plus what earlier runs found (the inputs that found faults
# are kept in fuzz/found/TARGET). Every target runs; the
# run fails at the end when any of them found a crash.
FUZZ_SECONDS ?= 600
fuzz: deps
	@[ -f build-fuzz/CMakeCache.txt ] || CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DANIVOR_FUZZ=ON -DANIVOR_BENCH=OFF
	cmake --build build-fuzz -j $(JOBS) --target fuzz_targets
	python3 scripts/fuzz-seeds.py build-fuzz/seeds
	@failed=""; \
	for f in build-fuzz/fuzz/fuzz_*; do \
		[ -f "$$f" ] && [ -x "$$f" ] || continue; \
		name=$$(basename $$f); echo "== $$name"; \
		mkdir -p build-fuzz/corpus/$$name build-fuzz/artifacts/$$name; \
		$$f -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/$$name/ \
			build-fuzz/corpus/$$name build-fuzz/seeds/$$name $$(ls -d fuzz/found/$$name 2>/dev/null) || failed="$$failed $$name"; \
	done; \
	if [ -n "$$failed" ]; then echo "Crashes found by:$$failed (see build-fuzz/artifacts/)"; exit 1; fi

# Installs under PREFIX (default /usr/local), below DESTDIR when given (a staging root).
PREFIX ?= /usr/local
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# A Debian package of the same files, in $(BUILD)/ (see its dependencies: dpkg -I FILE.deb).
deb: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-fuzz
