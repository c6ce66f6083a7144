# Two entry points that do all the set-up on a fresh Debian 12 machine:
#   make run   install what is missing, build, start Krelix
#   make test  install what is missing, build, run every test
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= 2
CMAKE_FLAGS ?=

SANITIZED_DIR ?= build-asan

.PHONY: all deps configure build run test test-fast test-sanitized check-format fuzz bench package \
	clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j$(JOBS)

run: build
	$(BUILD_DIR)/src/app/krelix

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

# Everything but the bounded fuzz runs, for a quick check while working.
test-fast: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS) -LE fuzz

# The engine, cache, platform and operations tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, in a build of their own; any report fails the run.
test-sanitized: deps
	@cmake -S . -B $(SANITIZED_DIR) -DCMAKE_BUILD_TYPE=Debug -DKRELIX_SANITIZE=address,undefined \
		-DKRELIX_BUILD_BENCH=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(SANITIZED_DIR) -j$(JOBS) --target krelix_engine_tests krelix_platform_tests \
		krelix_operations_tests krelix_cache_tests
	@for suite in engine cache platform operations; do \
		echo "Sanitized: $$suite tests"; \
		ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
			$(SANITIZED_DIR)/tests/$$suite/krelix_$${suite}_tests --gtest_brief=1 || exit 1; \
	done

# Every C++ file as .clang-format lays it out.
check-format: deps
	@bash scripts/check-format.sh

# Only the bounded fuzz runs (about a minute each).
fuzz: build
	cd $(BUILD_DIR) && ctest --output-on-failure -L fuzz

# krelix_<version>_<arch>.deb in the build folder, from the build's own binaries.
package: build
	@cd $(BUILD_DIR) && cpack -G DEB
	@ls $(BUILD_DIR)/krelix_*.deb

bench: build
	@echo "See bench/README.md"

clean:
	rm -rf $(BUILD_DIR) $(SANITIZED_DIR)
