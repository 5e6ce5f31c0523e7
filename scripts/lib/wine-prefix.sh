#!/usr/bin/env bash
# Creates (once) a Wine prefix for the exporter: no crash dialog, so a crash ends the
# process instead of waiting for a click, and the Japanese dialog fonts mapped to the
# IPA Gothic fonts, so screenshots show readable text, and Wine's Marlett font installed,
# with whose glyphs the caption buttons are drawn. With --desktop WxH every program
# of the prefix runs in one Wine desktop window of that size, which draws window
# captions even without a window manager.
# Usage: wine-prefix.sh PREFIX [--desktop WxH]
set -euo pipefail
PREFIX=${1:?usage: wine-prefix.sh PREFIX [--desktop WxH]}
DESKTOP=
if [ "${2:-}" = "--desktop" ]; then
    DESKTOP=${3:?--desktop needs a size such as 1024x768}
fi
export WINEPREFIX=$PREFIX WINEDEBUG=-all LANG=ja_JP.UTF-8
# The Wine loader of the build's bitness (LEDGRA_WINE, from the build), else Wine's own choice.
WINE=${LEDGRA_WINE:-wine}
# Wine Mono and Gecko are not needed; without this wineboot may offer to download them.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset LC_ALL
# Named anew when the settings change, so that a prefix made before gets them too.
STAMP="$PREFIX/.ledgra-prefix-2-ready${DESKTOP:+-$DESKTOP}"
# From Debian's fonts-wine: a new prefix does not install it, and without it the caption
# buttons show letters (0 1 r) in place of their symbols.
MARLETT=/usr/share/wine/fonts/marlett.ttf
if [ -f "$STAMP" ]; then
    echo "Wine prefix $PREFIX is ready"
    exit 0
fi
[ -f "$MARLETT" ] || { echo "$MARLETT is missing (package fonts-wine)" >&2; exit 1; }
mkdir -p "$PREFIX"
if [ ! -f "$PREFIX/system.reg" ]; then
    echo "wineboot -i in $PREFIX"
    "$WINE" wineboot -i
fi
mkdir -p "$PREFIX/drive_c/windows/Fonts"
cp "$MARLETT" "$PREFIX/drive_c/windows/Fonts/marlett.ttf"
REG="$PREFIX/ledgra-settings.reg"
# regedit reads a REGEDIT4 file in the ANSI code page: write it in CP932.
{
    cat <<'REGFILE'
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

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\Fonts]
"Marlett (TrueType)"="marlett.ttf"
REGFILE
    if [ -n "$DESKTOP" ]; then
        printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\n"Desktop"="Default"\n'
        printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\n"Default"="%s"\n' "$DESKTOP"
    fi
} | iconv -f UTF-8 -t CP932 > "$REG"
"$WINE" regedit "$REG"
wineserver -w
# Wine keeps the name ＭＳ Ｐゴシック as \x escapes: a wrongly encoded file would not match.
if ! grep -q '"ShowCrashDialog"=dword:00000000' "$PREFIX/user.reg" ||
   ! grep -qF '"\xff2d\xff33 \xff30\x30b4\x30b7\x30c3\x30af"="IPAPGothic"' "$PREFIX/system.reg" ||
   ! grep -qF '"Marlett (TrueType)"="marlett.ttf"' "$PREFIX/system.reg"; then
    echo "the settings did not reach $PREFIX" >&2
    exit 1
fi
touch "$STAMP"
echo "Wine prefix $PREFIX created"
