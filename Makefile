# Top-level entry points: `make test` and `make run`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
PORT       ?= 8080
LDAP_PORT  ?= 3389
# Building, the site's images (python3-pil, fonts), the web server of
# `make run` and of the served tests, and the LDAP server, its client tools
# and library for the LDAP back end, its tests and `make run-ldap`.
DEB_PKGS    = cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev libsodium-dev \
              python3 python3-pil fonts-dejavu-core lighttpd \
              slapd ldap-utils libldap-dev python3-ldap
# The libFuzzer build of `make fuzz`: clang and its sanitizer and fuzzer
# run-time libraries.
FUZZ_PKGS   = clang libclang-rt-14-dev
FUZZ_HARNESSES = query multipart listfile vcard delimited search
BROWSER_DIR = tests/site/browser
# What `make run` serves: the two programs, the back end, its tool, the images.
RUN_TARGETS = velmoraadmin_cgi selector_cgi kvfiledblib_cgi kvfiledb site_images
# What `make bench` runs besides the build: the anchors' awk (mawk), grep and static
# C library, python3-vobject, and valgrind for instruction counts.
BENCH_PKGS  = python3 python3-vobject libc6-dev mawk grep valgrind
BENCH_ARGS ?=

.PHONY: all deps fuzz-deps browser-deps bench-deps build test test-plain test-asan fuzz run run-ldap bench bench-micro clean

all: build

# Installs what building and testing need when it is missing (Debian, as root).
deps:
	@missing=""; \
	for p in $(DEB_PKGS); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "make: installing Debian packages with apt-get:$$missing"; \
	    DEBIAN_FRONTEND=noninteractive apt-get update -q && \
	    DEBIAN_FRONTEND=noninteractive apt-get install -y -q $$missing; \
	  else \
	    echo "missing packages:$$missing (run as root or install them)"; exit 1; \
	  fi; \
	fi

fuzz-deps:
	@$(MAKE) --no-print-directory deps DEB_PKGS="$(DEB_PKGS) $(FUZZ_PKGS)"

# The browser test's Chromium, node and npm (Debian's, unless the machine has
# node already) and its browser driver, pinned by its package-lock.json.
browser-deps: deps
	@missing=""; \
	dpkg-query -W -f='$${Status}' chromium 2>/dev/null | grep -q "install ok installed" || missing="chromium"; \
	if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then \
	  missing="$$missing nodejs npm"; \
	fi; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "installing: $$missing"; \
	    DEBIAN_FRONTEND=noninteractive apt-get update -q && \
	    DEBIAN_FRONTEND=noninteractive apt-get install -y -q $$missing; \
	  else \
	    echo "missing packages: $$missing (run as root or install them)"; exit 1; \
	  fi; \
	fi
	@if [ ! -f $(BROWSER_DIR)/node_modules/.package-lock.json ] || \
	    [ $(BROWSER_DIR)/package-lock.json -nt $(BROWSER_DIR)/node_modules/.package-lock.json ]; then \
	  cd $(BROWSER_DIR) && npm ci --no-audit --no-fund; \
	fi

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

test-plain: build browser-deps
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

$(ASAN_BUILD)/CMakeCache.txt:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON

test-asan: deps browser-deps $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

test: test-plain test-asan

# Runs each fuzz harness for FUZZ_SECONDS seconds from its corpus in
# tests/fuzz/corpus; the new inputs that add coverage are merged into that
# corpus. Crashing inputs are kept in $(FUZZ_BUILD)/crashes and make the run
# fail once every harness had its turn.
$(FUZZ_BUILD)/CMakeCache.txt:
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_FUZZ=ON

fuzz: fuzz-deps $(FUZZ_BUILD)/CMakeCache.txt
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_all
	@mkdir -p $(FUZZ_BUILD)/crashes; failed=""; \
	for h in $(FUZZ_HARNESSES); do \
	  exe=$(FUZZ_BUILD)/tests/fuzz/fuzz_$$h; new=$(FUZZ_BUILD)/new/$$h; \
	  rm -rf $$new; mkdir -p $$new; \
	  echo "fuzz: $$h for $(FUZZ_SECONDS) s"; \
	  $$exe -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    -artifact_prefix=$(FUZZ_BUILD)/crashes/$$h- $$new tests/fuzz/corpus/$$h \
	    > $(FUZZ_BUILD)/fuzz-$$h.log 2>&1 || { failed="$$failed $$h"; tail -n 40 $(FUZZ_BUILD)/fuzz-$$h.log; }; \
	  $$exe -merge=1 -artifact_prefix=$(FUZZ_BUILD)/crashes/$$h- tests/fuzz/corpus/$$h $$new \
	    >> $(FUZZ_BUILD)/fuzz-$$h.log 2>&1; \
	done; \
	if [ -n "$$failed" ]; then echo "fuzz: crashes in:$$failed (see $(FUZZ_BUILD)/crashes)"; exit 1; fi

# Builds what it serves (not the tests), installs into $(BUILD)/demo with the
# sample directory and an administrator account, and serves the console on
# 127.0.0.1:$(PORT) until Ctrl-C. A taken port is reported before anything
# else is done.
run:
	@sh tools/demo.sh --check-port $(PORT)
	@$(MAKE) --no-print-directory deps
	@[ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS) --target $(RUN_TARGETS)
	sh tools/demo.sh $(BUILD) $(BUILD)/demo $(PORT)

# The same on the LDAP back end: a local slapd on 127.0.0.1:$(LDAP_PORT) with
# the sample people, the console on 127.0.0.1:$(PORT), until Ctrl-C.
run-ldap: build
	sh tools/demo-ldap.sh $(BUILD) $(BUILD)/demo-ldap $(PORT) $(LDAP_PORT)

# Speed measurements, never part of `make test`: the pages and the long jobs
# against their anchors, side by side, as a table of ratios (bench/bench.py;
# BENCH_ARGS=--quick for a first look). bench-micro runs the Google Benchmark
# programs.
bench-deps:
	@$(MAKE) --no-print-directory deps DEB_PKGS="$(BENCH_PKGS)"

bench: build bench-deps
	/usr/bin/python3 bench/bench.py --build $(BUILD) $(BENCH_ARGS)

bench-micro: build
	$(BUILD)/bench/bench_versit
	$(BUILD)/bench/bench_request

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
