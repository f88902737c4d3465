# Set-up commands: `make demo` and `make test` work on a fresh Debian machine.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
# ON keeps the user's files in the per-user folders, as the package does; `make package` sets it.
USER_FILES ?= OFF
DEBS := cmake ninja-build g++ ccache python3 xvfb xauth qt6-base-dev qt6-serialport-dev \
        libgtest-dev libgmock-dev libbenchmark-dev clang-format clang-tidy \
        dpkg-dev file help2man librsvg2-bin lintian man-db
# Only make fuzz needs these: clang and its libFuzzer runtime.
FUZZ_DEBS := clang libclang-rt-14-dev
FUZZ_SECONDS ?= 180
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps install-debs configure build test demo bench screenshots package package-check format \
        tidy asan fuzz soak clean

# Installs only what is missing, so a machine that has everything never touches apt.
deps:
	@$(MAKE) --no-print-directory install-debs PACKAGES="$(DEBS)"

install-debs:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -qq && $(SUDO) DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
	  -DTESSALY_USER_FILES=$(USER_FILES) $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 300

demo: build
	tools/demo.sh $(BUILD)

screenshots: configure
	cmake --build $(BUILD) -j $(JOBS) --target tessaly-screenshots
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/screenshots/tessaly-screenshots $(BUILD)/screenshots

bench: build
	tools/bench.sh $(BUILD)

# The Debian package, packed by CPack from the build tree: $(BUILD)/tessaly_<version>_<arch>.deb.
# Its programs keep the user's files per user; the next plain build switches back.
package: USER_FILES = ON
package: build
	cd $(BUILD) && cpack -G DEB

# Installs the package on this machine, tries it and removes it again.
package-check: package
	tools/package-check.sh $(BUILD)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

tidy: configure
	git ls-files 'src/*.cpp' | xargs clang-tidy -p $(BUILD) --quiet

# UndefinedBehaviorSanitizer only prints by default; a finding must fail its test.
asan:
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  $(MAKE) test BUILD=build-asan BUILD_TYPE=Debug CMAKE_ARGS=-DTESSALY_SANITIZE=ON

# The parsers under libFuzzer with ASan and UBSan, built by clang in a folder of their own;
# each runs FUZZ_SECONDS (or a million executions).
fuzz:
	@$(MAKE) --no-print-directory install-debs PACKAGES="$(DEBS) $(FUZZ_DEBS)"
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTESSALY_FUZZ=ON -DTESSALY_BENCH=OFF
	cmake --build build-fuzz -j $(JOBS) --target tessaly-fuzzers
	tools/fuzz.sh build-fuzz $(FUZZ_SECONDS)

# Ten minutes of 33 devices under load (127.0.1.1-33); prints memory growth, the longest
# event-loop stall and edits per second.
SOAK_SECONDS ?= 600
soak: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen TESSALY_SOAK_SECONDS=$(SOAK_SECONDS) \
	  TESSALY_SOAK_SUBNET=1 nice -n 10 tests/soak/test_soak

clean:
	rm -rf $(BUILD) build-asan build-fuzz
