#!/usr/bin/env bash
# Seeds the single-line faults of scripts/faults.txt into the game's source,
# shaders and data generator one at a time, rebuilds the tests in build/ (and
# with them the data files, when the generator changed), runs the fast tests
# (unit and GL tests, fuzz replays; no end-to-end script, soak, benchmark or
# Windows check) and puts the file back.
# Prints one line per fault, "caught" or "SURVIVED", then the score per folder.
#
#   scripts/seed-faults.sh [FAULT-LIST] [FIRST [LAST]]   (lines of faults, from 1)
#
# Each fault takes the machine-wide lock $QM_LOCK (/tmp/qm-heavy.lock unless set) for its build and
# test run only, so that other work can slip in between. A fault that does not
# compile counts as neither, and so does a generator fault that leaves every
# data file as it was ("no change"). A fault listed as equivalent (a line that
# starts with "= ") is applied and put back, to show that its text is still
# there, but not tested. The fast tests must pass before the first fault, and
# the source must have no uncommitted changes in the files the list touches.
set -euo pipefail
cd "$(dirname "$0")/.."

list=${1:-scripts/faults.txt}
first=${2:-1}
last=${3:-100000}
build=${QM_BUILD:-build}
log=$build/seed-faults.log
export MESA_GL_VERSION_OVERRIDE=3.3 MESA_GLSL_VERSION_OVERRIDE=330 LIBGL_ALWAYS_SOFTWARE=1
unset WAYLAND_DISPLAY  # X11 only, and a private runtime directory: see run-tests.sh
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR

current=""
restore() { rm -rf "$XDG_RUNTIME_DIR"; [ -z "$current" ] || git checkout -q -- "$current"; }
trap restore EXIT

# Replaces the given occurrence of the text in the file; fails unless exactly
# one line changes.
apply() {
  python3 - "$@" <<'EOF'
import sys
path, old, new, nth = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
text = open(path).read()
at = -1
for _ in range(nth):
    at = text.find(old, at + 1)
    if at < 0:
        sys.exit(f"{path}: occurrence {nth} of {old!r} not found")
changed = text[:at] + new + text[at + len(old):]
if sum(a != b for a, b in zip(text.splitlines(), changed.splitlines())) != 1:
    sys.exit(f"{path}: {old!r} is not a single-line change")
open(path, "w").write(changed)
EOF
}

# Builds the test executables (and the data) and runs the fast tests: status
# 0 when they pass, 1 when one fails, 2 when the build fails.
build_and_test() {
  flock "${QM_LOCK:-/tmp/qm-heavy.lock}" bash -c '
      cmake --build "$1" -j2 --target unit_tests gl_tests >>"$2" 2>&1 || exit 2
      xvfb-run -a -s "-screen 0 1280x1024x24 +extension GLX -noreset" \
        ctest --test-dir "$1" -j2 -E "^(e2e\.|bench\.|windows\.|soak$)" --timeout 180 --stop-on-failure >>"$2" 2>&1 || exit 1' \
      _ "$build" "$log"
}

# The generated data files' contents, to tell whether a generator fault changed any.
data_sum() { cat data/Models/* data/Font/* | md5sum; }

declare -A tally  # "folder verdict" -> count
folders=() survivors=() index=0
: >"$log"
set +e
build_and_test
status=$?
set -e
[ "$status" -eq 0 ] || { echo "the fast tests fail without a fault (see $log)"; exit 1; }
clean=$(data_sum)
while IFS= read -r line; do
  [[ -z "${line// }" || $line == \#* ]] && continue
  index=$((index + 1))
  [ "$index" -ge "$first" ] && [ "$index" -le "$last" ] || continue
  equivalent=false
  [[ $line == "= "* ]] && equivalent=true line=${line#= }
  IFS=$'\x01' read -r file old new nth <<<"${line//' @@ '/$'\x01'}"
  folder=${file%/*}
  [[ $folder == src/* ]] && folder=src
  [[ " ${folders[*]} " == *" $folder "* ]] || folders+=("$folder")
  current=$file
  apply "$file" "$old" "$new" "${nth:-1}"
  if $equivalent; then
    verdict=equivalent
  else
    set +e
    build_and_test
    status=$?
    set -e
    case $status in 0) verdict=SURVIVED ;; 2) verdict=broken ;; *) verdict=caught ;; esac
    [[ $file == tools/assetgen/* && $verdict != broken && $(data_sum) == "$clean" ]] && verdict="no change"
  fi
  restore
  current=""
  tally["$folder $verdict"]=$((${tally["$folder $verdict"]:-0} + 1))
  [ "$verdict" = SURVIVED ] && survivors+=("$index $file: $old -> $new")
  printf '%3d %-10s %s: %s -> %s\n' "$index" "$verdict" "$file" "$old" "$new"
done <"$list"

flock "${QM_LOCK:-/tmp/qm-heavy.lock}" cmake --build "$build" -j2 >>"$log" 2>&1
for folder in "${folders[@]}"; do
  count() { echo "${tally["$folder $1"]:-0}"; }
  echo "$folder: caught $(count caught) of $(($(count caught) + $(count SURVIVED))) faults;" \
    "$(count equivalent) listed as equivalent, $(count broken) did not compile, $(count 'no change') changed no data file"
done
for s in "${survivors[@]}"; do echo "  survived: $s"; done
