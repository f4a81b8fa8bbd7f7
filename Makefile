# Tessaron: `make run` builds and starts the window (on the virtual keyboard; ARGS= for a real one), `make test` builds and passes every test.
# Both install what is missing on a Debian machine themselves.

SHELL := /bin/bash
BUILD ?= build
ASAN_BUILD ?= build-asan
GENERATOR := -G Ninja
LAUNCHER := $(shell command -v ccache >/dev/null 2>&1 && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
ARGS ?= --demo

APT_PACKAGES := cmake ninja-build g++ pkg-config ccache \
	qt6-base-dev qt6-base-dev-tools qt6-translations-l10n qt6-tools-dev qt6-l10n-tools qt6-tools-dev-tools python3 libfontconfig-dev libx11-dev libpng-dev libhidapi-dev libudev-dev libsystemd-dev \
	libgtest-dev libgmock-dev libbenchmark-dev \
	xvfb xauth xdotool imagemagick fonts-liberation fonts-wqy-microhei \
	desktop-file-utils appstream udev man-db groff-base clang-14 libclang-rt-14-dev nlohmann-json3-dev \
	dbus dpkg-dev \
	libxcb1-dev libxcb-ewmh-dev libxcb-icccm4-dev libxcb-res0-dev x11-utils \
	libwayland-dev libsystemd-dev
# Only the tests run these: a screen reader's stack, the package checker, window managers and
# whole desktops started headless (kwin-wayland and gnome-shell alone download about 150 MB), so
# `make run` does without them.
TEST_PACKAGES := at-spi2-core python3-pyatspi lintian openbox nodejs \
	sway foot xwayland kwin-wayland qt6-wayland gnome-shell

.PHONY: all deps test-deps build run check test test-normal test-asan test-fuzz bench screenshots install deb clean

all: build

deps test-deps:
	@missing=$$(for p in $(APT_PACKAGES) $(if $(filter test-deps,$@),$(TEST_PACKAGES)); do \
	  dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing: $$missing"; \
	  SUDO=$$( [ "$$(id -u)" = 0 ] || echo sudo ); \
	  $$SUDO apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq --no-install-recommends $$missing; \
	fi

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(LAUNCHER)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD)

run: build
	$(BUILD)/src/app/tessaron $(ARGS)

# The inner loop: the normal build once, then its tests; LABEL=fast (or slow, window, x11) runs only those.
check: test-deps test-normal

# The fuzz run goes first so that the test summaries close the output.
test: test-deps test-fuzz test-normal test-asan

# Every fuzz target (clang, libFuzzer, ASan+UBSan) for a short bounded time on its seed corpus.
FUZZ_SECONDS ?= 12
test-fuzz:
	fuzz/run.sh $(FUZZ_SECONDS)

test-normal:
	cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARON_WERROR=ON $(LAUNCHER)
	cmake --build $(BUILD)
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 $(if $(LABEL),-L $(LABEL))

test-asan:
	cmake -S . -B $(ASAN_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DTESSARON_WERROR=ON \
	  -DTESSARON_SANITIZE=ON -DTESSARON_BENCH=OFF $(LAUNCHER)
	cmake --build $(ASAN_BUILD)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j2

bench: build
	bench/run.sh $(BUILD)

screenshots: build
	tools/screenshots.sh $(BUILD)

PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package, from a build of its own: Debian's compiler and hardening flags (without
# -g: the packaged binaries are stripped), no tests, and programs that never look into a build
# tree for their images. Writes tessaron_VERSION_ARCH.deb here.
DEB_BUILD ?= build-deb
deb: deps
	export DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CXXFLAGS_MAINT_STRIP=-g; \
	CXXFLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	LDFLAGS="$$(dpkg-buildflags --get LDFLAGS)" \
	cmake -S . -B $(DEB_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=None -DTESSARON_TESTS=OFF \
	  -DTESSARON_BENCH=OFF -DTESSARON_BUILD_ASSET_DIR= $(LAUNCHER)
	cmake --build $(DEB_BUILD)
	rm -rf $(DEB_BUILD)/package
	cd $(DEB_BUILD) && cpack -B package
	mv $(DEB_BUILD)/package/tessaron_*.deb .
	@ls tessaron_*.deb

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(DEB_BUILD)
