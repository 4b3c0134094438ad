#!/usr/bin/env bash
# Makes the .xls fixtures from the CSV files in csv/ the way users make them: LibreOffice
# opens the terminal's comma-separated export and saves it as an Excel 97-2003 workbook.
# The sheet takes the CSV file's name, so each CSV is copied to Sayfa1.csv first (or to
# another name for the workbook without a "Sayfa1" sheet).
# Needs libreoffice-calc-nogui; the tests only read the committed results.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# $1 source CSV, $2 sheet name, $3 column 9 type (2 text, 4 day.month.year date), $4 output
convert() {
    mkdir -p "$work/in" "$work/out"
    cp "csv/$1" "$work/in/$2.csv"
    soffice --headless -env:UserInstallation=file://$work/profile \
        --infilter="CSV:44,34,76,1,9/$3" --convert-to xls:"MS Excel 97" \
        --outdir "$work/out" "$work/in/$2.csv" >/dev/null
    mv "$work/out/$2.xls" "$4"
    rm -rf "$work/in" "$work/out"
}

convert records.csv Sayfa1 2 records-text-dates.xls
convert records.csv Sayfa1 4 records-date-cells.xls
convert title-only.csv Sayfa1 2 title-only.xls
convert narrow.csv Sayfa1 2 narrow.xls
convert records.csv Veriler 4 no-sayfa1.xls
convert malformed-date.csv Sayfa1 2 malformed-date.xls
