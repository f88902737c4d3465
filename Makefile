# Set-up commands: `make demo` and `make test` work on a fresh Debian machine.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
# ON keeps the user's files in the per-user folders, as the package does; `make package` sets it.
USER_FILES ?= OFF
DEBS := cmake ninja-build g++ ccache python3 xvfb xauth qt6-base-dev qt6-serialport-dev \
        libgtest-dev libgmock-dev libbenchmark-dev clang-format clang-tidy \
        dpkg-dev file help2man librsvg2-bin lintian man-db
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps configure build test demo bench screenshots package package-check format tidy asan \
        clean

# Installs only what is missing, so a machine that has everything never touches apt.
deps:
	@missing=$$(for p in $(DEBS); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'ok installed' || echo $$p; done); \
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
	QT_QPA_PLATFORM=offscreen $(BUILD)/tests/editor/tessaly-screenshots $(BUILD)/screenshots

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

asan:
	$(MAKE) test BUILD=build-asan BUILD_TYPE=Debug CMAKE_ARGS=-DTESSALY_SANITIZE=ON

clean:
	rm -rf $(BUILD) build-asan
