#!/usr/bin/env bash
# Builds the Debian package, checks what it holds and what lintian says of it, installs it, asks
# the installed harvestline-cli for its version and removes the package again. Needs root (CI runs
# it on a throwaway machine after `make test`, so the build is already there).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
export DEBIAN_FRONTEND=noninteractive

rm -f "$build"/harvestline_*.deb
make --no-print-directory package BUILD_DIR="$build"
deb=$(realpath "$build"/harvestline_*.deb)

contents=$(dpkg-deb --contents "$deb" | awk '{ print $6 }')
for file in usr/bin/harvestline usr/bin/harvestline-cli \
    usr/share/applications/com.lumbrix.Harvestline.desktop \
    usr/share/metainfo/com.lumbrix.Harvestline.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/com.lumbrix.Harvestline.svg \
    usr/share/man/man1/harvestline-cli.1.gz usr/share/man/man1/harvestline.1.gz \
    usr/share/bash-completion/completions/harvestline-cli \
    usr/share/doc/harvestline/copyright usr/share/harvestline/license.txt; do
    grep -qx "./$file" <<<"$contents" || { echo "the package lacks /$file" >&2; exit 1; }
done
echo "Depends: $(dpkg-deb --field "$deb" Depends)"

# Errors and warnings fail the check; the informational tags left are known and explained.
status=0
report=$(lintian --fail-on error,warning "$deb" 2>&1) || status=$?
grep -v "running with root privileges" <<<"$report" || true
[ "$status" -eq 0 ] || { echo "lintian found errors or warnings" >&2; exit 1; }

trap 'apt-get remove -y -q harvestline >/dev/null' EXIT
apt-get install -y -q --no-install-recommends "$deb" >/dev/null
/usr/bin/harvestline-cli --version
man -w harvestline-cli
desktop-file-validate /usr/share/applications/com.lumbrix.Harvestline.desktop
echo "the package installs and runs"
