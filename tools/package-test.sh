#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the .deb from the build tree and tries it as a user would: checks its contents and
# metadata, installs it with apt-get, starts /usr/bin/ledgerwell as an ordinary user under a
# virtual display until the main window shows, then removes the package and checks that the
# user's data stayed. Run as root after a build: bash tools/package-test.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(cd "${1:-${LW_BUILD_DIR:-build}}" && pwd)"
user=lwpkgtest
fail() { echo "package-test: $*" >&2; exit 1; }

rm -f "$build"/ledgerwell_*.deb
(cd "$build" && cpack -G DEB > cpack.log 2>&1) || { cat "$build/cpack.log" >&2; fail "cpack failed"; }
deb="$(ls "$build"/ledgerwell_*.deb)"
size=$(stat -c %s "$deb")
echo "package: $(basename "$deb"), $size bytes"
[ "$size" -lt $((8 * 1024 * 1024)) ] || fail "package over 8 MB"

info="$(dpkg-deb -I "$deb")"
for dep in libqt6widgets6 libqt6sql6-sqlite libgsoap qt6-translations-l10n fonts-wqy-microhei sqlite3; do
  grep -q "Depends:.*$dep" <<<"$info" || fail "dependency $dep missing"
done
contents="$(dpkg-deb -c "$deb" | awk '{print $6}')"
for f in ./opt/ledgerwell/客户端软件 ./opt/ledgerwell/db/db.sqlite ./opt/ledgerwell/Audit.cfg \
         ./opt/ledgerwell/rpt/yjbb.xlsx ./opt/ledgerwell/rpt/DATA_YJBB.xml ./opt/ledgerwell/cell/libCellCtrl5.so \
         ./opt/ledgerwell/Regsvr32 ./opt/ledgerwell/upgrade ./opt/ledgerwell/running.gif ./opt/ledgerwell/hlp/hlp.html \
         ./opt/ledgerwell/demo/bureau-sim ./opt/ledgerwell/demo/sample/enterprises.json \
         ./usr/bin/ledgerwell ./usr/bin/ledgerwell-demo ./usr/bin/ledgerwell-formtool \
         ./usr/share/applications/ledgerwell.desktop ./usr/share/applications/ledgerwell-demo.desktop \
         ./usr/share/icons/hicolor/48x48/apps/ledgerwell.png ./usr/share/icons/hicolor/scalable/apps/ledgerwell.svg; do
  grep -qxF "$f" <<<"$contents" || fail "$f not in the package"
done

unpacked="$(mktemp -d)"
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
for bin in "$unpacked/opt/ledgerwell/客户端软件" "$unpacked/opt/ledgerwell/cell/libCellCtrl5.so" "$unpacked/opt/ledgerwell/formtool"; do
  if readelf -S "$bin" | grep -q '\.debug_info'; then fail "$bin is not stripped"; fi
done
desktop-file-validate "$unpacked/usr/share/applications/ledgerwell.desktop" "$unpacked/usr/share/applications/ledgerwell-demo.desktop"
if command -v lintian >/dev/null 2>&1; then
  lintian --no-tag-display-limit "$deb" || true
fi

DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb" > "$build/package-install.log" 2>&1 \
  || { cat "$build/package-install.log" >&2; fail "apt-get install failed"; }
id "$user" >/dev/null 2>&1 || useradd -m "$user"
home="$(getent passwd "$user" | cut -d: -f6)"
tree="$home/.local/share/ledgerwell"

# Starts a launcher as the user under a virtual display, waits for the main window, ends it.
main_window_shows() {
  su "$user" -s /bin/bash -c "cd ~ && xvfb-run -a bash -c '
    $1 > ~/launcher.out 2>&1 & pid=\$!
    for i in \$(seq 1 100); do
      if xwininfo -root -tree 2>/dev/null | grep -q \"\\\"Ledgerwell\\\"\"; then echo shown; break; fi
      sleep 0.2
    done
    pkill -TERM -P \$pid 2>/dev/null; kill \$pid 2>/dev/null; wait \$pid 2>/dev/null || true'"
}
[ "$(main_window_shows /usr/bin/ledgerwell)" = shown ] || { cat "$home/launcher.out" >&2 || true; fail "the main window did not show"; }
[ -s "$tree/db/db.sqlite" ] || fail "no database in the user's tree"
[ "$(stat -c %a "$tree/db/db.sqlite")" = 600 ] || fail "the user's database is readable by others"
[ "$(stat -c %U "$tree/db/db.sqlite")" = "$user" ] || fail "the user's database is not the user's"
[ -d "$tree/tmp" ] && [ -d "$tree/xml" ] || fail "tmp/ or xml/ missing in the user's tree"
# The training entry: its own tree, pointed at the bundled simulator.
[ "$(main_window_shows /usr/bin/ledgerwell-demo)" = shown ] || { cat "$home/launcher.out" >&2 || true; fail "the demo did not show"; }
grep -q "bureau-sim on 127.0.0.1:" "$home/launcher.out" || fail "the demo's simulator did not start"
grep -q "url=127.0.0.1:" "$home/.local/share/ledgerwell-demo/Audit.cfg" || fail "the demo tree does not point at the simulator"
cmp -s /opt/ledgerwell/Audit.cfg "$tree/Audit.cfg" || fail "the demo changed the real tree's Audit.cfg"

DEBIAN_FRONTEND=noninteractive apt-get remove -y ledgerwell > "$build/package-remove.log" 2>&1 || fail "apt-get remove failed"
[ ! -e /usr/bin/ledgerwell ] || fail "/usr/bin/ledgerwell left after removal"
[ -s "$tree/db/db.sqlite" ] || fail "the user's data went with the package"
userdel -r "$user" >/dev/null 2>&1 || true
echo "package-test: passed"
