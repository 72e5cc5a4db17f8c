#!/usr/bin/env bash
# Runs the conversion-pass benchmark and prints a Markdown table of the median
# time of one pass, in microseconds, for every mode (rows) and half-tone with
# and without Stagger (columns).
# Usage: bench/engine_table.sh [build folder or benchmark binary]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
bench=${1:-build}
[[ -d "$bench" ]] && bench="$bench/bench/conversion_bench"
[[ -x "$bench" ]] || { echo "$bench is missing: build the benchmarks first" >&2; exit 1; }

"$bench" --benchmark_filter='^ConversionPass/' --benchmark_repetitions=15 \
    --benchmark_min_time=0.05 --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2>/dev/null |
awk -F, '
    # Rows look like "ConversionPass/mode:1/tone:3/stagger:0_median",...,real_time,...
    $1 ~ /_median"?$/ {
        name = $1; gsub(/"/, "", name)
        split(name, part, /[\/:_]/)
        mode = part[3]; tone = part[5]; stagger = part[7]
        median[mode, tone, stagger] = $3
        if ($3 + 0 > worst) worst = $3 + 0
        if ($4 + 0 > worstCpu) worstCpu = $4 + 0
    }
    END {
        split("None Fine Coarse Spiral Diagonal", toneName, " ")
        header = "| mode |"; rule = "|---|"
        for (s = 0; s <= 1; s++)
            for (t = 0; t <= 4; t++) {
                header = header " " toneName[t + 1] (s ? " + Stagger" : "") " |"
                rule = rule "---:|"
            }
        print header; print rule
        split("0 1 2 4 5", modes, " ")
        for (m = 1; m <= 5; m++) {
            line = "| " modes[m] " |"
            for (s = 0; s <= 1; s++)
                for (t = 0; t <= 4; t++)
                    line = line sprintf(" %.0f |", median[modes[m], t, s])
            print line
        }
        printf "\nSlowest median: %.0f us per pass (wall clock); slowest CPU-time median: %.0f us.\n", worst, worstCpu
    }'
