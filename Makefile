# Quillset printer setup: build, test and demo commands.
#
#   make test    install what is missing, build native, x86_64 and i686,
#                check the cross-built files and the laid-out packages, run
#                the native and the x86_64 (Wine) tests and the i686 tests
#                that need no Wine
#   make demo    build the x86_64 programs and lay out the sample package
#   make fuzz    build the libFuzzer targets and run each (or those named in
#                FUZZ_TARGETS) for FUZZ_SECONDS (default 60) or, when set,
#                FUZZ_RUNS inputs
#   make profile-diff  the simulated INI reader against Wine's on
#                PROFILE_DIFF_FILES (100000) generated files
#   make deps | native | cross | x86_64 | i686 | check-binaries | check-package | fuzz-build | clean
#
# Each configuration has its own folder: build/native (g++, AddressSanitizer
# and UBSan), build/x86_64 and build/i686 (mingw-w64), build/fuzz (clang,
# libFuzzer, AddressSanitizer and UBSan). JOBS sets the build's parallelism,
# NATIVE_TEST_JOBS, WINE_TEST_JOBS and FUZZ_TEST_JOBS that of ctest.

SHELL := /bin/bash
.SHELLFLAGS := -euo pipefail -c
# The steps share two cores: one step at a time, each with JOBS compilers.
.NOTPARALLEL:

JOBS ?= 2
NATIVE_TEST_JOBS ?= 2
WINE_TEST_JOBS ?= 2
FUZZ_TEST_JOBS ?= 2
FUZZ_SECONDS ?= 60
FUZZ_RUNS ?=

NATIVE_DIR := build/native
X64_DIR := build/x86_64
X86_DIR := build/i686
FUZZ_DIR := build/fuzz
# Empty: every target the fuzz build made.
FUZZ_TARGETS ?=
TOOLCHAIN_X64 := $(CURDIR)/cmake/toolchain-x86_64-w64-mingw32.cmake
TOOLCHAIN_X86 := $(CURDIR)/cmake/toolchain-i686-w64-mingw32.cmake
# The largest shipped programs, per architecture.
PACKAGE_LIMITS := --max-size Setup.exe=600K --max-size Uninstall.exe=400K

.PHONY: all test deps native cross x86_64 i686 check-binaries check-package fuzz-build fuzz profile-diff demo clean

all: native cross

deps:
	@scripts/deps.sh

native: deps
	cmake -S . -B $(NATIVE_DIR) -DKV_SANITIZE=ON
	cmake --build $(NATIVE_DIR) -j $(JOBS)

x86_64: deps
	cmake -S . -B $(X64_DIR) -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN_X64) -DKV_RUN_WINE_TESTS=ON
	cmake --build $(X64_DIR) -j $(JOBS)

i686: deps
	cmake -S . -B $(X86_DIR) -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN_X86)
	cmake --build $(X86_DIR) -j $(JOBS)

cross: x86_64 i686

# Every check runs, so one run names the offenders of both architectures.
check-binaries: cross
	@rc=0; \
	scripts/check-binaries.sh $(X64_DIR) x86_64-w64-mingw32 || rc=1; \
	scripts/check-binaries.sh $(X86_DIR) i686-w64-mingw32 || rc=1; \
	scripts/check-imports.py --arch x86_64 $(PACKAGE_LIMITS) $(X64_DIR)/package || rc=1; \
	scripts/check-imports.py --arch i686 $(PACKAGE_LIMITS) $(X86_DIR)/package || rc=1; \
	exit $$rc

# The laid-out sample packages pass `qsetup check` without a finding.
check-package: native cross
	$(NATIVE_DIR)/qsetup/qsetup check $(X64_DIR)/package
	$(NATIVE_DIR)/qsetup/qsetup check $(X86_DIR)/package

fuzz-build: deps
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DKV_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j $(JOBS)

# Keeps each target's corpus in build/fuzz/tests/fuzz/long/ from run to run.
fuzz: fuzz-build
	targets="$(FUZZ_TARGETS)"; \
	[ -n "$$targets" ] || targets=$$(cd $(FUZZ_DIR)/tests/fuzz && find . -maxdepth 1 -type f -name 'fuzz_*' -perm -u+x | sed 's|^./fuzz_||' | sort); \
	for t in $$targets; do \
	  tests/fuzz/run-fuzz.sh $(FUZZ_DIR)/tests/fuzz/fuzz_$$t tests/fuzz/corpus/$$t \
	    $(FUZZ_DIR)/tests/fuzz/long/$$t $(if $(FUZZ_RUNS),runs-kept $(FUZZ_RUNS),seconds $(FUZZ_SECONDS)); \
	done

# The simulated profile reader against GetPrivateProfileStringA under Wine on
# many generated files (ctest runs a fixed 500); prints every disagreement.
PROFILE_DIFF_FILES ?= 100000
PROFILE_DIFF_SEED ?= 2
# The files that disagree are kept in $(X64_DIR)/tests/wine.
profile-diff: x86_64
	[ -f $(X64_DIR)/wine-template/.kv-template-ready ] || tests/wine/make-template.sh $(CURDIR)/$(X64_DIR)/wine-template
	cd $(X64_DIR)/tests/wine && KV_WINE_TIMEOUT=14400 $(CURDIR)/tests/wine/wine-run.sh \
	  $(CURDIR)/$(X64_DIR)/tests/wine/profile_diff.exe $(PROFILE_DIFF_SEED) $(PROFILE_DIFF_FILES)

test: native cross check-binaries check-package fuzz-build
	scripts/run-tests.sh $(NATIVE_DIR):$(NATIVE_TEST_JOBS) $(X64_DIR):$(WINE_TEST_JOBS) \
	  $(X86_DIR):$(NATIVE_TEST_JOBS) $(FUZZ_DIR):$(FUZZ_TEST_JOBS)

demo: deps
	scripts/demo.sh

clean:
	rm -rf $(NATIVE_DIR) $(X64_DIR) $(X86_DIR) $(FUZZ_DIR)
