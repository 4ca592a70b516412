# Thin wrappers; the real work is in scripts/ and CMake.
BUILD_DIR := build
JOBS := $(shell nproc)

.PHONY: run test bench soak build deps clean

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

# The soak run for ten minutes instead of the suite's one.
soak: build
	QM_SOAK_SECONDS=600 bash scripts/run-tests.sh -R '^e2e\.soak$$'

clean:
	rm -rf $(BUILD_DIR)
