BUILD ?= build
JOBS ?= 2
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 600
FUZZ_TEST_SECONDS ?= 30
FUZZ_BRIEF_SECONDS ?= 10

.PHONY: all build run test bench package soak install-deps clean fuzz fuzz-build strength strength-search

all: build

install-deps:
	bash scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: install-deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: install-deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target zemtori
	$(BUILD)/zemtori

test: build fuzz-build
	bash fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_TEST_SECONDS) record_file_fuzz analyse_lines_fuzz
	bash fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_BRIEF_SECONDS) settings_reader_fuzz search_fuzz engine_lines_fuzz kept_game_fuzz
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: install-deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target zemtori-bench zemtori-bench-window zemtori-bench-startup
	$(BUILD)/zemtori-bench
	$(BUILD)/zemtori-bench-window
	$(BUILD)/zemtori-bench-startup

# The Debian package, in $(BUILD)/: zemtori_VERSION_ARCH.deb, checked with
# lintian (any error or warning fails).
package: build
	cd $(BUILD) && cpack -G DEB
	bash packaging/lintian-check.sh $(BUILD)

# The fuzz targets (fuzz/), built with clang and the sanitizers in a folder of
# their own; `make fuzz` runs each for FUZZ_SECONDS.
$(FUZZ_BUILD)/build.ninja:
	cmake -S fuzz -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++

fuzz-build: install-deps $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

fuzz: fuzz-build
	bash fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The long soak, built with AddressSanitizer and UndefinedBehaviorSanitizer in
# a folder of its own; any error they find stops it.
SOAK_BUILD ?= build-soak
SOAK_GAMES ?= 1000
SANITIZE = -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer

soak: install-deps
	cmake -S . -B $(SOAK_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  "-DCMAKE_CXX_FLAGS=$(SANITIZE)" "-DCMAKE_C_FLAGS=$(SANITIZE)" \
	  "-DCMAKE_EXE_LINKER_FLAGS=$(SANITIZE)"
	cmake --build $(SOAK_BUILD) -j $(JOBS) --target zemtori-soak
	ASAN_OPTIONS=halt_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  SDL_AUDIODRIVER=dummy $(SOAK_BUILD)/zemtori-soak --games $(SOAK_GAMES)

# The strength table (docs/strength.md) and its chart (docs/strength.svg):
# the searching player at each budget of STRENGTH_BUDGETS (milliseconds a
# move) against each exact level, and at the two budgets of STRENGTH_SELF
# against itself, STRENGTH_GAMES games a pairing (STRENGTH_SELF_GAMES for
# the pairing against itself, whose games last longer).  Every match line and
# summary is kept in $(BUILD)/strength-results.txt.
STRENGTH_GAMES ?= 200
STRENGTH_BUDGETS ?= 100 300
STRENGTH_SELF ?= 1000 100
STRENGTH_SELF_GAMES ?= $(STRENGTH_GAMES)
STRENGTH_SEED ?= 1
STRENGTH_JOBS ?= 1
STRENGTH_OUT ?= docs
# The base build the searching player is measured against: the commit that
# brought the engine protocol, with the search as it was then.  Its source
# is taken from git into $(BUILD)/strength-base and built there; an empty
# STRENGTH_BASE_COMMIT leaves the pairing out.
STRENGTH_BASE_COMMIT ?= d785fa1
STRENGTH_BASE_BUDGET ?= 300
STRENGTH_BASE_GAMES ?= $(STRENGTH_GAMES)
STRENGTH_BASE_DIR = $(BUILD)/strength-base

# The ladder of levels: LEVEL4 against LEVEL1-3, then each searching level
# against the one below it, STRENGTH_LADDER_GAMES games a step on
# STRENGTH_LADDER_JOBS cores, written into docs/strength.md, docs/ladder.svg
# and the README (between the ladder marks).  STRENGTH_WHAT chooses what
# `make strength` plays: "ladder" (the default, a few minutes on two
# cores), "search" (the searching player's table and the base pairing
# below) or "all".
STRENGTH_WHAT ?= ladder
STRENGTH_LADDER_GAMES ?= 400
STRENGTH_LADDER_JOBS ?= 2

strength: install-deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target zemtori-analyse
	case "$(STRENGTH_WHAT)" in ladder|all) \
	  python3 tools/strength/strength.py ladder --analyse $(BUILD)/zemtori-analyse \
	    --games $(STRENGTH_LADDER_GAMES) --seed $(STRENGTH_SEED) --jobs $(STRENGTH_LADDER_JOBS) \
	    --results $(BUILD)/ladder-results.txt --out-dir $(STRENGTH_OUT) --readme README.md || exit 1;; \
	esac
	case "$(STRENGTH_WHAT)" in search|all) $(MAKE) strength-search;; esac

strength-search: install-deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target zemtori-analyse
	if [ -n "$(STRENGTH_BASE_COMMIT)" ]; then \
	  if [ ! -f $(STRENGTH_BASE_DIR)/src/CMakeLists.txt ]; then \
	    mkdir -p $(STRENGTH_BASE_DIR)/src && \
	    git archive $(STRENGTH_BASE_COMMIT) | tar -x -C $(STRENGTH_BASE_DIR)/src || exit 1; \
	  fi; \
	  cmake -S $(STRENGTH_BASE_DIR)/src -B $(STRENGTH_BASE_DIR)/build -G Ninja \
	    -DCMAKE_BUILD_TYPE=RelWithDebInfo && \
	  cmake --build $(STRENGTH_BASE_DIR)/build -j $(JOBS) --target zemtori-analyse || exit 1; \
	fi
	python3 tools/strength/strength.py run --analyse $(BUILD)/zemtori-analyse \
	  --games $(STRENGTH_GAMES) --budgets "$(STRENGTH_BUDGETS)" --self "$(STRENGTH_SELF)" \
	  --self-games $(STRENGTH_SELF_GAMES) \
	  --seed $(STRENGTH_SEED) --jobs $(STRENGTH_JOBS) \
	  $(if $(STRENGTH_BASE_COMMIT),--base $(STRENGTH_BASE_DIR)/build/zemtori-analyse \
	    --base-name "base($(STRENGTH_BASE_COMMIT))" --base-budget $(STRENGTH_BASE_BUDGET) \
	    --base-games $(STRENGTH_BASE_GAMES)) \
	  --results $(BUILD)/strength-results.txt --out-dir $(STRENGTH_OUT)

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD) $(SOAK_BUILD)
