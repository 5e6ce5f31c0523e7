#!/usr/bin/env bash
# The crash test: the real exporter, driven by the host simulator, writes the maximal
# store's report (repainting at every unit, so the write takes seconds) over an earlier
# report, and is killed with SIGKILL at moments spread over the write, chosen from a
# fixed seed. After every kill the destination must be the earlier report or the new
# one, whole, byte for byte; a side file a killed run left with bytes (it may hold the
# one copy of a report) must stay as it was through every later killed run, and every
# side file must be gone once an export has its report in place. Prints the tally;
# fails on anything else, on fewer kills inside the write than asked, and on a side
# file changed too early or left after a completed export.
#
# The side file lives for seconds but takes its bytes within some tens of milliseconds:
# the report is gathered in 64 KiB pieces; the early sections (slow, at a repaint per
# unit) fit in one, the rental rows then arrive as megabytes at once, and the last piece
# waits for the closing sections and the close. So half of the moments are points in
# time (a share of the side file's life in a calibration run), which find the side file
# empty or all but full, and half are points of the bytes written (the side file grown
# to a share of the new report), which land among the writes. A moment in time may come
# after the end of a run that is faster than the calibration (the speed of a run varies
# twofold on a busy machine): that is no failure, the kill is tried again at half the
# moment. Only a cut or lost report, a side file changed before a report was in place or
# left after one, or fewer kills inside the write than asked fail the test.
#
# Environment (set by CMake): E2E_WORK_ROOT, E2E_SIMULATOR, E2E_PRO,
# E2E_MAXIMAL_STORE_WRITER, WINEPREFIX. Optional: CRASH_KILLS (30), CRASH_SEED (13),
# CRASH_MIN_HITS (20), CRASH_FRAME_US (0: a repaint at every unit).
# Without DISPLAY the test runs under its own Xvfb.
set -euo pipefail

: "${E2E_WORK_ROOT:?}" "${E2E_SIMULATOR:?}" "${E2E_PRO:?}" "${E2E_MAXIMAL_STORE_WRITER:?}" "${WINEPREFIX:?}"
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

KILLS=${CRASH_KILLS:-30}
SEED=${CRASH_SEED:-13}
MIN_HITS=${CRASH_MIN_HITS:-20}
FRAME_US=${CRASH_FRAME_US:-0}
export WINEDEBUG=-all LANG=ja_JP.UTF-8
unset LC_ALL LC_CTYPE LC_MESSAGES

WORK="$E2E_WORK_ROOT/crash"
rm -rf "$WORK"
mkdir -p "$WORK/bin" "$WORK/out" "$WORK/settings" "$WORK/default" "$WORK/ref"
cp "$E2E_PRO" "$(dirname "$E2E_PRO")"/*.dll "$WORK/bin/"
printf '[ProgramLevel]\r\nTV14=2\r\n' > "$WORK/bin/TaxvaneDef.ini"

winpath() { printf 'Z:%s' "${1//\//\\}"; }
fail() {
    printf 'FAIL [crash]: %s\n' "$*" >&2
    exit 1
}
now_ms() { local t=$EPOCHREALTIME; printf '%s' "$(( ${t%.*} * 1000 + 10#${t#*.} / 1000 ))"; }

REPORT="$WORK/out/report.xml"
EXE_WIN="$(winpath "$WORK/bin")\\LedgraProExport.exe"

# One Wine server for all runs: starting one per run would cost more than the kills.
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT

# The stores: the maximal one for the new report, the built-in sample company for the
# earlier one; the maximal one keeps its folders in the work folder.
"${LEDGRA_WINE:-wine}" "$E2E_MAXIMAL_STORE_WRITER" "$(winpath "$WORK/maximal.raw.json")"
python3 - "$WORK" "$(winpath "$WORK")\\" <<'PY'
import json, sys
work, win = sys.argv[1:3]
with open(work + "/maximal.raw.json", encoding="utf-8") as f:
    store = json.load(f)
store["folders"] = {"output": win + "default\\", "settings": win + "settings\\"}
with open(work + "/maximal.json", "w", encoding="utf-8") as f:
    json.dump(store, f, ensure_ascii=False)
PY
printf 'form 3\nkey f12\nanswer ok\nwait-end\n' > "$WORK/script.txt"

# Starts one export in the background, the host fixing the path (no overwrite
# question). Argument: store file ("" for the sample company). Sets SIM_PID, STARTED.
start_export() {
    local store=$1
    (
        cd "$WORK"
        if [ -n "$store" ]; then export LEDGRA_HOST_DATA; LEDGRA_HOST_DATA=$(winpath "$store"); fi
        export LEDGRA_PROGRESS_FRAME_US=$FRAME_US
        exec "${LEDGRA_WINE:-wine}" "$E2E_SIMULATOR" --exporter "$EXE_WIN" --fixed-path "$(winpath "$REPORT")" \
            --script "$(winpath "$WORK/script.txt")" --timeout 120
    ) > "$WORK/sim.out" 2> "$WORK/sim.err" &
    SIM_PID=$!
    STARTED=$(now_ms)
}

# The exporter's own process: the one whose command line names our copy of it (not
# the simulator, which is given it, nor the grep that looked).
exporter_pid() {
    local f cmd
    for f in $(grep -lsaF -e "$EXE_WIN" -e "$WORK/bin/LedgraProExport.exe" /proc/[0-9]*/cmdline); do
        cmd=$( { tr '\0' ' ' < "$f"; } 2>/dev/null) || continue
        case "$cmd" in
        *host-simulator* | *grep*) ;;
        *LedgraProExport.exe*) f=${f#/proc/}; printf '%s' "${f%/cmdline}"; return 0 ;;
        esac
    done
    return 1
}

# Side files of the report in the folder (names only).
side_files() { (cd "$WORK/out" && ls -1 -- *.unfinished 2>/dev/null) || true; }
# This run's side file (one not marked as left by an earlier run): prints its name.
fresh_side_file() {
    local f
    for f in $(side_files); do
        if [ "$(stat -c %Y "$WORK/out/$f" 2>/dev/null || echo 0)" -gt 1000000000 ]; then
            printf '%s' "$f"
            return 0
        fi
    done
    return 1
}
# Marks what a killed run left, so that the next run can tell it from its own, and notes
# the sizes of those with bytes: until a report is in place nothing may change them.
mark_left_side_files() {
    local f
    : > "$WORK/left.sizes"
    for f in $(side_files); do
        touch -d '2000-01-01 00:00:00' "$WORK/out/$f"
        [ -s "$WORK/out/$f" ] && printf '%s %s\n' "$f" "$(stat -c %s "$WORK/out/$f")" >> "$WORK/left.sizes"
    done
    return 0
}
# Left side files with bytes that a killed run removed or changed.
changed_left_side_files() {
    local f size
    while read -r f size; do
        [ "$(stat -c %s "$WORK/out/$f" 2>/dev/null || echo gone)" = "$size" ] || printf '%s ' "$f"
    done < "$WORK/left.sizes"
    return 0
}
left_side_files() {
    local f
    for f in $(side_files); do
        [ "$(stat -c %Y "$WORK/out/$f")" -lt 1000000000 ] && printf '%s ' "$f"
    done
    return 0
}

# A whole export: must complete and leave no side file.
complete_export() {
    start_export "$1"
    local rc=0
    wait "$SIM_PID" || rc=$?
    [ "$rc" -eq 0 ] && grep -q 'message-box: 0x40' "$WORK/sim.out" || {
        cat "$WORK/sim.out" "$WORK/sim.err" >&2
        fail "the export did not complete (simulator exit $rc)"
    }
    [ -z "$(side_files)" ] || fail "a completed export left side files: $(side_files)"
}

# ---- the earlier report and the new one, and how long the write takes ----------------
complete_export ""
cp "$REPORT" "$WORK/ref/old.xml"

# Calibration: the new report over the earlier one, timing the side file from its
# appearance (the caption at 50 %) to its replacement of the destination (100 %).
start_export "$WORK/maximal.json"
appeared=0 replaced=0
while kill -0 "$SIM_PID" 2>/dev/null; do
    if [ "$appeared" -eq 0 ] && fresh_side_file > /dev/null; then appeared=$(now_ms); fi
    if [ "$appeared" -ne 0 ] && [ "$replaced" -eq 0 ] && ! fresh_side_file > /dev/null; then replaced=$(now_ms); fi
    sleep 0.005
done
wait "$SIM_PID" || fail "the calibration export failed: $(cat "$WORK/sim.err")"
[ "$appeared" -ne 0 ] && [ "$replaced" -ne 0 ] || fail "the side file was never seen during the calibration export"
LIFE_MS=$((replaced - appeared))
cp "$REPORT" "$WORK/ref/new.xml"
cmp -s "$WORK/ref/old.xml" "$WORK/ref/new.xml" && fail "the earlier and the new report are the same"
NEW_SIZE=$(stat -c %s "$WORK/ref/new.xml")
printf 'calibration: export %d ms; the side file appeared after %d ms and lived %d ms; report %d bytes over %d bytes\n' \
    "$(( $(now_ms) - STARTED ))" "$((appeared - STARTED))" "$((replaced - appeared))" "$NEW_SIZE" \
    "$(stat -c %s "$WORK/ref/old.xml")"

# The moments: one in each of KILLS equal slices of the write, at a place in the slice
# drawn from the seed; odd kills take it as a share of the side file's life in time,
# even kills as a share of the new report's bytes.
mapfile -t FRACTIONS < <(python3 - "$SEED" "$KILLS" <<'PY'
import random, sys
seed, kills = int(sys.argv[1]), int(sys.argv[2])
rng = random.Random(seed)
for i in range(kills):
    print("%.6f" % ((i + rng.random()) / kills))
PY
)

# ---- the kills ------------------------------------------------------------------------
# One try at a kill: starts the export and kills the exporter at the moment ($by, $moment).
# Sets pid, side, appeared, killed; returns 1 when the export ended before the moment came
# (a run faster than the calibration), which is no failure of the report.
try_kill() {
    start_export "$WORK/maximal.json"
    pid="" side="" appeared=0 killed=0
    local size deadline
    deadline=$(( $(now_ms) + 120000 ))
    # Wait for the exporter and its side file, then for the moment; a side file that is
    # gone has taken the destination's place.
    while :; do
        [ -n "$pid" ] || pid=$(exporter_pid) || pid=""
        if [ -n "$pid" ]; then
            side=$(fresh_side_file) || side=""
            if [ -n "$side" ]; then
                [ "$appeared" -ne 0 ] || appeared=$(now_ms)
                if [ "$by" = ms ]; then
                    [ $(( $(now_ms) - appeared )) -ge "$moment" ] && break
                else
                    size=$(stat -c %s "$WORK/out/$side" 2>/dev/null) || break
                    [ "$size" -ge "$moment" ] && break
                fi
            elif [ "$appeared" -ne 0 ]; then
                break
            fi
        fi
        if ! kill -0 "$SIM_PID" 2>/dev/null; then
            wait "$SIM_PID" 2>/dev/null || true
            return 1
        fi
        [ "$(now_ms)" -lt "$deadline" ] || fail "kill $i: the moment did not come within 120 s"
        sleep 0.001
    done
    kill -KILL "$pid" 2>/dev/null || true
    killed=$(now_ms)
    # The simulator ends once the Wine server has seen the exporter die and closed its
    # files.
    wait "$SIM_PID" 2>/dev/null || true
    return 0
}

hits=0 old=0 new=0 other=0 changed=0 retries=0 missed=0
for i in $(seq 1 "$KILLS"); do
    if ((i % 2)); then
        by=ms
        moment=$(awk -v f="${FRACTIONS[$((i - 1))]}" -v n="$LIFE_MS" 'BEGIN { printf "%d", f * n }')
    else
        by=bytes
        moment=$(awk -v f="${FRACTIONS[$((i - 1))]}" -v n="$NEW_SIZE" 'BEGIN { printf "%d", f * n }')
    fi
    # A moment after the end of the export is tried again at half the moment, a few times;
    # the export that ended must have left the new report whole.
    for attempt in 1 2 3 4; do
        cp "$WORK/ref/old.xml" "$REPORT"
        mark_left_side_files
        try_kill && break
        cmp -s "$REPORT" "$WORK/ref/new.xml" || fail "kill $i: an export that ended by itself left no whole report"
        [ -z "$(fresh_side_file)" ] || fail "kill $i: an export that ended by itself left its side file"
        retries=$((retries + 1))
        [ "$attempt" -lt 4 ] || { missed=$((missed + 1)); killed=0; break; }
        moment=$((moment / 2))
    done
    if [ "$killed" -eq 0 ]; then
        printf 'kill %2d: every export ended before its moment (%d tries)\n' "$i" "$attempt"
        continue
    fi

    hit=no
    if fresh_side_file > /dev/null; then hit=yes; hits=$((hits + 1)); fi
    if cmp -s "$REPORT" "$WORK/ref/old.xml"; then
        state=old; old=$((old + 1))
    elif cmp -s "$REPORT" "$WORK/ref/new.xml"; then
        state=new; new=$((new + 1))
    else
        state="OTHER ($(stat -c %s "$REPORT" 2>/dev/null || echo missing) bytes)"; other=$((other + 1))
        cp "$REPORT" "$WORK/ref/other-$i.xml" 2>/dev/null || true
    fi
    # Once the new report is in place the run may have removed them, as it should.
    left=""
    [ "$state" = new ] || left=$(changed_left_side_files)
    if [ -n "$left" ]; then changed=$((changed + 1)); fi
    printf 'kill %2d at %7d %-5s (%5d ms into the write, side file %7s bytes): in the write %-3s destination %s%s\n' \
        "$i" "$moment" "$by" "$((killed - appeared))" "$(stat -c %s "$WORK/out/$side" 2>/dev/null || echo gone)" \
        "$hit" "$state" "${left:+  CHANGED BEFORE A REPORT WAS IN PLACE: $left}"
done

# The next export that completes removes what all the kills left: the sample company's,
# which is quick, over the new report.
mark_left_side_files
cp "$WORK/ref/new.xml" "$REPORT"
complete_export ""
cmp -s "$REPORT" "$WORK/ref/old.xml" || fail "the export after the kills did not write its report"

printf '\ntally: kills %d, in the write %d, old whole %d, new whole %d, anything else %d' \
    "$KILLS" "$hits" "$old" "$new" "$other"
printf ', left side files changed before a report was in place %d, tried again earlier %d, never reached %d\n' \
    "$changed" "$retries" "$missed"
[ "$other" -eq 0 ] || fail "$other kills left the destination neither the earlier nor the new report"
[ "$changed" -eq 0 ] || fail "$changed kills found a left side file changed before a report was in place"
[ "$hits" -ge "$MIN_HITS" ] || fail "only $hits kills landed in the write (at least $MIN_HITS wanted)"
echo "PASS [crash]"
