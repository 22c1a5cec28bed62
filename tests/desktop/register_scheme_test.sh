#!/usr/bin/env bash
# The desktop entry written by scripts/register-scheme: valid, one entry after two runs, the link
# handler, and an Exec line that starts the very program even from a folder with awkward characters.
set -euo pipefail
top=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share XDG_CONFIG_HOME=$work/home/.config
export XDG_DATA_DIRS=/usr/share XDG_CURRENT_DESKTOP=X-Generic
mkdir -p "$HOME" "$XDG_CONFIG_HOME"
fail() { echo "FAIL: $*" >&2; exit 1; }

for dir in 'plain' 'with space' "quote\"and'apostrophe" 'dollar$sign back\slash' '会议 100%' ; do
    bin="$work/$dir"
    mkdir -p "$bin"
    # Stands in for VTX: records how it was started.
    cat >"$bin/VTX" <<STUB
#!/bin/sh
printf '%s\n' "\$0" "\$@" >"$work/started"
STUB
    chmod +x "$bin/VTX"
    "$top/scripts/register-scheme" "$bin/VTX"
    "$top/scripts/register-scheme" "$bin/VTX"

    apps=$XDG_DATA_HOME/applications
    [ "$(ls "$apps"/*.desktop | wc -l)" = 1 ] || fail "more than one entry: $(ls "$apps")"
    desktop-file-validate "$apps/vtx.desktop" || fail "desktop-file-validate for '$dir'"
    grep -qx 'StartupWMClass=VTX' "$apps/vtx.desktop" || fail "StartupWMClass"
    grep -qx 'Categories=Network;VideoConference;' "$apps/vtx.desktop" || fail "Categories"
    [ -f "$XDG_DATA_HOME/icons/hicolor/256x256/apps/vtx.png" ] || fail "icon not installed"
    [ "$(xdg-mime query default x-scheme-handler/vtxlaunch)" = vtx.desktop ] || fail "not the link handler"

    # GLib launches entries the way desktops do; the stub must see its own path and the link.
    rm -f "$work/started"
    gio launch "$apps/vtx.desktop" 'vtxlaunch://roomID:12345678901' >/dev/null 2>&1 || fail "gio launch for '$dir'"
    for _ in $(seq 50); do [ -s "$work/started" ] && break; sleep 0.1; done
    started=$(realpath -- "$(sed -n 1p "$work/started")")
    [ "$started" = "$(realpath -- "$bin/VTX")" ] || fail "started '$started' instead of '$bin/VTX'"
    [ "$(sed -n 2p "$work/started")" = 'vtxlaunch://roomID:12345678901' ] || fail "link not passed for '$dir'"
done

# An entry of the older name is replaced, not kept beside the new one.
touch "$XDG_DATA_HOME/applications/vtx-launch.desktop"
"$top/scripts/register-scheme" "$work/plain/VTX"
[ ! -e "$XDG_DATA_HOME/applications/vtx-launch.desktop" ] || fail "old entry kept"
# A path that is not a program is refused and leaves the entry alone.
if "$top/scripts/register-scheme" "$work/missing/VTX" 2>/dev/null; then fail "accepted a missing program"; fi
desktop-file-validate "$XDG_DATA_HOME/applications/vtx.desktop" || fail "entry damaged by a refused run"
echo "1 passed, 0 failed"
