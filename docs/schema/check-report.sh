#!/usr/bin/env bash
# Checks reports against the schema of their layout: each report is decoded from code
# page 932, its layout read from SYOTOKUSYURUI and AOSIROKUBUN, and validated by
# xmllint. A refused report is named with xmllint's messages; a last line gives the
# tally. Exit status: 0 every report validates, 1 one or more were refused, 77 iconv or
# xmllint is missing (nothing was checked).
# Usage: check-report.sh REPORT...
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
if ! command -v iconv >/dev/null 2>&1 || ! command -v xmllint >/dev/null 2>&1; then
    echo "check-report: iconv or xmllint missing, nothing checked"
    exit 77
fi

valid=0
refused=0
for report in "$@"; do
    # libxml2 refuses code page 932's own rows under "Shift_JIS": decode with iconv.
    if ! text=$(iconv -f CP932 -t UTF-8 "$report" 2>&1); then
        printf 'refused: %s\n%s\n' "$report" "$text"
        refused=$((refused + 1))
        continue
    fi
    category=$(sed -n 's/.*<SYOTOKUSYURUI>\([^<]*\)<\/SYOTOKUSYURUI>.*/\1/p' <<<"$text" | head -n 1)
    kind=$(sed -n 's/.*<AOSIROKUBUN>\([^<]*\)<\/AOSIROKUBUN>.*/\1/p' <<<"$text" | head -n 1)
    case "$category" in
        1) form=business ;;
        2) form=other ;;
        3) form=realestate ;;
        *) form= ;;
    esac
    case "$kind" in
        1) ret=blue ;;
        2) ret=white ;;
        *) ret= ;;
    esac
    if [ -z "$form" ] || [ -z "$ret" ]; then
        printf 'refused: %s\nno layout for SYOTOKUSYURUI "%s" and AOSIROKUBUN "%s"\n' "$report" "$category" "$kind"
        refused=$((refused + 1))
        continue
    fi
    if ! out=$(sed '1s/encoding="Shift_JIS"/encoding="UTF-8"/' <<<"$text" |
               xmllint --noout --schema "$here/report-$form-$ret.xsd" - 2>&1); then
        printf 'refused: %s (report-%s-%s.xsd)\n%s\n' "$report" "$form" "$ret" "$out"
        refused=$((refused + 1))
        continue
    fi
    valid=$((valid + 1))
done
echo "check-report: $valid valid, $refused refused"
[ "$refused" -eq 0 ]
