#!/usr/bin/env bash
# Installs the release build into a scratch prefix and builds two consumers against
# it: one through find_package(sepa), one through pkg-config.
set -euo pipefail
cd "$SEPA_ROOT"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install build --prefix "$prefix" >/dev/null
cmake -S tests/install_consumer -B "$prefix/consumer-build" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$prefix/consumer-build" >/dev/null
LD_LIBRARY_PATH="$prefix/lib:${LD_LIBRARY_PATH:-}" "$prefix/consumer-build/consumer"
libdir=$(find "$prefix" -name sepa.pc -printf '%h\n' | head -1)
PKG_CONFIG_PATH="$libdir" cc tests/install_consumer/consumer.c -o "$prefix/pc-consumer" \
  $(PKG_CONFIG_PATH="$libdir" pkg-config --cflags --libs sepa)
LD_LIBRARY_PATH="$(dirname "$libdir"):${LD_LIBRARY_PATH:-}" "$prefix/pc-consumer"
# The file name carries the project version of CMakeLists.txt, the SONAME its major part.
version=$(sed -n 's/^project(sepa VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
soname=$(objdump -p "$prefix"/lib*/"libsepa.so.$version" | awk '/SONAME/ {print $2}')
[[ "$soname" == "libsepa.so.${version%%.*}" ]] || { echo "unexpected SONAME $soname" >&2; exit 1; }
echo "install: 2 passed, 0 failed"
