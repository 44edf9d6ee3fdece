#!/usr/bin/env bash
# Checks that the build configurations ask the compiler for what they promise:
# the test preset for AddressSanitizer and UndefinedBehaviorSanitizer with
# float-cast-overflow and no recovery, the tsan preset for ThreadSanitizer
# alone, a plain build for no sanitizer, and that contradictory or unknown
# sanitizer choices stop the configure step instead of building without them.
# Also checks the argument handling of tools/build-matrix.sh. Only configures
# (into a temporary folder), so it takes seconds; the suite runs it.
set -uo pipefail
cd "$(dirname "$0")/.."

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
passed=0
failed=0

pass() { passed=$((passed + 1)); }
fail() {
  failed=$((failed + 1))
  echo "FAIL: $*"
}

# Configures into a fresh folder with the given arguments; the folder name is
# printed. Only the core and the programs: enough to see the flags.
configure() {
  local dir
  dir=$(mktemp -d "$tmp/cXXXX")
  echo "$dir"
  "${CMAKE:-cmake}" "$@" -B "$dir" -DQUELP_TESTS=OFF -DQUELP_BENCH=OFF -DQUELP_ADAPTERS=OFF \
    >"$dir.log" 2>&1
}

# The sanitizer flags of a core source's compile command, sorted, one line.
sanitizer_flags() {
  grep -m1 '"command"' "$1/compile_commands.json" |
    grep -oE -- '-f(no-)?sanitize[^ "]*' | sort | tr '\n' ' ' | sed 's/ $//'
}

expect() {
  local what="$1" dir="$2" want="$3"
  local got
  got=$(sanitizer_flags "$dir")
  if [ "$got" = "$want" ]; then pass; else fail "$what: compiles with '$got', not '$want'"; fi
  if grep -m1 '"command"' "$dir/compile_commands.json" | grep -q -- ' -Werror '; then
    pass
  else
    fail "$what: compiles without -Werror"
  fi
}

# What the programs link with: the sanitizer runtimes must come along.
expect_linked() {
  local what="$1" dir="$2" want="$3"
  if grep -q -- "LINK_FLAGS = .*$want" "$dir/build.ninja"; then
    pass
  else
    fail "$what: the programs do not link with $want"
  fi
}

asan="-fno-sanitize-recover=undefined,float-cast-overflow -fsanitize=address,undefined,float-cast-overflow"

if dir=$(configure --preset test); then
  expect "test preset" "$dir" "$asan"
  expect_linked "test preset" "$dir" "-fsanitize=address,undefined,float-cast-overflow"
else
  fail "test preset does not configure: $(tail -5 "$dir.log")"
fi

if dir=$(configure --preset tsan); then
  expect "tsan preset" "$dir" "-fsanitize=thread"
  expect_linked "tsan preset" "$dir" "-fsanitize=thread"
else
  fail "tsan preset does not configure: $(tail -5 "$dir.log")"
fi

if dir=$(configure -G Ninja -DCMAKE_BUILD_TYPE=Release); then
  expect "plain build" "$dir" ""
else
  fail "plain build does not configure: $(tail -5 "$dir.log")"
fi

# The old switch still means address,undefined.
if dir=$(configure -G Ninja -DQUELP_SANITIZE=ON); then
  expect "QUELP_SANITIZE=ON" "$dir" "$asan"
else
  fail "QUELP_SANITIZE=ON does not configure: $(tail -5 "$dir.log")"
fi

for bad in "-DQUELP_SANITIZER=memory" "-DQUELP_SANITIZE=ON -DQUELP_SANITIZER=thread"; do
  # shellcheck disable=SC2086  # two words on purpose
  if dir=$(configure -G Ninja $bad); then
    fail "'$bad' configured; it must be refused"
  elif grep -q 'QUELP_SANITIZ' "$dir.log"; then
    pass
  else
    fail "'$bad' failed for another reason: $(tail -5 "$dir.log")"
  fi
done

# The matrix script: its names, and refusals of what it does not know, before
# it builds anything.
names=$(bash tools/build-matrix.sh --list | tr '\n' ' ')
for want in debug-tests debug-notests release-tests release-notests relwithdebinfo-tests \
  relwithdebinfo-notests asan-ubsan tsan fuzz; do
  if grep -qw -- "$want" <<<"$names"; then pass; else fail "build-matrix: no '$want' in: $names"; fi
done
for bad in "--only nosuch" "--frobnicate" "--only"; do
  # shellcheck disable=SC2086
  bash tools/build-matrix.sh $bad >/dev/null 2>&1
  status=$?
  if [ $status -eq 2 ]; then pass; else fail "build-matrix $bad: exit $status, not 2"; fi
done

echo "build-config: $passed passed, $failed failed"
[ $failed -eq 0 ]
