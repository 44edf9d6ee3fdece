#!/usr/bin/env bash
# Configures and builds every supported configuration, one after another, with
# warnings as errors, each into build/matrix/<name>: the three optimisation
# levels with the tests on and off, the debug build under AddressSanitizer and
# UndefinedBehaviorSanitizer, the optimised build under ThreadSanitizer and the
# libFuzzer build (clang). Prints one line per configuration and exits non-zero
# when any failed. Each configuration's full output is in build/matrix/<name>.log.
#
# Needs what `bash tools/setup.sh clang` installs. Takes long on two cores: it is
# not part of CI.
#
#   bash tools/build-matrix.sh                 # every configuration
#   bash tools/build-matrix.sh --only tsan     # one (repeat --only for more)
#   bash tools/build-matrix.sh --list          # the names
#   bash tools/build-matrix.sh --fresh         # start each from an empty cache
#   bash tools/build-matrix.sh --jobs 1        # parallel compile jobs (default 2)
set -uo pipefail
cd "$(dirname "$0")/.."

root=build/matrix
jobs=2
fresh=()
only=()

# name|how it is configured. The sanitizer and libFuzzer builds are the presets
# the project already uses, built into the matrix folder instead.
plain="-G Ninja -DQUELP_SANITIZE=OFF -DQUELP_SANITIZER= -DQUELP_FUZZ=OFF -DQUELP_ADAPTERS=ON"
configs=(
  "debug-tests|$plain -DCMAKE_BUILD_TYPE=Debug -DQUELP_TESTS=ON -DQUELP_BENCH=OFF"
  "debug-notests|$plain -DCMAKE_BUILD_TYPE=Debug -DQUELP_TESTS=OFF -DQUELP_BENCH=ON"
  "release-tests|$plain -DCMAKE_BUILD_TYPE=Release -DQUELP_TESTS=ON -DQUELP_BENCH=OFF"
  "release-notests|$plain -DCMAKE_BUILD_TYPE=Release -DQUELP_TESTS=OFF -DQUELP_BENCH=ON"
  "relwithdebinfo-tests|$plain -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUELP_TESTS=ON -DQUELP_BENCH=OFF"
  "relwithdebinfo-notests|$plain -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUELP_TESTS=OFF -DQUELP_BENCH=ON"
  "asan-ubsan|--preset test"
  "tsan|--preset tsan"
  "fuzz|--preset fuzz"
)

usage() { sed -n '2,17s/^# \{0,1\}//p' "$0"; }

names() { for c in "${configs[@]}"; do echo "${c%%|*}"; done; }

while [ $# -gt 0 ]; do
  case "$1" in
    --only) [ $# -ge 2 ] || { usage >&2; exit 2; }; only+=("$2"); shift 2 ;;
    --only=*) only+=("${1#--only=}"); shift ;;
    --jobs|-j) [ $# -ge 2 ] || { usage >&2; exit 2; }; jobs="$2"; shift 2 ;;
    --fresh) fresh=(--fresh); shift ;;
    --list) names; exit 0 ;;
    -h|--help) usage; exit 0 ;;
    *) echo "build-matrix: unknown argument '$1'" >&2; usage >&2; exit 2 ;;
  esac
done

for n in "${only[@]}"; do
  if ! names | grep -qx -- "$n"; then
    echo "build-matrix: no configuration '$n'; there are: $(names | tr '\n' ' ')" >&2
    exit 2
  fi
done

selected() {
  [ ${#only[@]} -eq 0 ] && return 0
  local n
  for n in "${only[@]}"; do [ "$n" = "$1" ] && return 0; done
  return 1
}

mkdir -p "$root"
failed=0
results=()
for c in "${configs[@]}"; do
  name="${c%%|*}"
  selected "$name" || continue
  read -r -a args <<<"${c#*|}"
  dir="$root/$name"
  log="$root/$name.log"
  start=$(date +%s)
  {
    echo "== configure: cmake ${fresh[*]} ${args[*]} -B $dir -DCMAKE_COMPILE_WARNING_AS_ERROR=ON"
    if [ "$name" = fuzz ] && ! command -v clang++ >/dev/null; then
      echo "clang++ is missing: run 'bash tools/setup.sh clang' first"
      false
    else
      # -Werror is also in the top-level compile options; asking CMake for it
      # here keeps it on should a target ever drop those.
      nice -n 10 cmake "${fresh[@]}" "${args[@]}" -B "$dir" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON &&
        echo "== build: cmake --build $dir --parallel $jobs -- -k 0" &&
        nice -n 10 cmake --build "$dir" --parallel "$jobs" -- -k 0
    fi
  } >"$log" 2>&1
  status=$?
  seconds=$(($(date +%s) - start))
  if [ $status -eq 0 ]; then
    verdict=ok
  else
    verdict=FAILED
    failed=1
  fi
  line=$(printf '%-24s %-7s %6ss' "$name" "$verdict" "$seconds")
  results+=("$line")
  echo "$line"
  if [ $status -ne 0 ]; then
    # Every target is tried (ninja -k 0), so the log holds every diagnostic;
    # the first ones are shown here.
    grep -m 20 -E '(error|warning):|^FAILED:|CMake Error' "$log" | sed 's/^/    /'
    echo "    (whole output: $log)"
  fi
done

echo
echo "configuration            result  build"
printf '%s\n' "${results[@]}"
exit $failed
