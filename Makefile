# The two commands of the README: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60

.PHONY: all setup build run test bench fuzz install deb test-package clean sanitize sanitize-address sanitize-thread

all: build

setup:
	@scripts/setup

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: setup $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-show $(BUILD)

test: build
	@scripts/run-tests $(BUILD)

bench: build
	@scripts/run-bench $(BUILD)

# Address and undefined-behaviour checks over the whole suite (build-asan),
# then the thread checks of the threaded tests (build-tsan).
sanitize: sanitize-address sanitize-thread

sanitize-address: setup
	@JOBS=$(JOBS) scripts/run-sanitize address

sanitize-thread: setup
	@JOBS=$(JOBS) scripts/run-sanitize thread

fuzz: setup
	@scripts/run-fuzz $(FUZZ_SECONDS)

install: build
	cmake --install $(BUILD)

# The Debian package, here: tessaview_<version>_amd64.deb.
deb: build
	cd $(BUILD) && cpack -G DEB
	cp $(BUILD)/tessaview_*.deb .

# Installs the package into a throw-away copy of this system, runs it, removes it.
test-package: deb
	@scripts/test-package $(BUILD)

clean:
	rm -rf $(BUILD) build-fuzz build-asan build-tsan
