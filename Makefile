# Thin driver around CMake; every build is out of source.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)
EXAMPLE ?= ring.xml

.PHONY: all configure build run test test-sanitize bench format clean

all: build

configure:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Runs zevo inside examples/, since include names are taken relative to the working directory.
run: configure
	cmake --build $(BUILD) -j $(JOBS) --target zevo
	cd examples && ../$(BUILD)/zevo $(EXAMPLE)
	@echo "---- $$(basename $(EXAMPLE) .xml).csv ----"
	@cat examples/$$(basename $(EXAMPLE) .xml).csv

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-sanitize:
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DZEVO_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# The reference cut search runs in the benchmark process: its address space stays below 8 GB.
bench:
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DZEVO_BENCHMARKS=ON
	cmake --build build-bench -j $(JOBS) --target zevo_bench
	ulimit -v 8388608 && ./build-bench/bench/zevo_bench

format:
	clang-format -i $$(git ls-files '*.cc' '*.h')

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) build-bench
