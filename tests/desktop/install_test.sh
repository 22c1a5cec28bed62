#!/usr/bin/env bash
# `cmake --install` into a staging folder: one program folder with everything VTX loads by name, and a
# valid desktop entry that points at the installed program.
set -euo pipefail
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
HOME=$stage/home DESTDIR=$stage cmake --install "$build" --prefix /opt/vtx >/dev/null
prog=$stage/opt/vtx/lib/vtx
for f in VTX cleanup libplatform.so libsdk.so libHttpClient.so libHttpDL.so zh_CN.ini en_US.ini curl-ca-bundle.crt; do
    [ -e "$prog/$f" ] || fail "$f missing from the program folder"
done
entry=$stage/opt/vtx/share/applications/vtx.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate"
grep -qx 'Exec="/opt/vtx/lib/vtx/VTX" %u' "$entry" || fail "Exec: $(grep ^Exec "$entry")"
[ -f "$stage/opt/vtx/share/icons/hicolor/256x256/apps/vtx.png" ] || fail "icon"
[ ! -e "$stage/home/.config/mimeapps.list" ] || fail "install changed the user's link handler"
echo "1 passed, 0 failed"
