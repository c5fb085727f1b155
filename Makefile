# make run  - install what is missing, build, start Zelvo on the embedded database
# make test - install what is missing, build, run every test with CTest (headless)
# make demo - the same as run, on a demonstration database of its own (built anew each time)
# make package - the Debian package, build/zelvo_<version>_<arch>.deb
# make windows-deps - the libraries and static Qt for Windows, built from Debian's sources with
#                MinGW-w64 into ~/.cache/zelvo-windows (long the first time, reused after)
# make windows - zelvo.exe cross-compiled into build-windows/ (not part of make test)

BUILD_DIR ?= build
PACKAGES := cmake ninja-build g++ pkg-config qt6-base-dev libqt6sql6-sqlite \
            libqt6svg6 libsqlite3-dev sqlite3 libsodium-dev libgl-dev xvfb xauth poppler-utils \
            libxml2-utils fonts-dejavu-core fonts-arkpandora fonts-urw-base35 qt6-translations-l10n
# the server backend, the private PostgreSQL cluster its tests start, libpq for the benchmarks' floor
PACKAGES += postgresql libqt6sql6-psql libpq-dev
# spreadsheets: the xlsx archive read through minizip (QuaZip carries a second, incompatible
# copy of minizip's symbols, which libxlsxwriter would then call), written through
# libxlsxwriter; openpyxl makes a workbook of another program's kind for the import tests
PACKAGES += libminizip-dev libxlsxwriter-dev python3-openpyxl
# what make package needs to find the package's library dependencies
PACKAGES += dpkg-dev file
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: run test build deps clean bench demo package windows windows-deps

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_DIR)

run: build
	$(BUILD_DIR)/src/app/main/zelvo

demo: build
	$(BUILD_DIR)/src/app/main/zelvo --demo

package: build
	cd $(BUILD_DIR) && cpack -G DEB

test: build
	XDG_RUNTIME_DIR=$${XDG_RUNTIME_DIR:-/tmp/zelvo-runtime} QT_QPA_PLATFORM=offscreen \
	  sh -c 'mkdir -p "$$XDG_RUNTIME_DIR" && chmod 700 "$$XDG_RUNTIME_DIR" && \
	  ctest --test-dir $(BUILD_DIR) --output-on-failure'

# Every benchmark runs, even after one fails; a failure fails the target. The glob also meets
# the bench_*_autogen folders, which are not programs.
bench: build
	@status=0; for b in $(BUILD_DIR)/bench/*/bench_*; do \
	  [ -f "$$b" ] && [ -x "$$b" ] || continue; \
	  echo "== $$b"; \
	  QT_QPA_PLATFORM=offscreen "$$b" || { echo "$$b failed with status $$?"; status=1; }; \
	done; exit $$status

clean:
	rm -rf $(BUILD_DIR)

WINDOWS_BUILD_DIR ?= build-windows
WINDOWS_JOBS ?= 2

windows-deps:
	JOBS=$(WINDOWS_JOBS) tools/windows/build-deps.sh

windows: windows-deps
	cmake -S . -B $(WINDOWS_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake
	cmake --build $(WINDOWS_BUILD_DIR) --parallel $(WINDOWS_JOBS) --target zelvo
