#!/usr/bin/env bash
# The counting loop and the mixed loop, in the script engine and in Lua 5.4 side by
# side: time per pass of each and the ratio script / Lua.
#
#   bench/script_engine/compare_lua.sh BUILD_DIR [REPETITIONS]
#
# BUILD_DIR holds a Release build with bench/script_engine/bench_interpreter.
# Needs lua5.4 (tools/setup.sh installs it). Each figure is the median of the
# repetitions.
set -euo pipefail

build=${1:?usage: compare_lua.sh BUILD_DIR [REPETITIONS]}
reps=${2:-5}
bench="$build/bench/script_engine/bench_interpreter"
[ -x "$bench" ] || { echo "no $bench: build the bench_interpreter target first" >&2; exit 1; }
command -v lua5.4 >/dev/null || { echo "lua5.4 is not installed" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Passes per second of a benchmark, median of the repetitions.
"$bench" --benchmark_filter='BM_(CountingLoop|MixedFrame)$' --benchmark_repetitions="$reps" \
    --benchmark_report_aggregates_only=true --benchmark_format=json >"$tmp/engine.json" 2>/dev/null

engine_ns() {
    python3 - "$tmp/engine.json" "$1" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
for b in data["benchmarks"]:
    if b["name"] == sys.argv[2] + "_median":
        print("%.2f" % (1e9 / b["passes/s"]))
PY
}

# The same passes in Lua: globals, as script variables are.
cat >"$tmp/counting.lua" <<'LUA'
local n = tonumber(arg[1])
i = 0
local t = os.clock()
for k = 1, n do
  i = i + 1
  if i > 1000000000 then end
end
print(string.format("%.2f", (os.clock() - t) * 1e9 / n))
LUA
cat >"$tmp/counting_bare.lua" <<'LUA'
local n = tonumber(arg[1])
i = 0
local t = os.clock()
for k = 1, n do i = i + 1 end
print(string.format("%.2f", (os.clock() - t) * 1e9 / n))
LUA
cat >"$tmp/mixed.lua" <<'LUA'
local n = tonumber(arg[1])
a, b, c, i, r, name = {}, {}, 0, 0, 0, ""
for k = 0, 15 do a[k] = 0; b[k] = 0 end
function sub(x, y)
  r = x * y
  return r
end
local t = os.clock()
for k = 1, n do
  a[i % 16] = b[i % 16] * 2 + c
  if a[3] > 10 and c < 5 then c = c + 1 else c = 0 end
  sub(i, 2)
  name = "hero" .. i
  i = i + 1
end
print(string.format("%.2f", (os.clock() - t) * 1e9 / n))
LUA

lua_ns() {  # median of the repetitions
    local script=$1 n=$2 k
    for ((k = 0; k < reps; ++k)); do lua5.4 "$tmp/$script" "$n"; done | sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'
}

count_engine=$(engine_ns BM_CountingLoop)
mixed_engine=$(engine_ns BM_MixedFrame)
count_lua=$(lua_ns counting.lua 20000000)
count_bare=$(lua_ns counting_bare.lua 20000000)
mixed_lua=$(lua_ns mixed.lua 2000000)

ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.1f", a / b}'; }
printf '%-40s %12s %12s %8s\n' "loop (ns per pass, median of $reps)" engine "Lua 5.4" ratio
printf '%-40s %12s %12s %8s\n' "counting (i = i + 1, condition)" "$count_engine" "$count_lua" "$(ratio "$count_engine" "$count_lua")"
printf '%-40s %12s %12s %8s\n' "counting against bare Lua loop" "$count_engine" "$count_bare" "$(ratio "$count_engine" "$count_bare")"
printf '%-40s %12s %12s %8s\n' "mixed (array, &&, call, join)" "$mixed_engine" "$mixed_lua" "$(ratio "$mixed_engine" "$mixed_lua")"
