# The two set-up commands: `make run` and `make test`. Both install what is missing first.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build test run full bench fuzz deb install clean

all: build

deps:
	@scripts/install-deps

$(BUILD_DIR)/build.ninja: | deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

configure: $(BUILD_DIR)/build.ninja

build: deps configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

run: build
	@scripts/run-sample $(BUILD_DIR)

# The full installation: the sample with the full-capacity course "pelny" and its learner "Pełny"
# (repetitions due around today). A first run starts from a copy of the sample installation, so
# that its recordings are not spoken again.
FULL_DIR ?= $(BUILD_DIR)/full
full: build
	@test -d $(FULL_DIR) || cp -a $(BUILD_DIR)/sample $(FULL_DIR)
	$(BUILD_DIR)/tools/samplegen/dydaktor-samplegen --full data/sample $(FULL_DIR)
	cp -f $(BUILD_DIR)/sample/dydaktor $(FULL_DIR)/dydaktor

# The Debian package of the program, made by CPack in the build folder (dydaktor_*.deb there).
deb: build
	cd $(BUILD_DIR) && cpack -G DEB

# Installs the program under PREFIX (DESTDIR as usual for a staged install).
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

bench: build
	$(BUILD_DIR)/bench/dydaktor-bench

# Each fuzz target runs FUZZ_SECONDS on a copy of its seed corpus (the seeds stay as committed);
# inputs that crash are left in $(FUZZ_DIR) as crash-* files.
fuzz:
	@scripts/install-deps fuzz
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DDYDAKTOR_FUZZ=ON -DDYDAKTOR_TESTS=OFF -DDYDAKTOR_BENCH=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	@scripts/run-fuzz $(FUZZ_DIR) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD_DIR) $(FUZZ_DIR)
