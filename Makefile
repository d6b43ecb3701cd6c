# make test   bootstrap, build both trees, run every test (ends with ctest's summary)
# make build  bootstrap and build both trees, and the shipped 32-bit programs
# make demo   the whole job on built-in sample photos
# make clean  remove the build trees
.PHONY: all test build bootstrap configure demo dist clean

all: build

bootstrap:
	@bash scripts/bootstrap.sh

configure: bootstrap
	@bash scripts/configure

build: configure
	@cmake --build build/native
	@cmake --build build/windows
	@bash scripts/build-i686

test: build
	@bash scripts/run-tests

demo: build
	@bash scripts/demo

dist: build
	@bash scripts/dist

clean:
	rm -rf build out
