# Thin wrappers; the real work is in scripts/ and CMake.
BUILD_DIR := build
JOBS := $(shell nproc)

.PHONY: run test bench build deps clean

deps:
	bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_DIR) -j$(JOBS)

run: build
	cd data && ../$(BUILD_DIR)/quellmoor

test: build
	bash scripts/run-tests.sh

bench: build
	bash scripts/run-bench.sh

clean:
	rm -rf $(BUILD_DIR)
