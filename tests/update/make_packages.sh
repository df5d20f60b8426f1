#!/usr/bin/env bash
# Makes the updater tests' packages with Info-ZIP zip: one.zip (deflated, a
# sub-folder, a GBK-named folder and file) and two.zip (stored).
#   make_packages.sh OUTPUT_FOLDER
set -euo pipefail
out=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
gbk() { printf '%s' "$1" | iconv -f UTF-8 -t GBK; }
mkdir -p "$work/one/sub" "$work/one/$(gbk 数据)" "$work/two"
cat >"$work/one/update-info.xml" <<XML
<?xml version="1.0" encoding="GBK"?>
<update>
  <name>one</name><version>3.0.0.6</version><date>2024-01-01</date>
  <files>
    <item name="sub/new.txt"><action>copy</action><additional>new</additional></item>
    <item name="readme.txt"><action>replace</action></item>
    <item name="missing.txt"><action>replace</action></item>
    <item name="old.txt"><action>remove</action></item>
    <item name="ro.txt"><action>replace</action></item>
    <item name="../escape.txt"><action>copy</action></item>
    <item name="$(gbk '数据\说明.txt')"><action>copy</action></item>
    <item name="shared.txt"><additional>same action as before</additional></item>
  </files>
</update>
XML
printf 'new in sub\n' >"$work/one/sub/new.txt"
printf 'readme 2\n' >"$work/one/readme.txt"
printf 'read-only 2\n' >"$work/one/ro.txt"
printf 'escaped\n' >"$work/one/escape.txt"
printf 'shared 1\n' >"$work/one/shared.txt"
printf '%s\n' "$(gbk 说明)" >"$work/one/$(gbk 数据)/$(gbk 说明.txt)"
cat >"$work/two/update-info.xml" <<XML
<update><a/><b/><c/><files>
<item name="\\readme.txt"><action>replace</action></item>
<item name="shared.txt"><action>copy</action></item>
</files></update>
XML
printf 'readme 3\n' >"$work/two/readme.txt"
printf 'shared 2\n' >"$work/two/shared.txt"
mkdir -p "$out"
rm -f "$out/one.zip" "$out/two.zip"
(cd "$work/one" && zip -qr -9 "$out/one.zip" .)
(cd "$work/two" && zip -qr -0 "$out/two.zip" .)
