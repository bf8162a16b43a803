# Ixo: `make` builds build/win/Ixo.exe; `make test`, `make run` and the
# other commands first install whatever they miss (tools/install-deps.sh,
# each command only the packages it uses).
SHELL := /bin/bash
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
SOAK ?= 10
CMAKE_GEN := -G Ninja

.PHONY: all deps win native asan test test-native test-win soak run bench fuzz dist clean

all: win

deps: deps-test

deps-%:
	@tools/install-deps.sh $*

build/win/build.ninja:
	cmake -S . -B build/win $(CMAKE_GEN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release

build/native/build.ninja:
	cmake -S . -B build/native $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release

build/asan/build.ninja:
	cmake -S . -B build/asan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DIXO_SANITIZE=ON

build/bench/build.ninja:
	cmake -S . -B build/bench $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DIXO_TESTS=OFF -DIXO_BENCH=ON

build/fuzz/build.ninja:
	cmake -S . -B build/fuzz $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DIXO_TESTS=OFF -DIXO_FUZZ=ON \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++

win: build/win/build.ninja
	@cmake --build build/win -j $(JOBS) --target Ixo

native: build/native/build.ninja
	@cmake --build build/native -j $(JOBS)

asan: build/asan/build.ninja
	@cmake --build build/asan -j $(JOBS)

# Everything, the independent stages side by side (see tools/test.sh).
test: deps
	@JOBS=$(JOBS) tools/test.sh

test-native: native asan
	@set -o pipefail; cd build/native && ctest --output-on-failure -j $(JOBS) | tail -n 3
	@set -o pipefail; cd build/asan && ctest --output-on-failure -j $(JOBS) | tail -n 3

test-win: build/win/build.ninja
	@cmake --build build/win -j $(JOBS)
	@python3 tests/winrun.py build/win

# The Windows tests and the end-to-end suite SOAK times in a row: how many
# runs failed, and which cases.
soak: deps build/win/build.ninja
	@cmake --build build/win -j $(JOBS)
	@tools/soak.sh build/win $(SOAK)

run: deps-run
	@$(MAKE) --no-print-directory win
	@tools/run.sh

bench: deps-bench build/bench/build.ninja build/win/build.ninja
	@cmake --build build/bench -j $(JOBS)
	build/bench/ixo_bench --benchmark_out=build/bench.json --benchmark_out_format=json
	@cmake build/win -DIXO_BENCH=ON >/dev/null
	@cmake --build build/win -j $(JOBS) --target Ixo ixoctl clipview ixo_win_bench
	@tools/winenv.sh python3 bench/footprint.py build/win
	@tools/winenv.sh wine build/win/ixo_win_bench.exe build/win-bench.json

fuzz: deps-fuzz build/fuzz/build.ninja
	@cmake --build build/fuzz -j $(JOBS)
	@tools/fuzz.sh build/fuzz $(FUZZ_SECONDS)

dist: deps-dist
	@$(MAKE) --no-print-directory win
	@tools/dist.sh

clean:
	rm -rf build
