#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the core suite,
# the same suite under AddressSanitizer + UBSan, and each further step of
# scripts/ci/ in name order (data regeneration, fuzzing, PHP, JNI).
set -euo pipefail
cd "$(dirname "$0")/.."
export SEPA_ROOT=$PWD
export MAKEFLAGS="-j$(nproc)"

bash scripts/install-deps.sh
for step in scripts/ci/*.sh; do
  echo "=== ${step#scripts/ci/}"
  bash "$step"
done
echo "=== all test steps passed"
