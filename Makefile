# The two everyday commands. Both install what is missing first.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps build run test bench package clean

deps:
	@bash scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/build.ninja
	ninja -C $(BUILD) -j $(JOBS)

# Starts the program on the embedded demo installation (created on first run).
run: build
	$(BUILD)/korvelapos --demo

test: build
	cd $(BUILD) && ctest --output-on-failure -j 2

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -f "$$b" ] && [ -x "$$b" ] || continue; echo "== $$b"; $$b; done

# The Debian package, from the program as built: $(BUILD)/korvelapos_<version>_<arch>.deb
package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD)
