#!/usr/bin/env bash
# Style: every tracked C and C++ file is formatted as .clang-format says (generated
# data/ excepted), and clang-tidy finds nothing in core/ with the checks of .clang-tidy.
# --fix formats the files in place instead of checking them (the tidy pass is skipped).
set -euo pipefail
cd "${SEPA_ROOT:-$(dirname "$0")/../..}"
fix=0
if [[ "${1:-}" == "--fix" ]]; then fix=1; fi

for tool in clang-format clang-tidy; do
  command -v "$tool" >/dev/null || { echo "$tool not found (scripts/install-deps.sh installs it)" >&2; exit 1; }
done

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t sources < <(git ls-files -- '*.c' '*.cc' '*.cpp' '*.h' '*.hpp' ':!data/')
else
  mapfile -t sources < <(find . -path ./data -prune -o -path './build*' -prune -o -path ./.git -prune -o \
    -type f \( -name '*.c' -o -name '*.cc' -o -name '*.cpp' -o -name '*.h' -o -name '*.hpp' \) -print | sort)
fi

if ((fix)); then
  clang-format -i "${sources[@]}"
  echo "formatted ${#sources[@]} files"
  exit 0
fi

if ! clang-format --dry-run -Werror "${sources[@]}"; then
  echo "files above are not formatted: run 'bash scripts/ci/05-style.sh --fix'" >&2
  exit 1
fi
echo "format: ${#sources[@]} files as .clang-format says"

# clang-tidy reads the compile commands of a configured (not built) tree; the
# configure step also writes the generated sepa_version.h that the sources include.
cmake -S . -B build-tidy -DCMAKE_BUILD_TYPE=Release -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
  -DSEPA_BUILD_TESTS=OFF -DSEPA_BUILD_CLI=OFF >/dev/null
mapfile -t core_sources < <(ls core/*/*.cpp)
if ! printf '%s\n' "${core_sources[@]}" |
    xargs -P "$(nproc)" -n 4 clang-tidy -p build-tidy --quiet 2> >(grep -v -E 'warnings? generated|^Suppressed|-header-filter|-system-headers' >&2); then
  echo "clang-tidy found problems in core/ (checks in .clang-tidy)" >&2
  exit 1
fi
echo "clang-tidy: ${#core_sources[@]} core files clean"
