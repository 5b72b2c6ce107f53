# The two commands of the README. Both install what is missing first (Debian 12, as root).
.PHONY: run test build clean dist fuzz bench

run:
	@ARGS='$(ARGS)' scripts/run.sh

test:
	@scripts/test.sh

build:
	@scripts/setup.sh
	@for k in native i686 x86_64; do scripts/build.sh $$k || exit 1; done

# libFuzzer targets of fuzz/, FUZZ_SECONDS each (default 60); needs clang, installed if missing.
fuzz:
	@FUZZ_SECONDS='$(FUZZ_SECONDS)' scripts/fuzz.sh

# The release zip dist/velmora-<version>-win32.zip: the 32-bit dorvex.exe, dorvex.chm, README.md
# and LICENSE, the same bytes for the same sources.
dist:
	@scripts/setup.sh
	@scripts/build.sh i686 dist

# Speed figures against OpenSSL, md5sum and a bare-read floor, PASS/FAIL per goal (a quarter of
# an hour at most; trees of its own under build/, its own Wine prefix). Not part of make test.
bench:
	@scripts/bench.sh

clean:
	rm -rf build dist
