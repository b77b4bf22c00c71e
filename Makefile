BUILD ?= build
JOBS ?= 2

.PHONY: all build run test bench package install-deps clean

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
	cmake --build $(BUILD) -j $(JOBS) --target zemtori-bench zemtori-bench-window
	$(BUILD)/zemtori-bench
	$(BUILD)/zemtori-bench-window

# The Debian package, in $(BUILD)/: zemtori_VERSION_ARCH.deb
package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD)
