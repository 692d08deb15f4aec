# Harvestline: the two commands a newcomer needs are `make run` and `make test`.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= 2
CTEST_ARGS ?=
# Kills per mode of `make test-soak`; 100 for the long run by hand. SOAK_SEED replays a run.
SOAK_KILLS ?= 12

.PHONY: deps build run test test-unit test-interop test-gui test-soak test-asan test-tsan package bench fuzz fuzz-smoke format clean

deps:
	@scripts/install-deps.sh

# Order-only: configuring needs the packages, but a later `make deps` must not force a reconfigure.
# Without it `make -j build` may configure before the packages are installed.
$(BUILD_DIR)/build.ninja: | deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: deps $(BUILD_DIR)/build.ninja
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/src/harvestline

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) -LE soak $(CTEST_ARGS)

test-unit:
	$(MAKE) test CTEST_ARGS="-L unit"

test-interop:
	$(MAKE) test CTEST_ARGS="-L interop"

test-gui:
	$(MAKE) test CTEST_ARGS="-L gui"

# The Debian package, $(BUILD_DIR)/harvestline_<version>_<arch>.deb.
package: build
	@scripts/install-deps.sh --package
	cd $(BUILD_DIR) && cpack -G DEB

# The kill-and-resume soak, one mode after another, with each mode's seed and outcome printed.
test-soak: build
	cd $(BUILD_DIR) && SOAK_KILLS=$(SOAK_KILLS) ctest --output-on-failure --verbose -L soak

# The unit, interop and gui tests under AddressSanitizer + UndefinedBehaviorSanitizer (build-asan/)
# and under ThreadSanitizer (build-tsan/).
test-asan: deps
	JOBS=$(JOBS) scripts/sanitize.sh address $(CTEST_ARGS)

test-tsan: deps
	JOBS=$(JOBS) scripts/sanitize.sh thread $(CTEST_ARGS)

bench: build
	@scripts/install-deps.sh --bench
	bench/run.sh $(BUILD_DIR)

fuzz:
	@scripts/install-deps.sh --fuzz
	fuzz/build.sh

# Every fuzz target for a short while from its corpus.
fuzz-smoke: fuzz
	fuzz/smoke.sh

format:
	@scripts/install-deps.sh --format
	find src tests bench fuzz tools -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) build-asan build-tsan build-fuzz
