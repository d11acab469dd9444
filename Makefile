# Thin wrapper over scripts/dev, which also installs what is missing.
.PHONY: run test asan bench package format
run:
	scripts/dev run
test:
	scripts/dev test
asan:
	scripts/dev asan
bench:
	scripts/dev bench
package:
	scripts/dev package
format:
	find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i
