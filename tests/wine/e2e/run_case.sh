#!/usr/bin/env bash
# Runs one end-to-end case under Wine: a fresh program folder with the exporter and
# TaxvaneDef.ini, the case's host data store, the host simulator driving the exporter
# by the case's script, and then the checks: the simulator's printed lines against the
# expected file, the host call log, the report against its golden, the case's own
# checks, and every report left against the schema.
#
# Usage: run_case.sh CASE_DIR
# Environment (set by CMake): E2E_SOURCE_DIR, E2E_WORK_ROOT, E2E_SIMULATOR, E2E_PRO,
# E2E_BASIC, E2E_FAKE, E2E_BUILD_DIR, WINEPREFIX. Without DISPLAY each run gets its own Xvfb.
#
# A case folder holds:
#   case.conf       bash, setting any of:
#                   EXPORTER=pro|basic|fake|package (fake: the simulator's own test
#                   program; package: LedgraProExport.exe as shipped, from the build's
#                   package unzipped into bin/, its host DLLs into host/);
#                   SIM_ARGS=(...) more simulator options;
#                   TAXVANE_LEVEL: the TV14 value, "none" (no TaxvaneDef.ini) or "nokey";
#                   HOST_DATA: repo-relative store to start from (default: the sample
#                   company; "builtin": no store, the stand-in serves its own sample);
#                   HOST_PATCH: JSON merged into it (objects key by key,
#                   anything else replaced); a host.json in the case folder wins;
#                   RUN_LANG (RUN_LANG2 for a second run); EXPECT_RC;
#                   GOLDEN (repo-relative) and REPORT (work-relative) to compare;
#                   functions setup, check and check2.
#   script.txt      simulator script
#   expected.txt    the simulator's expected output lines
#   log.txt         lines that must occur in this order in the host call log (optional)
#   script2.txt, expected2.txt, log2.txt: a second run in the same folder (optional)
# In script.txt, expected.txt, SIM_ARGS and HOST_PATCH, @WORK@ stands for the work folder
# as Windows sees it (Z:\...\, ending in a backslash); in host.json @WORKJ@ is the same
# with doubled backslashes for JSON.
set -euo pipefail

CASE_DIR=$(cd "${1:?usage: run_case.sh CASE_DIR}" && pwd)
CASE=$(basename "$CASE_DIR")
: "${E2E_SOURCE_DIR:?}" "${E2E_WORK_ROOT:?}" "${E2E_SIMULATOR:?}" "${WINEPREFIX:?}"

WORK="$E2E_WORK_ROOT/$CASE"
rm -rf "$WORK"
mkdir -p "$WORK/bin" "$WORK/out" "$WORK/settings" "$WORK/default"

fail() {
    printf 'FAIL [%s]: %s\n' "$CASE" "$*" >&2
    exit 1
}

# Z: is the Linux root in Wine.
winpath() { printf 'Z:%s' "${1//\//\\}"; }
WIN_WORK="$(winpath "$WORK")\\"
WIN_WORK_JSON=${WIN_WORK//\\/\\\\}

# Replaces the placeholders of a case file and writes the result.
expand() {
    local from=$1 to=$2 text
    text=$(<"$from")
    text=${text//@WORKJ@/$WIN_WORK_JSON}
    text=${text//@WORK@/$WIN_WORK}
    printf '%s\n' "$text" > "$to"
}

# Defaults, overridden by case.conf.
EXPORTER=pro
SIM_ARGS=()
TAXVANE_LEVEL=2
HOST_DATA=
HOST_PATCH='{}'
RUN_LANG=ja_JP.UTF-8
RUN_LANG2=
EXPECT_RC=0
GOLDEN=
REPORT=
setup() { :; }
check() { :; }
# shellcheck source=/dev/null
source "$CASE_DIR/case.conf"

case "$EXPORTER" in
    pro) EXE=${E2E_PRO:?} ;;
    basic) EXE=${E2E_BASIC:?} ;;
    fake) EXE=${E2E_FAKE:?} ;;
    package) EXE=$WORK/bin/LedgraProExport.exe ;;
    *) fail "EXPORTER must be pro, basic, fake or package" ;;
esac
EXE_NAME=$(basename "$EXE")
if [ "$EXPORTER" = package ]; then
    # As installed: the programs in the tax product's folder, the host's libraries in the
    # host's own.
    (cd "${E2E_BUILD_DIR:?}" && env -u LEDGRA_SIGN_PKCS12 -u LEDGRA_SIGN_TIMESTAMP_URL \
        cpack -B "$WORK/package" -D CPACK_LEDGRA_SIGN_PKCS12= >"$WORK/cpack.log" 2>&1) ||
        { cat "$WORK/cpack.log"; fail "the package could not be made"; }
    zip=$(find "$WORK/package" -maxdepth 1 -name 'LedgraExport-*-win*.zip' ! -name '*-debug.zip' -print -quit)
    [ -n "$zip" ] || fail "the package run left no program zip"
    mkdir -p "$WORK/unzipped" "$WORK/host"
    (cd "$WORK/unzipped" && cmake -E tar xf "$zip")
    cp "$WORK"/unzipped/*.exe "$WORK"/unzipped/*.txt "$WORK/bin/"
    cp "$WORK"/unzipped/*.dll "$WORK/host/"
    SIM_ARGS+=(--host-folder "$(winpath "$WORK/host")")
else
    cp "$EXE" "$WORK/bin/"
fi
# The stand-in's DLLs, which the build puts beside the exporters it tests.
if [ "$EXPORTER" = pro ] || [ "$EXPORTER" = basic ]; then
    cp "$(dirname "$EXE")"/*.dll "$WORK/bin/"
fi
for f in SUPPORT.INF; do
    [ -f "$(dirname "$EXE")/$f" ] && cp "$(dirname "$EXE")/$f" "$WORK/bin/"
done
case "$TAXVANE_LEVEL" in
    none) ;;
    nokey) printf '[ProgramLevel]\r\n' > "$WORK/bin/TaxvaneDef.ini" ;;
    *) printf '[ProgramLevel]\r\nTV14=%s\r\n' "$TAXVANE_LEVEL" > "$WORK/bin/TaxvaneDef.ini" ;;
esac

# The host data store: the case's own, or a shared one with its folders moved into the
# work folder, so that no run sees another's remembered destinations.
if [ "$HOST_DATA" = builtin ]; then
    :
elif [ -f "$CASE_DIR/host.json" ]; then
    expand "$CASE_DIR/host.json" "$WORK/host.json"
else
    python3 - "$E2E_SOURCE_DIR/${HOST_DATA:-docs/sample-host-data.json}" "$WORK/host.json" "$WIN_WORK" \
              "$HOST_PATCH" <<'PY'
import json, sys
src, dst, work, patch = sys.argv[1:5]
with open(src, encoding="utf-8") as f:
    store = json.load(f)
store.pop("comment", None)
store["folders"] = {"output": work + "default\\", "settings": work + "settings\\"}
def merge(into, more):
    for key, value in more.items():
        if isinstance(value, dict) and isinstance(into.get(key), dict):
            merge(into[key], value)
        else:
            into[key] = value
merge(store, json.loads(patch.replace("@WORK@", work.replace("\\", "\\\\"))))
with open(dst, "w", encoding="utf-8") as f:
    json.dump(store, f, ensure_ascii=False, indent=1)
PY
fi

setup

# One run of the simulator. Arguments: script file, expected file, output name, locale.
run_simulator() {
    local script=$1 expected=$2 name=$3 run_lang=$4
    local args=(--exporter "$(winpath "$WORK/bin/$EXE_NAME")" --timeout "${E2E_TIMEOUT:-60}")
    if [ -f "$script" ]; then
        expand "$script" "$WORK/$name.script.txt"
        args+=(--script "$(winpath "$WORK/$name.script.txt")")
    fi
    local a
    for a in "${SIM_ARGS[@]}"; do
        a=${a//@WORK@/$WIN_WORK}
        args+=("$a")
    done
    local rc=0
    (
        cd "$WORK"
        if [ "$HOST_DATA" != builtin ]; then
            export LEDGRA_HOST_DATA
            LEDGRA_HOST_DATA=$(winpath "$WORK/host.json")
        fi
        export LEDGRA_HOST_LOG
        LEDGRA_HOST_LOG=$(winpath "$WORK/host.log")
        export LANG=$run_lang WINEDEBUG=-all
        unset LC_ALL LC_CTYPE LC_MESSAGES
        if [ -n "${DISPLAY:-}" ]; then
            "${LEDGRA_WINE:-wine}" "$E2E_SIMULATOR" "${args[@]}"
        else
            xvfb-run -a -s "-screen 0 1024x768x24" "${LEDGRA_WINE:-wine}" "$E2E_SIMULATOR" "${args[@]}"
        fi
    ) > "$WORK/$name.out" 2> "$WORK/$name.err" || rc=$?
    # Nothing of this run may outlive it.
    wineserver -k 2>/dev/null || true
    echo "--- simulator ($name), exit $rc:"
    cat "$WORK/$name.out"
    echo "--- simulator stderr ($name):"
    grep -v '^X connection to' "$WORK/$name.err" || true
    if [ "$rc" -ne "$EXPECT_RC" ]; then
        fail "the simulator exited with $rc, expected $EXPECT_RC"
    fi
    expand "$expected" "$WORK/$name.expected"
    if ! diff -u "$WORK/$name.expected" "$WORK/$name.out"; then
        fail "the simulator's lines differ from $(basename "$expected") (- expected, + actual)"
    fi
}

# Every report the case left in its work folder must validate against the schema of its
# layout (a file without a REPORT element is not a report: another program's file).
check_schema() {
    local -a reports=()
    mapfile -t reports < <(grep -rl --include='*.xml' '<REPORT>' "$WORK" | sort)
    echo "--- schema:"
    if [ ${#reports[@]} -eq 0 ]; then
        echo "check-report: no report to validate"
        return
    fi
    local rc=0
    bash "$E2E_SOURCE_DIR/docs/schema/check-report.sh" "${reports[@]}" || rc=$?
    case $rc in
        0|77) ;;
        *) fail "a report breaks the schema (docs/schema)" ;;
    esac
}

# Every line of the order file must occur in the host call log, in this order.
check_log_order() {
    local order=$1 log="$WORK/host.log"
    [ -f "$log" ] || fail "no host call log was written"
    local want line n=0 found
    local -a lines
    mapfile -t lines < "$log"
    while IFS= read -r want || [ -n "$want" ]; do
        [ -z "$want" ] && continue
        found=0
        while [ $n -lt ${#lines[@]} ]; do
            line=${lines[$n]}
            n=$((n + 1))
            if [ "$line" = "$want" ]; then
                found=1
                break
            fi
        done
        if [ $found -eq 0 ]; then
            echo "--- host call log:"
            cat "$log"
            fail "host call log: '$want' missing or out of order (see $(basename "$order"))"
        fi
    done < "$order"
}

# The report must equal its golden byte for byte.
check_same_bytes() {
    local golden=$1 actual=$2
    [ -f "$actual" ] || fail "no report at $actual"
    if ! cmp -s "$golden" "$actual"; then
        echo "--- first differing bytes (offset, golden, actual, octal):"
        cmp -l "$golden" "$actual" | head -n 10 || true
        echo "--- as UTF-8 (- golden, + actual):"
        diff -u <(iconv -f CP932 -t UTF-8 "$golden" | tr -d '\r') \
                <(iconv -f CP932 -t UTF-8 "$actual" | tr -d '\r') | head -n 40 || true
        fail "the report $actual differs from $golden"
    fi
}

run_simulator "$CASE_DIR/script.txt" "$CASE_DIR/expected.txt" run1 "$RUN_LANG"
if [ -f "$CASE_DIR/log.txt" ]; then
    check_log_order "$CASE_DIR/log.txt"
fi
if [ -n "$GOLDEN" ]; then
    check_same_bytes "$E2E_SOURCE_DIR/$GOLDEN" "$WORK/$REPORT"
fi
check
if [ -f "$CASE_DIR/expected2.txt" ]; then
    mv "$WORK/host.log" "$WORK/host.run1.log" 2>/dev/null || true
    run_simulator "$CASE_DIR/script2.txt" "$CASE_DIR/expected2.txt" run2 "${RUN_LANG2:-$RUN_LANG}"
    if [ -f "$CASE_DIR/log2.txt" ]; then
        check_log_order "$CASE_DIR/log2.txt"
    fi
    if declare -F check2 >/dev/null; then
        check2
    fi
fi
check_schema
echo "PASS [$CASE]"
