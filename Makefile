# Quillor's two everyday commands, plus the benchmarks:
#   make run    install what is missing, build, start the order window on ./Data
#   make test   install what is missing, build with ASan+UBSan, run every test and
#               every benchmark once
#   make bench  build optimised and run the benchmarks
#   make package  build the Debian package, build/package/quillor_<version>_<arch>.deb
BUILD ?= build
JOBS  ?= $(shell nproc)
CMAKE_GEN = -G Ninja

.PHONY: run test bench package bootstrap clean

bootstrap:
	@scripts/bootstrap

run: bootstrap
	cmake -S . -B $(BUILD)/release $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLOR_BUILD_TESTS=OFF -DQUILLOR_BUILD_BENCHMARKS=OFF
	cmake --build $(BUILD)/release -j $(JOBS) --target quillor quillor-catalogue quillor_data
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY$$QT_QPA_PLATFORM" ]; then \
	  echo "make run: built in $(BUILD)/release/bin, but there is no desktop session to show the window in"; \
	  echo "          (neither DISPLAY nor WAYLAND_DISPLAY is set). Run it from a desktop, or: xvfb-run make run"; \
	  exit 1; \
	fi
	cd $(BUILD)/release/bin && ./quillor

test: bootstrap
	cmake -S . -B $(BUILD)/asan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DQUILLOR_SANITIZE=ON -DQUILLOR_BUILD_BENCHMARKS=ON
	cmake --build $(BUILD)/asan -j $(JOBS)
	cd $(BUILD)/asan && ctest --output-on-failure -j $(JOBS)

bench: bootstrap
	cmake -S . -B $(BUILD)/bench $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DQUILLOR_BUILD_TESTS=OFF
	cmake --build $(BUILD)/bench -j $(JOBS)
	cd $(BUILD)/bench/bin && for b in ./*_bench; do echo "== $$b"; QT_QPA_PLATFORM=offscreen $$b || exit 1; done

package: bootstrap
	JOBS=$(JOBS) scripts/build-package $(BUILD)/package

clean:
	rm -rf $(BUILD)
