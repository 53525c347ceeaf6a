#!/usr/bin/env bash
# Builds the Debian package from a built tree, checks that it holds the given files and
# validates its desktop entry and AppStream metadata.
# Usage: PackageTest.sh BUILD_DIR PATH_IN_PACKAGE...   (exit 77: skipped, with the reason)
set -euo pipefail
build="$1"
shift

for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstream-util; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }
deb=("$work"/kv2680_*.deb)
echo "package: $(basename "${deb[0]}"), $(stat -c %s "${deb[0]}") bytes"
dpkg-deb -f "${deb[0]}" Package Maintainer Depends

dpkg-deb -c "${deb[0]}" | awk '{print $6}' | sed 's|^\./|/|' >"$work/contents"
missing=0
for path in "$@"; do
  if ! grep -qx "$path" "$work/contents"; then
    echo "not in the package: $path"
    missing=1
  fi
done

dpkg-deb -x "${deb[0]}" "$work/root"
desktop-file-validate "$work"/root/usr/share/applications/*.desktop
appstream-util validate-relax --nonet "$work"/root/usr/share/metainfo/*.metainfo.xml
exit "$missing"
