BUILD ?= build
JOBS ?= 2

.PHONY: all build run test bench install-deps clean

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

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: install-deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target zemtori-bench
	$(BUILD)/zemtori-bench

clean:
	rm -rf $(BUILD)
