# The two commands of the README. Both install what is missing first (Debian 12, as root).
.PHONY: run test build clean

run:
	@ARGS='$(ARGS)' scripts/run.sh

test:
	@scripts/test.sh

build:
	@scripts/setup.sh
	@for k in native i686 x86_64; do scripts/build.sh $$k || exit 1; done

clean:
	rm -rf build
