# Thin driver around CMake; every build is out of source.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)
EXAMPLE ?= ring.xml
FUZZ_BUILD ?= build-fuzz
PACKAGE_BUILD ?= build-package
PREFIX ?= /usr/local
FUZZ_SECONDS ?= 60
FUZZ_RUNS ?= -1
FUZZ_TEXT_LIMIT ?= 512

.PHONY: all configure build run test test-sanitize bench fuzz install deb format clean

all: build

# Each target first installs the Debian packages it needs and the machine lacks. The build
# configures the tests too, so it needs GoogleTest.
DEPS = tools/install-deps

configure:
	$(DEPS) test
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEVO_WERROR=ON \
	  -DCMAKE_INSTALL_PREFIX=$(PREFIX)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Runs zevo inside examples/, since include names are taken relative to the working directory.
run: configure
	cmake --build $(BUILD) -j $(JOBS) --target zevo
	cd examples && ../$(BUILD)/zevo $(EXAMPLE)
	@echo "---- $$(basename $(EXAMPLE) .xml).csv ----"
	@cat examples/$$(basename $(EXAMPLE) .xml).csv

test: build
	$(DEPS) drawing
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-sanitize:
	$(DEPS) sanitize
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DZEVO_SANITIZE=ON -DZEVO_WERROR=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# The reference cut search runs in the benchmark process: its address space stays below 8 GB.
bench:
	$(DEPS) bench
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DZEVO_BENCHMARKS=ON -DZEVO_WERROR=ON
	cmake --build build-bench -j $(JOBS) --target zevo_bench
	ulimit -v 8388608 && ./build-bench/bench/zevo_bench

# Each libFuzzer target of fuzz/ runs FUZZ_SECONDS (or until FUZZ_RUNS executions, when given) on
# its own corpus, kept in $(FUZZ_BUILD)/corpus and seeded with the example and test documents (the
# reader also with a tag, a text and indentation just over the size limit); a crash leaves its
# reproducer in $(FUZZ_BUILD). Their build lowers the reader's size limit to FUZZ_TEXT_LIMIT
# characters, and the reader's inputs are kept to twice that: short inputs reach the limit and
# everything past it, and run many times faster than inputs over the limit of the program users
# run. The long run: make fuzz FUZZ_SECONDS=14400 FUZZ_RUNS=10000000.
FUZZ_SEEDS = examples/*.xml tests/data/*.xml tests/data/e2e/*.xml fuzz/seeds/*
fuzz:
	$(DEPS) fuzz
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DZEVO_FUZZ=ON -DZEVO_FUZZ_TEXT_LIMIT=$(FUZZ_TEXT_LIMIT) -DZEVO_WERROR=ON -DBUILD_TESTING=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target zevo_fuzz_xml_reader zevo_fuzz_run
	rm -rf $(FUZZ_BUILD)/seeds && mkdir -p $(FUZZ_BUILD)/seeds
	for seed in $(FUZZ_SEEDS); do cp $$seed $(FUZZ_BUILD)/seeds/$$(echo $$seed | tr / _); done
	rm -rf $(FUZZ_BUILD)/seeds-long && mkdir -p $(FUZZ_BUILD)/seeds-long
	{ printf '<zevo><name>'; head -c $$(($(FUZZ_TEXT_LIMIT) + 4)) /dev/zero | tr '\0' n; printf '</name></zevo>'; } \
	  > $(FUZZ_BUILD)/seeds-long/long-text
	{ printf '<zevo><'; head -c $$(($(FUZZ_TEXT_LIMIT) + 4)) /dev/zero | tr '\0' t; printf '/></zevo>'; } \
	  > $(FUZZ_BUILD)/seeds-long/long-tag
	{ printf '<zevo><lc/>'; head -c $$(($(FUZZ_TEXT_LIMIT) + 4)) /dev/zero | tr '\0' ' '; printf '<lc/></zevo>'; } \
	  > $(FUZZ_BUILD)/seeds-long/long-indentation
	for target in xml_reader run; do \
	  long=; limit=; \
	  [ $$target = xml_reader ] && long=$(FUZZ_BUILD)/seeds-long && \
	    limit=-max_len=$$((2 * $(FUZZ_TEXT_LIMIT))); \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$target && \
	  $(FUZZ_BUILD)/fuzz/zevo_fuzz_$$target -max_total_time=$(FUZZ_SECONDS) -runs=$(FUZZ_RUNS) \
	    -print_final_stats=1 $$limit \
	    -dict=fuzz/zevo.dict -artifact_prefix=$(abspath $(FUZZ_BUILD))/ \
	    $(FUZZ_BUILD)/corpus/$$target $(FUZZ_BUILD)/seeds $$long || exit 1; \
	done

# Installs zevo, its manual page and the examples under PREFIX; DESTDIR, when given, is put
# before it.
install: configure
	cmake --build $(BUILD) -j $(JOBS) --target zevo
	DESTDIR=$(DESTDIR) cmake --install $(BUILD)

# The Debian package zevo_<version>_<arch>.deb in $(PACKAGE_BUILD), built without the tests.
deb:
	$(DEPS) deb
	cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=Release -DZEVO_WERROR=ON \
	  -DBUILD_TESTING=OFF -DCMAKE_INSTALL_PREFIX=/usr -DZEVO_DEBIAN_LAYOUT=ON
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	cd $(PACKAGE_BUILD) && cpack -G DEB

format:
	$(DEPS) format
	clang-format -i $$(git ls-files '*.cc' '*.h')

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) build-bench $(FUZZ_BUILD) $(PACKAGE_BUILD)
