# The two commands of the README:
#   make run    set up (Debian packages), build and start Orvella
#   make check  set up, build and run every test
BUILD ?= build

.PHONY: run check setup build

setup:
	@scripts/setup.sh

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
