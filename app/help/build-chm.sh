#!/bin/sh
# build-chm.sh SOURCE_DIR OUTPUT_CHM
# Compiles the help with chmcmd. Topic files keep their UTF-8 names (the help file's directory is
# UTF-8) and declare UTF-8 in their pages; the viewer reads the contents and index files, the title,
# the default topic and the window definition in the help's own code page (LCID 0x804, code page
# 936), so those become GBK. The window definition is what makes the viewer show the index and
# search tabs.
set -eu
src=$1
out=$2
stage=$(dirname "$out")/help-stage
rm -rf "$stage"
mkdir -p "$stage"
for f in "$src"/*.htm "$src"/*.css; do cp "$f" "$stage/"; done
for f in Helpx.hhc Helpx.hhk; do iconv -f UTF-8 -t CP936 "$src/$f" >"$stage/$f"; done
while IFS= read -r line; do
  case $line in
    Title=* | "Default topic="* | main=*) printf '%s\r\n' "$line" | iconv -f UTF-8 -t CP936 ;;
    *) printf '%s\r\n' "$line" ;;
  esac
done <"$src/Helpx.hhp" >"$stage/Helpx.hhp"
cd "$stage"
"${CHMCMD:-chmcmd}" --no-html-scan Helpx.hhp >chmcmd.log 2>&1 || { cat chmcmd.log; exit 1; }
[ -s Helpx.chm ] || { cat chmcmd.log; echo "chmcmd wrote no Helpx.chm" >&2; exit 1; }
mv -f Helpx.chm "$out"
