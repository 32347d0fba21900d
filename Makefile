# make run   - installs missing Debian packages, builds and starts the editor
# make test  - the same set-up, then every test, in a normal build and in an
#              AddressSanitizer + UndefinedBehaviorSanitizer build
# make deb   - the Debian package vxarb_<version>_<arch>.deb in this folder
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps build run test test-normal test-asan deb bench screenshots format clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)

run: build
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	    echo "No display: start the editor from a desktop session, or under a virtual one:"; \
	    echo "    xvfb-run -s '-screen 0 1024x768x24' $(BUILD)/vxarb   (package xvfb)"; \
	    exit 1; \
	fi
	$(BUILD)/vxarb

test: test-normal test-asan

test-normal: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DARB_SANITIZE=ON -DARB_BENCHMARKS=OFF
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j$(JOBS)

deb: build
	rm -rf $(BUILD)/deb
	cd $(BUILD) && cpack -G DEB -B deb
	rm -f vxarb_*.deb
	cp $(BUILD)/deb/vxarb_*.deb .
	@ls vxarb_*.deb

bench: build
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; $$b --benchmark_repetitions=5 --benchmark_report_aggregates_only=true; done

screenshots: build
	scripts/install-deps.sh xvfb imagemagick
	scripts/screenshots.sh

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
