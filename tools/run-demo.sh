#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the client from its installation tree, connected to the local bureau simulator:
#   tools/run-demo.sh [TREE]        TREE defaults to build/ledgerwell
# The simulator serves a fresh copy of tools/bureau-sim/sample on a free loopback port, the
# tree's Audit.cfg is pointed at it (service and upgrade addresses), and the simulator stops
# when the client ends. Log on with code 440106700012345 and password 123456.
# LW_BUREAU_SIM and LW_SIM_SAMPLE name another simulator and fixture (the installed demo's).
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
tree="$(cd "${1:-build/ledgerwell}" && pwd)"
sim="${LW_BUREAU_SIM:-$tree/../bin/bureau-sim}"
if [ ! -x "$sim" ]; then
  sim="$(command -v bureau-sim || true)"
fi
if [ -z "$sim" ] || [ ! -x "$sim" ]; then
  echo "run-demo: bureau-sim not found (build it, or set LW_BUREAU_SIM)" >&2
  exit 1
fi

data="$(mktemp -d "${TMPDIR:-/tmp}/ledgerwell-bureau.XXXXXX")"
cp "${LW_SIM_SAMPLE:-$src/tools/bureau-sim/sample}/"* "$data/"
simpid=""
cleanup() {
  if [ -n "$simpid" ]; then
    kill "$simpid" 2>/dev/null || true
    wait "$simpid" 2>/dev/null || true
  fi
  rm -rf "$data"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

"$sim" --listen 127.0.0.1:0 --data "$data" > "$data/sim.out" 2>&1 &
simpid=$!
port=""
for _ in $(seq 1 50); do
  port="$(sed -n 's/^bureau-sim listening on http:\/\/127\.0\.0\.1:\([0-9]*\).*/\1/p' "$data/sim.out" | head -n 1)"
  [ -n "$port" ] && break
  kill -0 "$simpid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$port" ]; then
  echo "run-demo: bureau-sim did not start:" >&2
  cat "$data/sim.out" >&2
  exit 1
fi

printf '[webservice]\r\nurl=127.0.0.1:%s\r\n\r\n[http]\r\nurl1=http://127.0.0.1:%s/update.ini\r\n' "$port" "$port" > "$tree/Audit.cfg"
echo "bureau-sim on 127.0.0.1:$port (fixture $data, calls in $data/bureau-sim.log)"
echo "log on with code 440106700012345, password 123456"

status=0
(cd "$tree" && LEDGERWELL_APPPATH="$tree" "./客户端软件") || status=$?
exit "$status"
