# The two commands a newcomer runs: 'make run' and 'make test'.
JOBS ?= $(shell nproc)

.PHONY: run test test-asan build build-asan setup clean

setup:
	./scripts/setup

build: setup
	cmake --preset default >/dev/null
	cmake --build --preset default -j $(JOBS)

run: build
	./scripts/run

test: build
	ctest --preset default -j $(JOBS)

# Caches that system libraries keep until the process ends are not leaks of ours.
export LSAN_OPTIONS = suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0

build-asan: setup
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)

test-asan: build-asan
	ctest --preset asan -j $(JOBS)

clean:
	rm -rf build build-asan
