# SPDX-License-Identifier: GPL-3.0-or-later
# The two commands of the README:
#   make run    set up (Debian packages), build and start Orvella
#   make check  set up, build and run every test
#   make package  the Debian package, in $(BUILD)
#   make fuzz   every fuzz target for FUZZ_SECONDS (default 60) each, or for
#               FUZZ_RUNS inputs each when that is set (make fuzz FUZZ_RUNS=10000000)
#   make bench  the start-up benchmark (time to the menu's first paint, memory)
#               against a one-button and an empty Qt window, then the opening
#               times of the help (F1), the study (F2) and the measurement
#               evaluation (F3), a calculate click answered and the
#               Verlauf opened (empty), then the history:
#               recording, opening and searching 100 000 entries, a click
#               and the Verlauf and the start-up with them in the data folder; then the level list:
#               100 000 pasted levels until their results are shown; last
#               one table of every interaction against its bound
#   make profile  instruction counts of the start-up path (callgrind)
#   make windows  Orvella for Windows, cross-built: $(WINDOWS_BUILD)/Orvella-<version>-Setup.exe
#               and the portable zip (the first run builds Qt for Windows into
#               ~/.cache/orvella, about an hour; later runs reuse it)
#   make check-windows  the Windows build's tests under Wine, then the installer
#               installed, run and uninstalled under Wine
BUILD ?= build
# The sanitizer build (AddressSanitizer + UBSan) that make check runs the tests
# and the fuzz corpus in once more, the build of the fuzz targets for make
# fuzz (with coverage feedback), the benchmark build.
ASAN_BUILD ?= $(BUILD)-asan
FUZZ_BUILD ?= $(BUILD)-fuzz
BENCH_BUILD ?= $(BUILD)-bench
# Tests run three at a time: on two cores the end-to-end tests, which mostly
# wait for their X server and window manager, leave room for a third.
CHECK_JOBS ?= 3
# The build that make run, check and package use keeps line tables only
# (-g1): backtraces keep their files and lines, and compiling takes about a
# third less time than with full debug information. Debug information
# changes no generated code. It is compiled with clang, as the sanitizer pass
# is: clang compiles the project in about two thirds of GCC's time, and
# make check compiles it twice. Both compilers follow the same IEEE rules
# under the project's -ffp-contract=off -fno-fast-math; the tests check the
# results to the last digit in both builds.
BUILD_FLAGS = -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"
FUZZ_SECONDS ?= 60
FUZZ_RUNS ?=
BENCH_RUNS ?= 15
# clang's sanitizer and fuzzer runtimes for the sanitizer pass and the fuzz
# targets; llvm-symbolizer for readable sanitizer reports.
CHECK_PACKAGES = libclang-rt-14-dev llvm

# What the end-to-end and packaging tests and the package build use besides
# the build tools: an X server, a window manager, xdotool and wmctrl (the
# window manager's close), the validators, dpkg-shlibdeps, the icon renderer,
# pdftotext for the printed help, lintian and xclip (reads the X clipboard in
# the end-to-end test).
TEST_PACKAGES = xvfb openbox xdotool wmctrl x11-utils imagemagick desktop-file-utils appstream \
  dpkg-dev librsvg2-bin poppler-utils lintian xclip locales
# The widget, companion and end-to-end tests run once more under the users'
# settings (the tests labelled "de"): the locale they need.
TEST_LOCALES = de_DE.UTF-8

# The Windows build: MinGW-w64 with POSIX threads, the tools to unpack and
# configure Debian's Qt and SQLite sources (dpkg-source, tclsh), NSIS, the
# icon's renderer and packer, Qt's German texts.
WINDOWS_BUILD ?= build-windows
WINDOWS_PACKAGES = g++-mingw-w64-x86-64-posix dpkg-dev tcl nsis librsvg2-bin icoutils \
  qt6-translations-l10n
# Its tests: Wine (64-bit), the X server, window manager and tools the
# installer test drives the program with, sqlite3 to read the Verlauf back.
WINDOWS_TEST_PACKAGES = wine wine64 xvfb openbox xdotool wmctrl x11-utils imagemagick sqlite3 \
  locales

.PHONY: run check setup build package fuzz bench profile windows check-windows

setup:
	@scripts/setup.sh $(if $(filter check package,$(MAKECMDGOALS)),$(TEST_PACKAGES)) \
	  $(if $(filter check fuzz,$(MAKECMDGOALS)),$(CHECK_PACKAGES)) \
	  $(if $(filter bench profile,$(MAKECMDGOALS)),xvfb x11-utils libxdamage-dev libxtst-dev) \
	  $(if $(filter profile,$(MAKECMDGOALS)),valgrind)
	@$(if $(filter check,$(MAKECMDGOALS)),scripts/locales.sh $(TEST_LOCALES))

build: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(BUILD_FLAGS) >/dev/null
	@cmake --build $(BUILD)

# Without a display the program could not open its window: one line says so.
run: build
	$(if $(DISPLAY)$(WAYLAND_DISPLAY),,$(error no display found (DISPLAY is not set); start Orvella from a desktop session))
	@$(BUILD)/orvella

check: build
	@cd $(BUILD) && ctest --output-on-failure -j $(CHECK_JOBS)
	@echo "== every test and the committed fuzz corpus again with AddressSanitizer and UBSan, in $(ASAN_BUILD)"
	@cmake --preset asan -B $(ASAN_BUILD) >/dev/null
	@cmake --build $(ASAN_BUILD)
	@# Not the packaging tests: they test cpack and dpkg, not the program's
	@# memory; and in one locale: the German pass runs the same code.
	@cd $(ASAN_BUILD) && ctest --output-on-failure -j $(CHECK_JOBS) -LE '^(packaging|de)$$'

package: build
	@cd $(BUILD) && cpack -G DEB

fuzz: setup
	@cmake --preset fuzz -B $(FUZZ_BUILD) >/dev/null
	@cmake --build $(FUZZ_BUILD) --target orvella_fuzzers
	@FUZZ_RUNS=$(FUZZ_RUNS) fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Every bench script adds its interactions to this file; make bench ends
# with their table (bench/table.sh).
bench: export BENCH_TABLE = $(abspath $(BENCH_BUILD))/bench-table.tsv
bench: setup
	@cmake --preset bench -B $(BENCH_BUILD) >/dev/null
	@cmake --build $(BENCH_BUILD) --target orvella bench_minimal bench_empty bench_firstpaint bench_help_open bench_study \
	  bench_measurement bench_history bench_history_load bench_levellist bench_calculate
	@rm -f $(BENCH_TABLE)
	@bench/startup.sh $(BENCH_BUILD) $(BENCH_RUNS)
	@bench/help_open.sh $(BENCH_BUILD)
	@bench/study_bench.sh $(BENCH_BUILD)
	@bench/measurement_bench.sh $(BENCH_BUILD)
	@bench/calculate_bench.sh $(BENCH_BUILD)
	@bench/history_bench.sh $(BENCH_BUILD) $(BENCH_RUNS)
	@bench/levellist_bench.sh $(BENCH_BUILD)
	@bench/table.sh $(BENCH_TABLE)

profile: setup
	@cmake --preset bench -B $(BENCH_BUILD) >/dev/null
	@cmake --build $(BENCH_BUILD) --target orvella bench_minimal bench_empty bench_firstpaint
	@bench/profile.sh $(BENCH_BUILD)

windows:
	@scripts/setup.sh $(WINDOWS_PACKAGES) \
	  $(if $(filter check-windows,$(MAKECMDGOALS)),$(WINDOWS_TEST_PACKAGES))
	@scripts/windows/build.sh $(WINDOWS_BUILD)

check-windows: windows
	@scripts/locales.sh $(TEST_LOCALES)
	@scripts/windows/check.sh $(WINDOWS_BUILD) $(CHECK_JOBS)
