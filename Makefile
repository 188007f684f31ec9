# Set-up and everyday commands. `make run` and `make test` install what is missing first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)
SAMPLE     ?= data/samples/chelsea.png
FUZZ_SECONDS ?= 60

CMAKE_FLAGS ?=
ifneq ($(CI),)
CMAKE_FLAGS += -DQM_WERROR=ON
endif

.PHONY: deps configure build run test tidy asan fuzz fuzz-qt bench package clean

deps:
	@bash scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/quillmoor $(SAMPLE)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# clang-tidy's limits (.clang-tidy) on the source files changed against main.
tidy: configure
	bash scripts/tidy-changed $(BUILD)

# Core tests once more under AddressSanitizer and UndefinedBehaviorSanitizer (no Qt).
asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DQM_WITH_QT=OFF -DQM_SANITIZE=ON -DQM_BENCH=OFF \
	  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS) -L core

# libFuzzer targets, each run for a bounded time.
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DQM_WITH_QT=OFF -DQM_FUZZ=ON -DQM_TESTS=OFF -DQM_BENCH=OFF \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	bash scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The fuzzers that need Qt (its image readers), in a Qt build of their own.
fuzz-qt: deps
	cmake -S . -B $(FUZZ_BUILD)-qt -G Ninja -DQM_WITH_QT=ON -DQM_FUZZ=ON -DQM_TESTS=OFF -DQM_BENCH=OFF \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_BUILD)-qt -j $(JOBS) --target fuzz_qt_codec
	bash scripts/run-fuzzers $(FUZZ_BUILD)-qt $(FUZZ_SECONDS)

# The Debian package (build/package/quillmoor_<version>_<arch>.deb), dependencies computed.
package: build
	cmake --build $(BUILD) --target package

bench: build
	bash scripts/run-benchmarks $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(FUZZ_BUILD)-qt
