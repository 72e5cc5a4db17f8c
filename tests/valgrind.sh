#!/usr/bin/env bash
# Runs Rasterine under valgrind's memcheck: a short window session (a few
# pictures opened, each converted, options changed, converted again), the
# window's picture and write-failure tests, and a command-line batch with one
# file that is not a picture. Fails on any memory error or any block that is
# definitely lost; prints each run's leak summary. Needs no suppressions with
# Debian 12's Qt, fontconfig and glib.
#
#   tests/valgrind.sh [BUILD_DIR]     (default: build; not a sanitizer build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")

for tool in valgrind ppmpat pnmtopng pnmtojpeg pnmquant ppmtogif; do
  if ! command -v "$tool" >/dev/null; then
    echo "valgrind.sh: skipped, $tool is missing (scripts/install-deps.sh installs it)" >&2
    exit 77  # CTest counts this as skipped
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

# Runs one command under memcheck in $work, prints its leak summary and sets
# `status` to its exit status; fails (showing the log) on a memcheck error.
memcheck() {
  local name=$1
  shift
  status=0
  (cd "$work" && valgrind --leak-check=full --errors-for-leak-kinds=definite \
    --error-exitcode=99 --num-callers=30 \
    --log-file="$work/$name.log" "$@" >"$work/$name.out" 2>&1) || status=$?
  echo "== $name: exit status $status"
  grep -E 'definitely lost|indirectly lost|possibly lost|ERROR SUMMARY' "$work/$name.log" |
    sed 's/^==[0-9]*== *//'
  if ((status == 99)); then
    cat "$work/$name.log" >&2
    return 1
  fi
}

# The batch: three pictures and one file that is not a picture (exit status 1).
ppmpat -gingham2 300 200 | pnmtopng >"$work/a.png"
ppmpat -madras 400 300 | pnmtojpeg >"$work/b.jpg"
ppmpat -tartan 200 160 | pnmquant 64 2>/dev/null | ppmtogif 2>/dev/null >"$work/c.gif"
printf 'not a picture' >"$work/bad.png"
mkdir "$work/out"

failed=0
memcheck batch "$build/cli/rasterine-convert" -d out a.png b.jpg c.gif bad.png || failed=1
if [[ "$status" != 1 || $(ls "$work/out" | wc -l) != 6 ]]; then
  echo "valgrind.sh: the batch should convert three pictures and fail on bad.png" >&2
  cat "$work/batch.out" >&2
  failed=1
fi

export RASTERINE_LONG_RUN_ROUNDS=4
memcheck window_session "$build/tests/ui/window_long_run_test" || failed=1
unset RASTERINE_LONG_RUN_ROUNDS
[[ "$status" == 0 ]] || { cat "$work/window_session.out" >&2; failed=1; }

memcheck window_faults "$build/tests/ui/window_picture_test" || failed=1
[[ "$status" == 0 ]] || { cat "$work/window_faults.out" >&2; failed=1; }

exit "$failed"
