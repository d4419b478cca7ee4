#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the client from its installation tree (argument: the tree, default build/ledgerwell).
set -euo pipefail
tree="$(cd "${1:-build/ledgerwell}" && pwd)"
cd "$tree"
exec "./客户端软件"
