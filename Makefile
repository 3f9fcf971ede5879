# Quorvel: `make run` opens the calculator, `make test` runs every test.
# Each target first installs the Debian packages that are missing (on a bare
# machine without make, scripts/open.sh and scripts/check.sh do the same).

BUILD_DIR    ?= build
SANITIZE_DIR ?= build-sanitize
FUZZ_DIR     ?= build-fuzz
BENCH_DIR    ?= build-bench
WEB_DIR      ?= build-web
JOBS         ?= $(shell nproc)
FUZZ_SECONDS ?= 60
# WERROR=ON turns every compiler warning into an error (CI sets it).
WERROR       ?= OFF

CMAKE_CONFIGURE = cmake -G Ninja -Wno-dev -DCMAKE_COMPILE_WARNING_AS_ERROR=$(WERROR) \
    -DQUORVEL_PAGE=$(CURDIR)/$(WEB_DIR)/quorvel.html

.PHONY: all deps configure build test run sanitize fuzz bench package screenshot web clean

all: build

deps:
	@sh scripts/install-deps.sh

# One configuration for `make run` and `make test`: the tests are configured
# even when only the programs are built, so a later `make test` builds on the
# same folder without configuring it again.
configure: deps
	@$(CMAKE_CONFIGURE) -S . -B $(BUILD_DIR) >/dev/null

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The page's browser test opens $(WEB_DIR)/quorvel.html, so the page is built too.
test: build web
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# Opening the calculator builds only the window and the companion (which
# run.sh falls back on without a display), none of the tests.
run: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target quorvel quorvel-calc
	@sh scripts/run.sh $(BUILD_DIR)/bin

sanitize: deps
	@$(CMAKE_CONFIGURE) -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DQUORVEL_SANITIZE=ON >/dev/null
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --test-dir $(SANITIZE_DIR) --output-on-failure -j $(JOBS)

fuzz:
	@sh scripts/install-deps.sh fuzz
	@CC=clang-14 CXX=clang++-14 $(CMAKE_CONFIGURE) -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DQUORVEL_FUZZ=ON -DQUORVEL_WINDOW=OFF -DBUILD_TESTING=OFF >/dev/null
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	@sh scripts/fuzz.sh $(FUZZ_DIR)/bin $(FUZZ_SECONDS)

# The window is built too: the start-up benchmark runs it under Xvfb.
bench: deps web
	@sh scripts/install-deps.sh screenshot
	@$(CMAKE_CONFIGURE) -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DQUORVEL_BENCH=ON \
	    -DBUILD_TESTING=OFF >/dev/null
	cmake --build $(BENCH_DIR) -j $(JOBS)
	@sh scripts/bench.sh $(BENCH_DIR)/bin
	@/usr/bin/python3 bench/page_bench.py $(WEB_DIR)/quorvel.html

# The .deb, checked by lintian --pedantic: any error or warning fails it.
package: build web
	@sh scripts/install-deps.sh package
	@sh scripts/package.sh $(BUILD_DIR)

screenshot: build web
	@sh scripts/install-deps.sh screenshot
	@sh scripts/screenshot.sh $(BUILD_DIR)/bin docs/screenshot.png
	@/usr/bin/python3 scripts/page-screenshot.py $(WEB_DIR)/quorvel.html docs/page.png

# The Qt-free targets compiled to WebAssembly with Emscripten, against GMP
# built from Debian's source package (once: $(WEB_DIR)/gmp keeps it). Debian's
# Emscripten runs its tools with node and Debian's node modules, which a node
# installed elsewhere does not look in: hence NODE_PATH.
WEB_NODE_PATH = $(if $(NODE_PATH),$(NODE_PATH):)/usr/share/nodejs

web:
	@sh scripts/install-deps.sh web
	@sh scripts/build-gmp-wasm.sh $(WEB_DIR)/gmp
	@NODE_PATH=$(WEB_NODE_PATH) emcmake $(CMAKE_CONFIGURE) -S . -B $(WEB_DIR) -DCMAKE_BUILD_TYPE=Release \
	    -DQUORVEL_WEB=ON -DQUORVEL_WINDOW=OFF -DBUILD_TESTING=OFF -DQUORVEL_GMP_PREFIX=$(CURDIR)/$(WEB_DIR)/gmp >/dev/null
	NODE_PATH=$(WEB_NODE_PATH) cmake --build $(WEB_DIR) -j $(JOBS)

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR) $(BENCH_DIR) $(WEB_DIR)
