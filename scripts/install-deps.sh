#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing need, skipping those
# already present. Runs as root (or through sudo when available).
set -euo pipefail

packages=(
  build-essential cmake pkg-config python3 unzip
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format clang-tidy
  libxml2-utils libhbci4j-core-java
  libcli11-dev nlohmann-json3-dev
  libexpat1-dev libzip-dev zlib1g-dev
  php8.2-dev php8.2-cli php8.2-xml
  default-jdk-headless junit5 maven libmaven-install-plugin-java
  libktoblzcheck1-dev
  valgrind
)
if [[ "${1:-}" == "--minimal" ]]; then
  packages=(build-essential cmake pkg-config python3 libcli11-dev nlohmann-json3-dev libexpat1-dev libzip-dev zlib1g-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  SUDO=""
  if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
