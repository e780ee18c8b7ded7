#!/usr/bin/env bash
# Benchmarks of Tovemar under Wine: builds what it needs, prepares a prefix
# with the test drives and prints one table (Markdown). Takes a while: the
# leak check alone runs BENCH_CYCLES (default 10000) refresh-and-paint cycles.
# BENCH_DPI=192 (or 144) runs everything in a prefix at that display scaling.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
trap 'bench_cleanup' EXIT

CYCLES=${BENCH_CYCLES:-10000}
STARTS=${BENCH_STARTS:-10}
SLOW_STARTS=${BENCH_SLOW_STARTS:-5}
# Seconds per file-system call of the slow drive W:; Wine makes a few for a
# drive's three queries, so W: answers in some five seconds.
SLOW_DELAY=1
SLOW_ANSWER_S=10 # more than W: takes to answer
HUNG_S=5         # W:'s calls during the thread count: longer than it looks
DEADLINE_MS=300  # the program's wait for the drives' answers while its window is created
IDLE_S=${BENCH_IDLE_S:-60}
AUTO_UPDATE=32776
DPI=${BENCH_DPI:-96}

ensure_packages
TOVEMAR_TARGETS="Tovemar bench_bare bench_e2e bench_paint bench_warnings e2e_driver" build_all >&2
if [ "$DPI" = 96 ]; then
  use_prefix wineprefix-bench
else
  use_scaled_prefix "$DPI" "wineprefix-bench-dpi$DPI"
fi
prepare_test_drives
mount_slow_drive
ensure_display
start_wineserver

EXE_UNIX="$BUILD/app/Tovemar.exe"
BARE_UNIX="$BUILD/tests/bench/bench_bare.exe"
win() { local p="Z:$1"; echo "${p//\//\\}"; }
quiet() { "$@" 2> >(grep -v 'FS volume label' >&2); }
bench() { quiet wine "$BUILD/tests/bench/bench_e2e.exe" "$@"; }
drv() { quiet wine "$BUILD/tests/e2e/e2e_driver.exe" "$@"; }
PID=""
bench_cleanup() {
  [ -n "$PID" ] && drv kill "$PID"
  drv reg-clear
  cleanup
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2fx", a / b }'; }

drv reg-clear
say "start-up: $STARTS starts of Tovemar and of the bare program, alternately"
STARTUP=$(bench startup "$STARTS" "$(win "$EXE_UNIX")" Tovemar 59648 \
  "$(win "$BARE_UNIX")" "Bare drive window" 0)
read -r START_TOV START_TOV_MIN START_BARE START_BARE_MIN <<<"$(tr '\n' ' ' <<<"$STARTUP")"

say "paint: 26 rows in a view window (bench_paint)"
read -r PAINT26 PAINT26_FLOOR < <(quiet wine "$BUILD/tests/bench/bench_paint.exe" |
  awk '/^ *paint:/ { print $2, $5 }')

say "warnings: 21 drives' readings over a simulated week of 10-second polls (bench_warnings)"
read -r WARN_POLL_US WARN_HELD_KB < <(quiet wine "$BUILD/tests/bench/bench_warnings.exe" |
  awk '/^per poll:/ { us = $3 } /^held:/ { kb = $2 } END { print us, kb }')

PID=$(drv start "$(win "$EXE_UNIX")")
say "refresh: 30 refreshes of the running program"
read -r REFRESH ROUNDTRIP BARE_CALLS TYPE_CALLS DRIVES < <(bench refresh "$PID" 30)
say "paint: 200 paints of the running program's view"
read -r PAINT_VIEW PAINT_ROUNDTRIP < <(bench paint "$PID" 200)
say "leaks: $CYCLES refresh-and-paint cycles"
SOAK=$(bench soak "$PID" "$CYCLES" | tee /dev/stderr)
drv close "$PID" >/dev/null
PID=""

say "slow drive: $SLOW_STARTS starts with W: slow ($SLOW_DELAY s a call) and fast, alternately"
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
start1() { bench start1 "$(win "$EXE_UNIX")" Tovemar 59648; }
WITH=() WITHOUT=()
start1 >/dev/null # warms the caches; not counted
for _ in $(seq "$SLOW_STARTS"); do
  set_slow_delay "$SLOW_DELAY"
  WITH+=("$(start1)")
  set_slow_delay 0
  WITHOUT+=("$(start1)")
done
START_SLOW=$(median "${WITH[@]}")
START_NOSLOW=$(median "${WITHOUT[@]}")

say "slow drive: the longest wait for an answer during F5, W: slow and fast"
# W:'s figures are known (it is fast until the window has settled); each F5
# comes after its earlier answers and asks it afresh.
PID=$(drv start "$(win "$EXE_UNIX")")
drv idle "$PID"
set_slow_delay "$SLOW_DELAY"
read -r SILENCE_SLOW SILENCE_SLOW_MAX < <(bench silence "$PID" 3 $((SLOW_ANSWER_S * 1000)))
set_slow_delay 0
read -r SILENCE_FAST SILENCE_FAST_MAX < <(bench silence "$PID" 3 1500)

say "threads: the most the process runs during an F5 with W: hung, and idle"
# peak_threads S: the most Linux threads the program ran at once over S
# seconds, sampled without a fork in between.
peak_threads() {
  local end=$((${EPOCHREALTIME/./} + $1 * 1000000)) peak=0 t
  while [ "${EPOCHREALTIME/./}" -lt "$end" ]; do
    t=(/proc/"$UNIX_PID"/task/*)
    [ ${#t[@]} -gt "$peak" ] && peak=${#t[@]}
  done
  echo "$peak"
}
UNIX_PID=$(program_pid "$(win "$EXE_UNIX")")
drv idle "$PID"
THREADS_IDLE=$(peak_threads 1)
# Each of W:'s calls now takes longer than the sampling: it hangs meanwhile.
set_slow_delay "$HUNG_S"
peak_threads 3 >"$BUILD/bench-threads" &
drv key "$PID" 0x74 # F5
wait $!
THREADS_F5=$(cat "$BUILD/bench-threads")
set_slow_delay 0
drv idle "$PID"

say "rows painted by an F5 that changes nothing"
P0=$(bench painted "$PID")
drv cmd "$PID" 32771
drv idle "$PID"
ROWS_F5=$(($(bench painted "$PID") - P0))
drv close "$PID" >/dev/null
PID=""

say "idle: processor time over $IDLE_S s with Update Automatically on, then off"
PID=$(drv start "$(win "$EXE_UNIX")")
UNIX_PID=$(program_pid "$(win "$EXE_UNIX")")
# idle_minute: "ms switches" over IDLE_S s from a moment with no answer out,
# scaled to a minute: the processor time of the process, the context
# switches of its UI thread (a timer tick is one; a Wine server call is too).
idle_minute() {
  drv idle "$PID"
  local w0 w1 c0=$(cpu_ms "$UNIX_PID")
  read -r w0 _ <<<"$(ui_activity "$UNIX_PID")"
  sleep "$IDLE_S"
  read -r w1 _ <<<"$(ui_activity "$UNIX_PID")"
  echo $((($(cpu_ms "$UNIX_PID") - c0) * 60 / IDLE_S)) $(((w1 - w0) * 60 / IDLE_S))
}
read -r IDLE_ON WAKE_ON < <(idle_minute)
drv cmd "$PID" $AUTO_UPDATE
read -r IDLE_OFF WAKE_OFF < <(idle_minute)
drv cmd "$PID" $AUTO_UPDATE

say "free space: from a change of W:'s free space to its row, 3 times; once with F5"
# free_to_row GB [F5]: ms from setting W:'s free space (of 100 GB) to its row
# showing it, the driver's start included.
free_to_row() {
  local t0=$(date +%s%N)
  set_slow_free $(($1 << 30))
  [ -z "${2:-}" ] || drv cmd "$PID" 32771
  drv expect-accessible "$PID" "^SLOW \\(W:\\)\\t$((100 - $1))% used" >/dev/null
  echo $((($(date +%s%N) - t0) / 1000000))
}
# The rows each change repaints: the other drives are folders on the host's
# file system, whose free space moves with whatever else the machine writes,
# and their rows repaint when their texts change too; the fewest counts.
# W:, the last row, is scrolled into sight: a row out of it paints nothing.
drv scroll "$PID" 4 10000
FREE_TIMES=() ROWS_FREE=()
for gb in 30 20 10; do
  P0=$(bench painted "$PID")
  FREE_TIMES+=("$(free_to_row $gb)")
  ROWS_FREE+=($(($(bench painted "$PID") - P0)))
done
FREE_F5=$(free_to_row 40 F5)
drv close "$PID" >/dev/null
PID=""

say "memory: private bytes after start-up, Tovemar and the bare program"
MEM_TOV=$(bench memory "$(win "$EXE_UNIX")" Tovemar 59648)
MEM_BARE=$(bench memory "$(win "$BARE_UNIX")" "Bare drive window" 0)
# The same with nothing asking the window (no screen reader): serving the
# accessible object to another process makes Wine start its RPC threads.
# Tovemar keeps its window's thread and the drive engine's keeper.
MEM_TOV_QUIET=$(bench quiet-memory "$(win "$EXE_UNIX")" Tovemar 59648 2)
MEM_BARE_QUIET=$(bench quiet-memory "$(win "$BARE_UNIX")" "Bare drive window" 0 1)

# Soak lines: cycles gdi user private-bytes user-is-windows.
soak_at() { awk -v c="$1" -v f="$2" '$1 == c { print $f }' <<<"$SOAK"; }
LAST=$(tail -n1 <<<"$SOAK" | awk '{ print $1 }')
USER_KIND="USER objects"
[ "$(soak_at 0 5)" = 1 ] && USER_KIND="windows (Wine has no GetGuiResources)"
mb() { awk -v b="$1" 'BEGIN { printf "%.2f MB", b / 1048576 }'; }
SIZE=$(stat -c %s "$EXE_UNIX")
DLLS=$(x86_64-w64-mingw32-objdump -p "$EXE_UNIX" | awk '/DLL Name:/ { print $3 }' | sort | paste -sd, | sed 's/,/, /g')
REFRESH_NET=$(awk -v a="$REFRESH" -v b="$ROUNDTRIP" 'BEGIN { printf "%.1f", a - b }')
PAINT_NET=$(awk -v a="$PAINT_VIEW" -v b="$PAINT_ROUNDTRIP" 'BEGIN { printf "%.2f", a - b }')

cat <<TABLE

Tovemar $(git -C "$ROOT" describe --always --dirty 2>/dev/null || echo build), $(date -u '+%Y-%m-%d %H:%M UTC')
$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores, $(wine --version), Xvfb at $DPI DPI; $DRIVES drives

| measure | Tovemar | reference | ratio | goal |
|---|---|---|---|---|
| start to first painted row, median of $STARTS (best) | $START_TOV ms ($START_TOV_MIN) | bare program $START_BARE ms ($START_BARE_MIN) | $(ratio "$START_TOV" "$START_BARE") | <= 1.1x |
| start to first painted row with the network drive W: slow ($SLOW_DELAY s a file-system call), median of $SLOW_STARTS | $START_SLOW ms | the same start with W: fast $START_NOSLOW ms | +$(awk -v a="$START_SLOW" -v b="$START_NOSLOW" 'BEGIN { printf "%.0f", a - b }') ms | <= +$DEADLINE_MS ms |
| longest wait for an answer during F5 with W: slow, its figures known, median of 3 (largest) | $SILENCE_SLOW ms ($SILENCE_SLOW_MAX) | W: fast $SILENCE_FAST ms ($SILENCE_FAST_MAX) | | <= 50 ms |
| longest wait for an answer during F5, largest of 3: W: slow | $SILENCE_SLOW_MAX ms | W: fast $SILENCE_FAST_MAX ms | | <= 10 ms both |
| peak threads during an F5 of $DRIVES drives, W: hung ($HUNG_S s a call) | $THREADS_F5 | idle $THREADS_IDLE | +$((THREADS_F5 - THREADS_IDLE)) | <= idle + 4 |
| rows painted when W:'s free space changes (the poll's answer), fewest of 3 (all) | $(printf '%s\n' "${ROWS_FREE[@]}" | sort -n | head -n1) (${ROWS_FREE[*]}) | by an F5 that changes nothing: $ROWS_F5 | | 1 |
| idle program, a minute ($IDLE_S s measured): processor time (UI-thread context switches), Update Automatically on | $IDLE_ON ms ($WAKE_ON) | option off $IDLE_OFF ms ($WAKE_OFF) | | <= 100 ms on; 0 timer ticks (switches) off |
| from a change of W:'s free space to its row, median of 3 (largest) | $(median "${FREE_TIMES[@]}") ms ($(printf '%s\n' "${FREE_TIMES[@]}" | sort -n | tail -n1)) | with F5 after the change $FREE_F5 ms | | <= 10500 ms |
| private bytes after start-up | $(mb "$MEM_TOV") | bare program $(mb "$MEM_BARE") | $(ratio "$MEM_TOV" "$MEM_BARE") | <= 1.5x |
| private bytes after start-up, nothing asking the window | $(mb "$MEM_TOV_QUIET") | bare program $(mb "$MEM_BARE_QUIET") | $(ratio "$MEM_TOV_QUIET" "$MEM_BARE_QUIET") | <= 1.3x |
| refresh of $DRIVES drives (F5), less a $ROUNDTRIP ms message round trip | $REFRESH_NET ms | bare calls $BARE_CALLS ms; with the policy's drive types $(awk -v a="$BARE_CALLS" -v b="$TYPE_CALLS" 'BEGIN { printf "%.1f", a + b }') ms | $(ratio "$REFRESH_NET" "$BARE_CALLS"); $(ratio "$REFRESH_NET" "$(awk -v a="$BARE_CALLS" -v b="$TYPE_CALLS" 'BEGIN { print a + b }')") | <= 1.1x |
| one paint of 26 rows (bench_paint) | $PAINT26 ms | FillRect/DrawText floor $PAINT26_FLOOR ms | $(ratio "$PAINT26" "$PAINT26_FLOOR") | |
| one paint of the running view ($DRIVES rows), less the round trip | $PAINT_NET ms | | | |
| warnings: readings and trends of 21 drives, a simulated week of 10-second polls (bench_warnings): processor time per poll; memory held | $WARN_POLL_US us; $WARN_HELD_KB KB | | | well under the poll's own cost; < 200 KB |
| GDI objects: start, after 100 and $LAST cycles | $(soak_at 0 2), $(soak_at 100 2), $(soak_at "$LAST" 2) | | | no growth |
| GDI objects after 100, 1000 and 2000 cycles | $(soak_at 100 2), $(soak_at 1000 2), $(soak_at 2000 2) | | | all equal |
| $USER_KIND: start, after 100 and $LAST cycles | $(soak_at 0 3), $(soak_at 100 3), $(soak_at "$LAST" 3) | | | no growth |
| private bytes: start, after 100 and $LAST cycles | $(mb "$(soak_at 0 4)"), $(mb "$(soak_at 100 4)"), $(mb "$(soak_at "$LAST" 4)") | | | no growth after the first cycles |
| Tovemar.exe size | $((SIZE / 1024)) KB | | | <= 512 KB |
| imported DLLs | $DLLS | | | system DLLs only |
TABLE
