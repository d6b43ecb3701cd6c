# make test   bootstrap, build every tree, run every test (ends with ctest's summary)
# make build  bootstrap and build every tree: native, both Windows test trees, the
#             shipped 32-bit programs
# make demo   the whole job on built-in sample photos (builds only the programs it runs)
# make dist   the builder's own distribution (builds only the shipped programs)
# make clean  remove the build trees
.PHONY: all test build bootstrap configure programs demo dist clean

all: build

bootstrap:
	@bash scripts/bootstrap.sh

configure: bootstrap
	@bash scripts/configure

build: configure
	@cmake --build build/native
	@cmake --build build/windows
	@cmake --build build/windows-x86_64
	@bash scripts/build-i686

test: build
	@bash scripts/run-tests

# What the demo runs: the shipped programs and the sample photo maker, no test.
programs: bootstrap
	@bash scripts/build-i686
	@bash scripts/build-samplephotos

demo: programs
	@bash scripts/demo

dist: bootstrap
	@bash scripts/dist

clean:
	rm -rf build out
