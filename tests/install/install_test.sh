#!/usr/bin/env bash
# Installs the build into a scratch DESTDIR and checks the tree a desktop and a user see: the
# programs, data, manual, desktop entry, AppStream file, icons, MIME types, man pages and
# completion. The entry and the AppStream file must validate, and the installed tree, moved
# elsewhere, must still find its data and manual.
# usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
scratch=$(mktemp -d "$build/install-test.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

DESTDIR="$scratch/root" cmake --install "$build" --prefix /usr >/dev/null
usr="$scratch/root/usr"

expected=(
  bin/morvane-batch
  share/morvane/refimg.jpg
  share/doc/morvane/manual/index.html
  share/doc/morvane/manual/pictures/example-blur-gaussian.png
  share/applications/morvane.desktop
  share/metainfo/org.halvern.Morvane.metainfo.xml
  share/mime/packages/morvane.xml
  share/icons/hicolor/scalable/apps/morvane.svg
  share/man/man1/morvane.1
  share/man/man1/morvane-batch.1
  share/bash-completion/completions/morvane-batch
)
for size in 16 24 32 48 64 128 256 512; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/morvane.png")
done
if grep -q '^MORVANE_BUILD_APP:BOOL=ON' "$build/CMakeCache.txt"; then
  expected+=(bin/morvane bin/morvane-viewer share/doc/morvane/manual/pictures/frame.png)
fi
for file in "${expected[@]}"; do
  [ -s "$usr/$file" ] || fail "missing $file"
done
for sample in "$(dirname "$0")"/../../samples/*; do
  [ -f "$usr/share/morvane/$(basename "$sample")" ] || fail "sample $(basename "$sample") not installed"
done

# Every PNG icon is the size its folder names.
for png in "$usr"/share/icons/hicolor/*x*/apps/morvane.png; do
  size=$(basename "$(dirname "$(dirname "$png")")")
  read -r w h < <(od -An -tu1 -j16 -N8 "$png" | awk '{ print $3 * 256 + $4, $7 * 256 + $8 }')
  [ "${w}x${h}" = "$size" ] || fail "$png is ${w}x${h}"
done

# The desktop entry names the installed icon and program, and every type the editor opens.
entry="$usr/share/applications/morvane.desktop"
grep -qx 'Icon=morvane' "$entry" || fail "desktop entry has no Icon=morvane"
grep -q '^Exec=morvane ' "$entry" || fail "desktop entry does not start morvane"
for type in image/tiff image/jpeg image/png image/bmp image/gif image/fits image/x-tga; do
  grep -q "^MimeType=.*$type;" "$entry" || fail "desktop entry lacks $type"
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$entry" || fail "desktop-file-validate"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$usr/share/metainfo/org.halvern.Morvane.metainfo.xml" >/dev/null ||
    fail "appstreamcli validate"
fi
if command -v xmllint >/dev/null; then
  xmllint --noout "$usr/share/mime/packages/morvane.xml" || fail "MIME file is not XML"
fi

# The installed tree moved to another folder still finds its own data and manual.
mv "$scratch/root/usr" "$scratch/moved"
report=$("$scratch/moved/bin/morvane-batch" --version)
data=$(sed -n 's/^data: //p' <<<"$report")
manual=$(sed -n 's/^manual: //p' <<<"$report")
[ "$data" = "$scratch/moved/share/morvane" ] || fail "moved install looks for data in '$data'"
[ "$manual" = "$scratch/moved/share/doc/morvane/manual" ] || fail "moved install looks for the manual in '$manual'"
[ -f "$data/refimg.jpg" ] || fail "moved install has no reference picture"

# The completion offers the operations `list` prints.
if [ -f /usr/share/bash-completion/bash_completion ]; then
  completions=$(PATH="$scratch/moved/bin:$PATH" bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"
    COMP_WORDS=(morvane-batch apply in.png out.png bl); COMP_CWORD=4
    COMP_LINE="${COMP_WORDS[*]}"; COMP_POINT=${#COMP_LINE}
    _morvane_batch; printf "%s\n" "${COMPREPLY[@]}"' _ "$scratch/moved/share/bash-completion/completions/morvane-batch")
  grep -qx blur <<<"$completions" || fail "completion of 'apply in out bl' gives '$completions'"
fi

[ "$failures" -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "install tree complete"
