#!/usr/bin/env bash
# Fetches the SQLCipher amalgamation the project compiles (sqlite3.c, sqlite3.h)
# into third_party/sqlcipher/, outside the tracked files. Does nothing when it
# is there. Needs npm; the package is pinned and checked against its hash.
set -euo pipefail
cd "$(dirname "$0")/.."

package=@commapp/sqlcipher-amalgamation
version=4.5.5
# dist.integrity of that version in the npm registry.
integrity=sha512-Ebi6aNWlh5qr2fWGaHVvahCBRZtbs63hStQmUOIA8zhfiJT3S0ZgQ0Oby0Pwh12DWP2uRs03am1LFuxgcdegoQ==
target=third_party/sqlcipher

if [ -f "$target/VERSION" ] && [ "$(cat "$target/VERSION")" = "$version" ] &&
  [ -f "$target/sqlite3.c" ] && [ -f "$target/sqlite3.h" ]; then
  exit 0
fi
command -v npm >/dev/null || { echo "fetch-sqlcipher: npm is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm pack --silent "$package@$version" >/dev/null)
tarball=$(ls "$work"/*.tgz)

# The registry's integrity is the base64 of the tarball's SHA-512.
hex=$(sha512sum "$tarball" | cut -d' ' -f1)
actual="sha512-$(printf '%b' "$(printf '%s' "$hex" | sed 's/../\\x&/g')" | base64 -w0)"
if [ "$actual" != "$integrity" ]; then
  echo "fetch-sqlcipher: $package@$version does not match its pinned hash" >&2
  exit 1
fi

tar -xzf "$tarball" -C "$work" package/src/sqlite3.c package/src/sqlite3.h package/LICENSE
rm -rf "$target"
mkdir -p "$target"
mv "$work"/package/src/sqlite3.c "$work"/package/src/sqlite3.h "$work"/package/LICENSE "$target"/
echo "$version" >"$target/VERSION"
echo "fetch-sqlcipher: $package@$version in $target"
