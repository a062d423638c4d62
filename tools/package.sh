#!/usr/bin/env bash
# Installs what is missing, builds Horavis for release and makes the Debian package
# dist/horavis_<version>_<arch>.deb, after checking the desktop entry and metadata it installs.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-debian.sh
build=build-package
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DCMAKE_INSTALL_PREFIX=/usr
cmake --build "$build" --parallel 2
rm -f "$build"/horavis_*.deb
(cd "$build" && cpack -G DEB)

shopt -s nullglob
packages=("$build"/horavis_*.deb)
if ((${#packages[@]} != 1)); then
    echo "package.sh: expected one package in $build, found ${#packages[@]}" >&2
    exit 1
fi
package=${packages[0]}

# The files exactly as the package installs them.
contents=$(mktemp -d)
trap 'rm -rf "$contents"' EXIT
dpkg-deb -x "$package" "$contents"
# desktop-file-validate fails only on errors; its warnings are faults too.
report=$(desktop-file-validate "$contents"/usr/share/applications/*.desktop 2>&1) && [[ -z $report ]] ||
    { echo "$report" >&2; exit 1; }
appstreamcli validate --no-net --strict "$contents"/usr/share/metainfo/*.metainfo.xml

mkdir -p dist
cp "$package" dist/
echo "Built dist/$(basename "$package")"
dpkg-deb --field "$package" Package Version Architecture Depends Recommends
