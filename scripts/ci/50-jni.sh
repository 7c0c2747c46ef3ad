#!/usr/bin/env bash
# JNI bridge: builds libovaro-jni.so, the jar (which carries the library) and the
# JUnit 5 tests and runs the tests (under -Xcheck:jni; documents are validated against
# the extracted schemas) and a program that has nothing but the jar; then installs the
# jar with Maven, offline, and runs that program against the installed jar; then the
# tests again with the native library built with AddressSanitizer and UBSan.
set -euo pipefail
cd "$SEPA_ROOT"
jni_targets=(--target ovaro-jni ovaro-sepa ovaro-sepa-tests ovaro-sepa-consumer)

bash scripts/extract-schemas.sh build-jni/schemas
cmake -S . -B build-jni -DCMAKE_BUILD_TYPE=Release -DSEPA_BUILD_JNI=ON -DSEPA_BUILD_CLI=OFF >/dev/null
cmake --build build-jni --parallel "$(nproc)" "${jni_targets[@]}"
ctest --test-dir build-jni --output-on-failure --no-tests=error -R '^jni_'

# mvn -o install with the generated pom. Debian's Maven finds its plugins (here
# maven-install-plugin) in /usr/share/maven-repo; a dereferenced copy of it serves as
# the local repository, so the system repository stays untouched.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -rL /usr/share/maven-repo "$work/repo"
mvn -B -q -o -f build-jni/bindings/jni/pom.xml -Dmaven.repo.local="$work/repo" install
installed=$(find "$work/repo/com/ovaro/ovaro-sepa" -name 'ovaro-sepa-*.jar')
[[ -n "$installed" ]] || { echo "mvn install left no ovaro-sepa jar" >&2; exit 1; }
javac -d "$work/classes" -cp "$installed" bindings/jni/consumer/JarConsumer.java
java -cp "$installed:$work/classes" JarConsumer

bash scripts/extract-schemas.sh build-jni-sanitize/schemas
cmake -S . -B build-jni-sanitize -DCMAKE_BUILD_TYPE=Debug -DSEPA_SANITIZE=ON -DSEPA_BUILD_JNI=ON \
  -DSEPA_BUILD_CLI=OFF >/dev/null
cmake --build build-jni-sanitize --parallel "$(nproc)" "${jni_targets[@]}"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-jni-sanitize --output-on-failure --no-tests=error -R '^jni_'
