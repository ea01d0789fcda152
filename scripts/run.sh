#!/usr/bin/env bash
# Installs what is missing, builds, makes the sample card database and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh -DTALVIKS_TESTS=OFF -DTALVIKS_BENCH=OFF
bin=build
if [ ! -f "$bin/cards.db" ]; then
  "$bin/talviks-carddb" import --mtgjson data/AllPrintings-subset.json.xz --whisper data/whisper-cards.xml.xz \
    --sets data/sets.csv --tokens data/tokens.csv -o "$bin/cards.db"
fi
[ -f "$bin/TV.ini" ] || printf '[File]\r\nLocalDataFile=cards.db\r\n' > "$bin/TV.ini"
exec "$bin/talviks"
