# Top-level entry points. Each installs what its task needs (scripts/install-deps), then
# configures and builds incrementally in build/.
BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

FUZZ_SECONDS ?= 30

.PHONY: all build run test test-asan fuzz bench package clean

all: build

$(BUILD)/CMakeCache.txt:
	@scripts/install-deps run
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

# The two programs only: what `make run` needs.
build: $(BUILD)/CMakeCache.txt
	@scripts/install-deps run
	cmake --build $(BUILD) -j$(JOBS) --target aquarium-maker aquarium-tool

run: build
	@scripts/run-sample $(BUILD)

# Everything, then every test.
test: $(BUILD)/CMakeCache.txt
	@scripts/install-deps test
	cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

# The whole test suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan:
	@scripts/install-deps test
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DAQUARIUM_SANITIZE=ON
	cmake --build build-asan -j$(JOBS)
	cd build-asan && QT_QPA_PLATFORM=offscreen \
		ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/fuzz/lsan.supp:print_suppressions=0 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --output-on-failure -j$(JOBS)

# The libFuzzer targets (clang), each run for FUZZ_SECONDS; FUZZ_TARGETS names some of them
# (aquarium_file, fish_character, ...), all when empty.
fuzz:
	@scripts/install-deps fuzz
	cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
		-DAQUARIUM_FUZZ=ON
	cmake --build build-fuzz -j$(JOBS)
	scripts/run-fuzz build-fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# The benchmarks; configuring again finds Google Benchmark once it is installed.
bench: $(BUILD)/CMakeCache.txt
	@scripts/install-deps bench
	cmake -S . -B $(BUILD)
	cmake --build $(BUILD) -j$(JOBS)
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && QT_QPA_PLATFORM=offscreen "$$b"; done; true

# The Debian package, in $(BUILD)/package.
package: $(BUILD)/CMakeCache.txt
	@scripts/install-deps test
	cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && cpack -G DEB -B $(CURDIR)/$(BUILD)/package

clean:
	rm -rf $(BUILD) build-asan build-fuzz
