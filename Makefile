# Two entry points that do all the set-up on a fresh Debian 12 machine:
#   make run   install what is missing, build, start Krelix
#   make test  install what is missing, build, run every test
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= 2
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test test-fast fuzz bench clean

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

# Only the bounded fuzz runs (about a minute each).
fuzz: build
	cd $(BUILD_DIR) && ctest --output-on-failure -L fuzz

bench: build
	@echo "See bench/README.md"

clean:
	rm -rf $(BUILD_DIR)
