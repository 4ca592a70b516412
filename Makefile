# Thin wrappers; the real work is in scripts/ and CMake.
BUILD_DIR := build
ASAN_DIR := build-asan
FUZZ_DIR := build-fuzz
JOBS := $(shell nproc)
# Seconds per fuzz target: make fuzz, and the short run inside make test.
FUZZ_SECONDS ?= 60
TEST_FUZZ_SECONDS ?= 10

.PHONY: run test bench soak build build-asan build-fuzz fuzz deps clean check-debian13 check-debian13-package deb

deps:
	bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_DIR) -j$(JOBS)

# The same code and tests with AddressSanitizer and UBSan.
build-asan: deps
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_SANITIZE=address,undefined
	cmake --build $(ASAN_DIR) -j$(JOBS)

# The libFuzzer targets of tests/fuzz, built with the release's clang (the one
# scripts/install-deps.sh installs).
build-fuzz: deps
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=$$(bash scripts/install-deps.sh --fuzz-compiler) -DQM_FUZZ=ON \
	  -DQM_FUZZ_TEST_SECONDS=$(TEST_FUZZ_SECONDS)
	cmake --build $(FUZZ_DIR) -j$(JOBS) --target fuzzers

fuzz: build-fuzz
	bash scripts/run-fuzzers.sh $(FUZZ_SECONDS)

run: build
	cd data && ../$(BUILD_DIR)/quellmoor

test: build build-asan build-fuzz windows web deb
	bash scripts/run-tests.sh

bench: build
	bash scripts/run-bench.sh

# The soak run for ten minutes instead of the suite's one, unsanitized.
soak: build
	QM_SOAK_SECONDS=600 QM_SANITIZED=0 bash scripts/run-tests.sh -R '^soak$$'

# The Debian package, built by debhelper from debian/ and checked by lintian:
# build-deb/quellmoor_<version>_amd64.deb (the version is CMakeLists.txt's).
deb: deps
	bash debian/make-deb.sh

# The README's make test on a fresh Debian 13 in a chroot, from the committed
# HEAD (needs root; not part of make test). See the script.
# Then the package built here by make deb is installed with apt-get into a
# second fresh Debian 13 and started under Xvfb; check-debian13-package does that step alone.
check-debian13: deb
	bash scripts/check-debian13.sh

check-debian13-package: deb
	bash scripts/check-debian13.sh --package

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR) build-windows build-web build-deb

# The game for Windows, cross-built with MinGW-w64: build-windows/quellmoor-windows.zip.
# Its libraries are built once into ~/.cache/quellmoor-windows (tools/windows/build.sh).
.PHONY: windows
windows: build
	bash tools/windows/build.sh

# The game in a browser (WebGL 2), built with Debian's emscripten: build-web/
# holds the page, ready to serve. Its libraries are built once into
# ~/.cache/quellmoor-web (tools/web/build.sh).
.PHONY: web
web: build
	bash tools/web/build.sh
