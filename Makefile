# The two commands of the README:
#   make run    set up (Debian packages), build and start Orvella
#   make check  set up, build and run every test
#   make package  the Debian package, in $(BUILD)
BUILD ?= build

# What the end-to-end and packaging tests and the package build use besides
# the build tools: an X server, a window manager, xdotool, the validators,
# dpkg-shlibdeps and the icon renderer.
TEST_PACKAGES = xvfb openbox xdotool x11-utils imagemagick desktop-file-utils appstream \
  dpkg-dev librsvg2-bin

.PHONY: run check setup build package

setup:
	@scripts/setup.sh $(if $(filter check package,$(MAKECMDGOALS)),$(TEST_PACKAGES))

build: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD)

run: build
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  echo "make run: no display found (DISPLAY is not set); start it from a desktop session."; \
	  exit 1; fi
	@$(BUILD)/orvella

check: build
	@cd $(BUILD) && ctest --output-on-failure

package: build
	@cd $(BUILD) && cpack -G DEB
