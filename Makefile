# The two commands of the README: `make run` and `make test`.
BUILD   ?= build
JOBS    ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build run test bench clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

configure: $(BUILD)/CMakeCache.txt

build: deps configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-velmora $(BUILD)

test: build
	cd $(BUILD) && $(CURDIR)/scripts/headless ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && $(CURDIR)/scripts/headless $$b || true; done
	cd $(BUILD)/run && $(CURDIR)/scripts/headless ../velmora --frames 300 --benchmark

clean:
	rm -rf $(BUILD)
