#!/bin/sh
# Makes share/formplex12.ttf: DejaVu Sans Bold cut down to printable ASCII.
# The game only prints ASCII, so the subset keeps the file small. The font is
# modified, so its licence requires new names free of "Bitstream" and "Vera";
# we call it "Formplex" and keep the copyright, trademark and licence records.
# Needs the Debian packages fonts-dejavu-core and fonttools.
set -eu

ROOT=$(cd "$(dirname "$0")/.." && pwd)
SRC=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
COPYRIGHT=/usr/share/doc/fonts-dejavu-core/copyright
OUT="$ROOT/share/formplex12.ttf"
LIC="$ROOT/share/formplex12.LICENSE"
TMP="$OUT.tmp"

mkdir -p "$ROOT/share"

# name-IDs '*' keeps the copyright (0), trademark (7) and licence (13, 14)
# records; the timestamp is left alone so rebuilds give the same bytes.
# FFTM is only a FontForge build stamp the game has no use for.
/usr/bin/pyftsubset "$SRC" \
    --unicodes=U+0020-007E \
    --name-IDs='*' --name-languages='*' \
    --layout-features='kern' \
    --drop-tables+=FFTM \
    --no-recalc-timestamp \
    --output-file="$TMP"

/usr/bin/python3 - "$TMP" "$OUT" <<'EOF'
import sys
from fontTools.ttLib import TTFont

src, dst = sys.argv[1], sys.argv[2]
font = TTFont(src, recalcTimestamp=False)
name = font["name"]
version = name.getDebugName(5) or "Version 1.0"
new = {
    1: "Formplex",                  # family
    2: "Bold",                      # style
    3: "Formplex Bold; ASCII subset of DejaVu Sans Bold",
    4: "Formplex Bold",             # full name
    6: "Formplex-Bold",             # PostScript name
    16: "Formplex",                 # typographic family
    17: "Bold",                     # typographic style
    18: "Formplex Bold",            # Mac compatible full name
}
# Drop every record that carries the old font names, then write ours once per
# platform that the font already used.
platforms = sorted({(r.platformID, r.platEncID, r.langID) for r in name.names
                    if r.nameID in (1, 4)})
name.names = [r for r in name.names if r.nameID not in new]
for nid, text in sorted(new.items()):
    for pid, eid, lid in platforms:
        if nid == 18 and pid != 1:
            continue
        name.setName(text, nid, pid, eid, lid)
for r in name.names:
    if r.nameID not in (0, 7, 13, 14):
        s = r.toUnicode()
        assert "Vera" not in s and "Bitstream" not in s, (r.nameID, s)
font.save(dst)
EOF
rm -f "$TMP"

{
    echo "formplex12.ttf is \"Formplex Bold\": DejaVu Sans Bold (DejaVuSans-Bold.ttf from the"
    echo "Debian package fonts-dejavu-core), subset to printable ASCII (U+0020-U+007E) with"
    echo "fonttools' pyftsubset and renamed as the licence below requires for modified fonts."
    echo "The licence text follows, copied from /usr/share/doc/fonts-dejavu-core/copyright."
    echo
    cat "$COPYRIGHT"
} > "$LIC"
