#!/usr/bin/env bash
# Installs the build into a folder of its own and opens a project file there as a desktop does:
# xdg-mime names the file's type from the installed shared-mime-info XML, the desktop entry is the
# program for that type, and xdg-open starts it with the file (its %f). The window must then be
# titled by the file, and the file be in the desktop's list of recent files.
# Usage: check_desktop_open.sh BUILD_DIR   (on a display: run it under xvfb-run)
set -euo pipefail
build=$1
scratch=$(mktemp -d)
window=
cleanup() {
    if [ -n "$window" ]; then kill "$(xdotool getwindowpid "$window")" 2>/dev/null || true; fi
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "$*" >&2; exit 1; }

cmake --install "$build" --prefix "$scratch/prefix" >"$scratch/install.log" || { cat "$scratch/install.log"; exit 1; }
[ -f "$scratch/prefix/share/mime/mime.cache" ] || fail "cmake --install did not update the MIME database of its prefix"

export HOME=$scratch/home XDG_DATA_HOME=$scratch/home/.local/share XDG_CONFIG_HOME=$scratch/home/.config
export XDG_DATA_DIRS=$scratch/prefix/share PATH=$scratch/prefix/bin:$PATH
# No desktop named: xdg-utils take the freedesktop way, through shared-mime-info and mimeinfo.cache.
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$scratch/work"
project=$scratch/work/perf.dev
printf '/b\r\n/p\r\nPerf\r\n1.0\r\n\r\n/b\r\nF\r\nF\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n' >"$project"

type=$(xdg-mime query filetype "$project")
[ "$type" = application/x-trovas-project ] || fail "xdg-mime names the type of perf.dev: '$type'"
program=$(xdg-mime query default application/x-trovas-project)
[ "$program" = trovas.desktop ] || fail "xdg-mime names the program for project files: '$program'"

xdg-open "$project" >"$scratch/open.log" 2>&1 &
for _ in $(seq 100); do
    window=$(xdotool search --name '^perf\.dev - Trovas$' 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || { cat "$scratch/open.log"; fail "no window titled 'perf.dev - Trovas' after xdg-open"; }

# The list of recent files holds the project, with its type and the program that opened it.
uri=$(/usr/bin/python3 -c 'import pathlib, sys; print(pathlib.Path(sys.argv[1]).as_uri())' "$project")
for _ in $(seq 50); do
    [ -f "$XDG_DATA_HOME/recently-used.xbel" ] && break
    sleep 0.1
done
/usr/bin/python3 - "$XDG_DATA_HOME/recently-used.xbel" "$uri" <<'PY'
import sys
import xml.etree.ElementTree as tree
bookmark = "{http://www.freedesktop.org/standards/desktop-bookmarks}"
mime = "{http://www.freedesktop.org/standards/shared-mime-info}"
found = [b for b in tree.parse(sys.argv[1]).getroot().iter("bookmark") if b.get("href") == sys.argv[2]]
assert len(found) == 1, [b.get("href") for b in tree.parse(sys.argv[1]).getroot().iter("bookmark")]
assert found[0].find(".//" + mime + "mime-type").get("type") == "application/x-trovas-project"
assert [a.get("name") for a in found[0].iter(bookmark + "application")] == ["Trovas"]
PY
