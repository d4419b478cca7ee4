#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the launchers: prepares a user's own installation tree TREE from the read-only one
# in RO. The database and Audit.cfg are the user's copies, tmp/ and xml/ the user's folders, the
# rest are links. A database that exists is never replaced; one older than the package's is kept
# and reported in TREE/launcher.log.
prepare_tree() {
  ro="$1"
  tree="$2"
  umask 077
  mkdir -p "$tree/db" "$tree/tmp" "$tree/xml"
  log="$tree/launcher.log"
  for part in 客户端软件 Regsvr32 upgrade formtool running.gif rpt hlp jpg cell; do
    if [ -e "$ro/$part" ]; then
      ln -sfn "$ro/$part" "$tree/$part"
    fi
  done
  if [ ! -f "$tree/Audit.cfg" ]; then
    cp "$ro/Audit.cfg" "$tree/Audit.cfg"
  fi
  if [ ! -f "$tree/db/db.sqlite" ]; then
    cp "$ro/db/db.sqlite" "$tree/db/db.sqlite"
    echo "$(date '+%F %T') 新建用户数据库 $tree/db/db.sqlite" >> "$log"
  elif command -v sqlite3 >/dev/null 2>&1; then
    mine="$(sqlite3 "$tree/db/db.sqlite" 'select version from wa_version' 2>/dev/null || true)"
    theirs="$(sqlite3 "$ro/db/db.sqlite" 'select version from wa_version' 2>/dev/null || true)"
    if [ -n "$mine" ] && [ -n "$theirs" ] && [ "$(printf '%s\n%s\n' "$mine" "$theirs" | sort -g | head -n 1)" != "$theirs" ]; then
      echo "$(date '+%F %T') 用户数据库版本 $mine 低于软件自带的 $theirs：已保留原数据库，未替换" >> "$log"
    fi
  fi
}
