# Shortcuts for developers; build.sh does the work (and installs what is missing).
.PHONY: build demo test check bench format format-check clean
build:
	./build.sh build
demo:
	./build.sh demo
test:
	./build.sh test
check:
	./build.sh check
bench:
	./build.sh bench
format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i
format-check:
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
clean:
	rm -rf build build-*
