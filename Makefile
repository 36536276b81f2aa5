# make run  : install what is missing, build (Release) and floorplan the bundled Verilog example
# make run-pipeline : the same for the bundled pipeline description
# make test : install what is missing, build, run every test, then again under the sanitizers
JOBS ?= 2

.PHONY: deps build run run-pipeline test test-release test-asan bench fuzz fuzz-build clean

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build build -j $(JOBS)

run: build
	@bash scripts/run-example.sh verilog

run-pipeline: build
	@bash scripts/run-example.sh pipeline

test-release: build
	ctest --test-dir build --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOSVO_SANITIZE=ON -DOSVO_BENCH=OFF
	cmake --build build-asan -j $(JOBS)
	ctest --test-dir build-asan --output-on-failure -j $(JOBS)

test: test-release test-asan

# Fuzzing: every reader's libFuzzer target, FUZZ_SECONDS (default 60) each.
FUZZ_SECONDS ?= 60
FUZZ_SEED ?=
fuzz-build: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DOSVO_FUZZ=ON -DOSVO_TESTS=OFF -DOSVO_BENCH=OFF
	cmake --build build-fuzz -j $(JOBS)

fuzz: fuzz-build
	FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_SEED=$(FUZZ_SEED) bash scripts/run-fuzz.sh

bench: build
	@bash bench/run-all.sh

clean:
	rm -rf build build-asan build-fuzz
