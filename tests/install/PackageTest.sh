#!/usr/bin/env bash
# Builds the Debian package from a built tree, checks that it holds the given files,
# validates its desktop entry, AppStream metadata and systemd unit, and has lintian find no error and no
# warning in it.
# Usage: PackageTest.sh BUILD_DIR PATH_IN_PACKAGE...   (exit 77: skipped, with the reason)
set -euo pipefail
build="$1"
shift

for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstream-util \
  systemd-analyze lintian; do
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
failed=0
for path in "$@"; do
  if ! grep -qx "$path" "$work/contents"; then
    echo "not in the package: $path"
    failed=1
  fi
done

dpkg-deb -x "${deb[0]}" "$work/root"
desktop-file-validate "$work"/root/usr/share/applications/*.desktop
appstream-util validate-relax --nonet "$work"/root/usr/share/metainfo/*.metainfo.xml

# The unit is checked as installed, but with the tool it starts taken from the package;
# systemd-analyze reports what it would ignore without failing, so any output fails.
sed "s|/usr/bin/kv2680|$work/root/usr/bin/kv2680|" "$work"/root/usr/lib/systemd/system/kv2680.service \
  >"$work/kv2680.service"
systemd-analyze verify --man=no "$work/kv2680.service" >"$work/unit.log" 2>&1 || true
if [ -s "$work/unit.log" ]; then
  echo "systemd unit:"
  cat "$work/unit.log"
  failed=1
fi

# Informational tags are shown; any error or warning fails the test.
if ! lintian --display-info --tag-display-limit 0 --fail-on error,warning "${deb[0]}" \
    >"$work/lintian.log" 2>&1 || grep -q '^[EW]: ' "$work/lintian.log"; then
  echo "lintian: errors or warnings (or lintian failed):"
  failed=1
fi
grep -v '^running with root privileges' "$work/lintian.log" || true
exit "$failed"
