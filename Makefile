# Entry points for newcomers and CI. The build itself is CMake + Ninja under build/.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: all deps configure test demo bench fuzz test-asan clean format

all: configure
	cmake --build $(BUILD) -j $(JOBS)

deps:
	@scripts/deps.sh

configure: deps
	@test -f $(BUILD)/build.ninja || cmake -S . -B $(BUILD) -G Ninja $(CMAKE_ARGS)

test: all
	scripts/run-tests.sh $(BUILD)

demo: all
	$(BUILD)/velmora-cli demo out/

bench:
	@scripts/deps.sh --bench
	@test -f $(BENCH_BUILD)/build.ninja || cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DVLM_BUILD_BENCH=ON -DVLM_BUILD_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	scripts/run-bench.sh $(BENCH_BUILD)

test-asan: deps
	@test -f $(ASAN_BUILD)/build.ninja || cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVLM_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=0 scripts/run-tests.sh $(ASAN_BUILD)

fuzz:
	@scripts/deps.sh --fuzz
	@test -f $(FUZZ_BUILD)/build.ninja || CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja \
	    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVLM_SANITIZE=ON -DVLM_BUILD_FUZZ=ON -DVLM_BUILD_TESTS=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	scripts/run-fuzz.sh $(FUZZ_BUILD)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD) out
