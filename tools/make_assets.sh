#!/bin/sh
# Rebuilds every generated file in share/ from the scripts in tools/.
# The outputs are deterministic, so a rebuild only changes files whose
# generator changed.
set -eu
cd "$(dirname "$0")/.."
/usr/bin/python3 tools/make_pictures.py
/usr/bin/python3 tools/make_map.py
sh tools/make_font.sh
/usr/bin/python3 tools/make_music.py
/usr/bin/python3 tools/make_icons.py
