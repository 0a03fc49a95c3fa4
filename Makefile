# Vuzuder UR: every target installs the missing Debian packages first, then
# configures CMake into build/ and rebuilds only what changed.

BUILD_DIR  ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
# Seconds each fuzz target runs in check-sanitize.
FUZZ_SECONDS ?= 20

# The one list of Debian packages that the build, the tests and the tools need.
PACKAGES := cmake make g++ pkg-config \
  libsfml-dev libgtest-dev libgmock-dev libbenchmark-dev \
  libcli11-dev nlohmann-json3-dev \
  xvfb xauth xdotool x11-utils imagemagick xdg-utils libgl1-mesa-dri fonts-dejavu-core \
  parallel python3 python3-dev python3-pybind11 pybind11-dev python3-numpy python3-pytest \
  python3-matplotlib clang libclang-rt-14-dev \
  dpkg-dev fakeroot file lintian desktop-file-utils appstream chromium

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
XVFB := xvfb-run -a -s "-screen 0 1920x1080x24 -maxclients 2048 -noreset"
CONFIGURED := $(BUILD_DIR)/CMakeCache.txt

.PHONY: all deps build run tournament test bench art package check-sanitize clean

all: build

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing >/dev/null 2>&1 || \
	  { $(SUDO) apt-get update -qq && \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; }; \
	fi

$(CONFIGURED): | deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: deps $(CONFIGURED)
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/src/app/vuzuder

tournament: build
	./$(BUILD_DIR)/tools/arena/vuzuder-arena --races 1

test: build
	cd $(BUILD_DIR) && $(XVFB) ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD_DIR)/bench/bench_*; do \
	  [ -x "$$b" ] && echo "== $$b" && $(XVFB) "$$b" --benchmark_min_time=0.2; \
	done; \
	echo "== bench/bench_python.py"; PYTHONPATH=$(BUILD_DIR)/python /usr/bin/python3 bench/bench_python.py; \
	echo "== bench/bench_replay_page.py"; python3 bench/bench_replay_page.py $(BUILD_DIR)/tools/arena/vuzuder-arena; true

art: build
	$(XVFB) ./$(BUILD_DIR)/tools/artgen/vuzuder-artgen resources

# The .deb (build/vuzuder_VERSION_ARCH.deb): sudo apt install ./build/vuzuder_*.deb
package: build
	cmake --build $(BUILD_DIR) --target package

# Planner, brain and bot-process tests under ThreadSanitizer and AddressSanitizer; the GUI
# engine's headless tests (scene graph, text boxes, input) under the latter.
# Then every reader's fuzz target (tests/fuzz) for FUZZ_SECONDS under
# AddressSanitizer, from its seeds; a failing input is kept in
# $(BUILD_DIR)-fuzz/artifacts/ and the run stops.
check-sanitize: deps
	@for s in thread address; do \
	  d=$(BUILD_DIR)-$$s; gui=OFF; targets="test_brains test_race test_bots test_learn"; tests='^(brains|race|bots|learn)\.'; \
	  if [ $$s = address ]; then gui=ON; targets="$$targets test_vexa"; tests='^(brains|race|bots|learn|vexa)\.'; fi; \
	  cmake -S . -B $$d -DCMAKE_BUILD_TYPE=Debug -DVUZUDER_SANITIZE=$$s \
	    -DVUZUDER_BUILD_GRAPHICS=$$gui -DVUZUDER_BUILD_BENCH=OFF >/dev/null && \
	  cmake --build $$d -j $(JOBS) --target $$targets && \
	  (cd $$d && ctest --output-on-failure -R "$$tests" -LE display) || exit 1; \
	done
	@d=$(BUILD_DIR)-fuzz; \
	cmake -S . -B $$d -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DVUZUDER_FUZZ=ON -DVUZUDER_BUILD_GRAPHICS=OFF -DVUZUDER_BUILD_BENCH=OFF >/dev/null && \
	cmake --build $$d -j $(JOBS) --target fuzz || exit 1; \
	mkdir -p $$d/artifacts; \
	for f in $$d/tests/fuzz/fuzz_*; do \
	  [ -f "$$f" ] && [ -x "$$f" ] || continue; \
	  n=$$(basename $$f); rm -rf $$d/corpus/$$n; mkdir -p $$d/corpus/$$n; \
	  echo "Fuzzing $$n for $(FUZZ_SECONDS) s"; \
	  $$f -max_total_time=$(FUZZ_SECONDS) -seed=1 -timeout=10 -rss_limit_mb=2048 \
	    -artifact_prefix=$$d/artifacts/$$n- $$d/corpus/$$n tests/fuzz/corpus/$$n \
	    >$$d/$$n.log 2>&1 || { tail -n 60 $$d/$$n.log; exit 1; }; \
	  tail -n 1 $$d/$$n.log; \
	done

clean:
	rm -rf $(BUILD_DIR) $(BUILD_DIR)-thread $(BUILD_DIR)-address $(BUILD_DIR)-fuzz
