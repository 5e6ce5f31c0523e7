#!/usr/bin/env bash
# Creates (once) a Wine prefix for the exporter: no crash dialog, so a crash ends the
# process instead of waiting for a click, and the Japanese dialog fonts mapped to the
# IPA Gothic font, so screenshots show readable text.
# Usage: wine-prefix.sh PREFIX
set -euo pipefail
PREFIX=${1:?usage: wine-prefix.sh PREFIX}
export WINEPREFIX=$PREFIX WINEDEBUG=-all LANG=ja_JP.UTF-8
unset LC_ALL
STAMP="$PREFIX/.ledgra-prefix-ready"
if [ -f "$STAMP" ]; then
    echo "Wine prefix $PREFIX is ready"
    exit 0
fi
mkdir -p "$PREFIX"
echo "wineboot -i in $PREFIX"
wineboot -i
REG="$PREFIX/ledgra-settings.reg"
# regedit reads a REGEDIT4 file in the ANSI code page: write it in CP932.
iconv -f UTF-8 -t CP932 > "$REG" <<'REGFILE'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS PGothic"="IPAPGothic"
"MS Gothic"="IPAGothic"
"MS Shell Dlg"="IPAPGothic"
"MS Shell Dlg 2"="IPAPGothic"
"MS UI Gothic"="IPAPGothic"
"Tahoma"="IPAPGothic"
REGFILE
wine regedit "$REG"
wineserver -w
touch "$STAMP"
echo "Wine prefix $PREFIX created"
