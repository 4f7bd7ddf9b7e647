# The two commands of the README: `make run` and `make test`.
BUILD   ?= build
JOBS    ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build run test bench clean fuzz test-sanitize soak mutants look

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

configure: $(BUILD)/CMakeCache.txt

build: deps configure
	cmake --build $(BUILD) -j $(JOBS)

# Only the program and its run folder: a test that does not build does not stop it.
run: deps configure
	cmake --build $(BUILD) -j $(JOBS) --target velmora
	@scripts/run-velmora $(BUILD)

# A test that fails is run once more before the suite fails: under a loaded
# machine the shared X server now and then refuses a connection.
CTEST_FLAGS ?= --output-on-failure -j $(JOBS) --repeat until-pass:2
test: build
	cd $(BUILD) && $(CURDIR)/scripts/headless ctest $(CTEST_FLAGS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && $(CURDIR)/scripts/headless $$b || true; done
	@scripts/bench-frames $(BUILD)

# The enhanced look measured against the default picture: figures and contact
# sheets in $(BUILD)/look/. Not part of the test suite.
look: build
	@scripts/look $(BUILD)

clean:
	rm -rf $(BUILD)

# The whole test suite again with the address and undefined-behaviour
# checkers. Leaks inside the GL driver, Qt's platform plugin and D-Bus are suppressed;
# ours are not. The software GL driver is preloaded so that it stays loaded
# until the leak check, which can then name its blocks.
SANITIZE_BUILD ?= build-sanitize
GL_DRIVER ?= $(firstword $(wildcard /usr/lib/*/dri/swrast_dri.so))
SANITIZE_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=0:verify_asan_link_order=0 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitize/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_SANITIZE=ON
	$(SANITIZE_ENV) $(CURDIR)/scripts/headless cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && $(SANITIZE_ENV) $(CURDIR)/scripts/headless env LD_PRELOAD=$(GL_DRIVER) \
	  ctest $(CTEST_FLAGS)

# Fuzzing: every reader of user files under libFuzzer with the address and
# undefined-behaviour checkers, FUZZ_SECONDS each, one at a time. New inputs
# collect in build-fuzz/corpus; the committed seeds stay as they are.
FUZZ_SECONDS ?= 60
FUZZ_BUILD   ?= build-fuzz
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVELMORA_FUZZ=ON -DVELMORA_SANITIZE=ON -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets run_folder
	@set -e; for t in $(FUZZ_BUILD)/fuzz/fuzz_*; do \
	  n=$${t##*/fuzz_}; mkdir -p $(FUZZ_BUILD)/corpus/$$n; \
	  echo "fuzz: $$n for $(FUZZ_SECONDS) s"; \
	  d=$(CURDIR)/fuzz/$$n.dict; [ -f $$d ] && d=-dict=$$d || d=; \
	  (cd $(FUZZ_BUILD)/run && $(CURDIR)/$$t $$d -max_total_time=$(FUZZ_SECONDS) -timeout=30 -print_final_stats=1 \
	    -artifact_prefix=$(CURDIR)/$(FUZZ_BUILD)/crash-$$n- \
	    $(CURDIR)/$(FUZZ_BUILD)/corpus/$$n $(CURDIR)/fuzz/corpus/$$n >$(CURDIR)/$(FUZZ_BUILD)/fuzz-$$n.log 2>&1) \
	    || { tail -40 $(FUZZ_BUILD)/fuzz-$$n.log; exit 1; }; \
	  grep -aE "^stat::number_of_executed_units|DONE" $(FUZZ_BUILD)/fuzz-$$n.log | tail -2; \
	done

# The long scripted session: the dialogs test's session cycle repeated for
# SOAK_SECONDS, memory watched.
SOAK_SECONDS ?= 1800
soak: build
	cd $(BUILD)/run && VELMORA_SOAK_SECONDS=$(SOAK_SECONDS) $(CURDIR)/scripts/headless \
	  ../tests/dialogs/dialogs_gl_tests --gtest_filter=Session.*

# The mutation run: every fault of tests/mutants/*.txt applied alone to a
# scratch copy of the tree; fails when a listed fault survives the suite.
# MUTANTS_MODULE=wind runs one list, MUTANTS_SECONDS bounds the whole run.
mutants: deps
	@$(CURDIR)/scripts/headless $(CURDIR)/scripts/mutants
