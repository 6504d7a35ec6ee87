#!/usr/bin/env bash
# Builds the Debian package from the build tree and checks what it installs: every file the
# program needs, the library dependencies, and a command line that runs from the unpacked tree.
# Usage: check_package.sh BUILD_DIR
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cpack --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/cpack.log" || { cat "$scratch/cpack.log"; exit 1; }
deb=$(ls "$scratch"/*.deb)

dpkg-deb -c "$deb" | awk '{print $6}' >"$scratch/contents"
status=0
for file in ./usr/bin/trovas ./usr/bin/trovas-cli \
    ./usr/share/applications/trovas.desktop \
    ./usr/share/mime/packages/trovas.xml \
    ./usr/share/metainfo/io.github.trovas.trovas.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/trovas.svg \
    ./usr/share/man/man1/trovas-cli.1.gz \
    ./usr/share/bash-completion/completions/trovas-cli \
    ./usr/share/trovas/Languages/English.txt \
    "./usr/lib/.*trovas/trovas_browser.so"; do
    grep -qx "$file" "$scratch/contents" || { echo "missing from the package: $file"; status=1; }
done

# The desktop's caches belong to the system, which updates them by its triggers.
if grep -E '^\./usr/share/(mime/mime\.cache|mime/globs2|applications/mimeinfo\.cache)$' "$scratch/contents"; then
    echo "the package holds a cache of the desktop"; status=1
fi

depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6core6 libqt6network6 libqt6widgets6 libqt6webenginewidgets6 zlib1g qt6-qpa-plugins libqt6svg6; do
    grep -q "$library" <<<"$depends" || { echo "not a dependency: $library (Depends: $depends)"; status=1; }
done

dpkg-deb -x "$deb" "$scratch/root"
version=$("$scratch/root/usr/bin/trovas-cli" --version)
[ "$version" = "trovas-cli $(dpkg-deb -f "$deb" Version)" ] || { echo "unpacked trovas-cli says: $version"; status=1; }
gzip -t "$scratch/root/usr/share/man/man1/trovas-cli.1.gz" || status=1
exit $status
