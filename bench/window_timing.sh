#!/usr/bin/env bash
# Times the real window on a virtual X server and prints Markdown tables:
#   - bench/window_timing (the real frmMain, started as ui/main.cpp starts it):
#     process start to the first paint shown, File › "Open..." on the
#     17.9-megapixel photo to both files written (Timer1 keeps its 1000 ms),
#     the resident memory afterwards, and loadPicture alone on the photo;
#   - the installed-style binary build/ui/rasterine, watched from outside:
#     process start to its window being mapped, found by polling xdotool.
#
# Usage: bench/window_timing.sh [runs]      (default 9 runs of each)
#
# It installs xdotool if missing, builds Rasterine in Release mode into
# build/ and writes the made-up photo into a temporary folder.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${1:-9}
(( runs >= 5 )) || { echo "use at least 5 runs" >&2; exit 2; }

status=$(dpkg-query -W -f='${db:Status-Abbrev}' xdotool 2>/dev/null || true)
if [[ "$status" != ii* ]]; then
    echo "Installing: xdotool" >&2
    DEBIAN_FRONTEND=noninteractive apt-get update >&2
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends xdotool >&2
fi
scripts/install-deps.sh >&2
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j 2 >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$root/build/bench/make_photos" "$work" >/dev/null
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$work/runtime"

# Everything below runs inside one virtual X server.
inside_x() {
    local runs=$1 root=$2 work=$3
    cd "$work"
    for _ in $(seq "$runs"); do
        "$root/build/bench/window_timing" big.jpg "$(date +%s%N)" >>window.txt
    done
    for _ in $(seq "$runs"); do
        local start end pid
        mkdir -p "$work/rasterine" && cd "$work/rasterine"
        start=$(date +%s%N)
        "$root/build/ui/rasterine" &
        pid=$!
        until xdotool search --onlyvisible --name '^Rasterine$' >/dev/null 2>&1; do
            kill -0 "$pid" 2>/dev/null || { echo "rasterine ended without a window" >&2; return 1; }
        done
        end=$(date +%s%N)
        kill "$pid"
        wait "$pid" 2>/dev/null || true
        printf 'binary_start_to_mapped_ms %d.%03d\n' $(( (end - start) / 1000000 )) \
            $(( (end - start) / 1000 % 1000 )) >>"$work/window.txt"
        cd "$work"
    done
}
# xvfb-run is a POSIX shell script, which drops exported bash functions.
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    bash -c "$(declare -f inside_x)"' && inside_x "$@"' _ "$runs" "$root" "$work"

# Median of every figure over the runs.
awk '
    { values[$1] = values[$1] " " $2 }
    END {
        for (name in values) {
            n = split(substr(values[name], 2), list, " ")
            for (i = 1; i <= n; ++i) for (j = i + 1; j <= n; ++j)
                if (list[j] + 0 < list[i] + 0) { t = list[i]; list[i] = list[j]; list[j] = t }
            median[name] = (n % 2) ? list[(n + 1) / 2] : (list[n / 2] + list[n / 2 + 1]) / 2
            low[name] = list[1]; high[name] = list[n]
        }
        print "| figure | median | lowest | highest |"
        print "|---|---:|---:|---:|"
        split("start_to_main_ms start_to_exposed_ms start_to_painted_ms binary_start_to_mapped_ms " \
              "open_handler_ms timer_fired_after_open_ms convert_and_write_ms open_to_written_ms " \
              "open_to_written_beyond_timer_ms load_picture_alone_ms vmrss_mib vmhwm_mib", order, " ")
        for (k = 1; k in order; ++k) {
            name = order[k]
            if (name in median)
                printf "| %s | %.1f | %.1f | %.1f |\n", name, median[name], low[name], high[name]
        }
    }' "$work/window.txt"
