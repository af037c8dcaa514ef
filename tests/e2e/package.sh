#!/usr/bin/env bash
# The Debian package: cpack writes oyun_<version>_<arch>.deb, whose control file names what
# the programs need at run time and whose files are the installation under /usr, nothing else;
# Debian's own checker, lintian, finds no error and nothing to warn of.
source "$(dirname "$0")/lib.sh"
BUILD=$(realpath "$1")
cd "$E2E_TMP"
cpack --config "$BUILD/CPackConfig.cmake" -G DEB -B "$E2E_TMP/out" >"$E2E_TMP/cpack.log" 2>&1 ||
  { cat "$E2E_TMP/cpack.log"; fail "cpack"; }
deb=$(ls "$E2E_TMP"/out/oyun_*_*.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || { ls -R "$E2E_TMP/out"; fail "no oyun_<version>_<arch>.deb"; }
[[ "$(basename "$deb")" =~ ^oyun_[0-9][0-9.]*_$(dpkg --print-architecture)\.deb$ ]] || fail "named $(basename "$deb")"

control=$(dpkg-deb -I "$deb")
depends=$(dpkg-deb -f "$deb" Depends)
for need in 'libsdl2-[0-9.-]*' 'libavcodec[0-9]*' 'libavformat[0-9]*' 'libswresample[0-9]*' 'libswscale[0-9]*' \
  'libavutil[0-9]*' libgl1 'libglu1[-a-z]*' 'libfontconfig[0-9]*' 'libfreetype[0-9]*' fonts-liberation \
  fonts-dejavu-core libgl1-mesa-dri; do
  grep -Eq "(^|[,|] ?)$need( |,|$)" <<<"$depends" || fail "Depends lacks $need: $depends"
done
[ "$(dpkg-deb -f "$deb" Package)" = oyun ] || fail "package name: $control"

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in ./usr/bin/oyun ./usr/bin/oyun-capture ./usr/bin/oyun-viewer ./usr/bin/oyun-assets \
  ./usr/share/oyun/data/music.wma ./usr/share/applications/oyun.desktop \
  ./usr/share/icons/hicolor/256x256/apps/oyun.png ./usr/share/man/man1/oyun.1.gz ./usr/share/doc/oyun/LICENSE \
  ./usr/share/doc/oyun/copyright ./usr/share/doc/oyun/changelog.gz; do
  grep -qx "$file" <<<"$files" || fail "the package lacks $file"
done
strays=$(grep -v '^\./usr/' <<<"$files" | grep -vx '\./' || true)
[ -z "$strays" ] || fail "files outside /usr: $strays"
! grep -qE 'test|bench|fuzz' <<<"$files" || fail "tests in the package: $(grep -E 'test|bench|fuzz' <<<"$files")"

# The changelog's latest entry is this version, and the licence in the copyright file is LICENSE's.
mkdir -p "$E2E_TMP/root" && dpkg-deb -x "$deb" "$E2E_TMP/root"
docs="$E2E_TMP/root/usr/share/doc/oyun"
gzip -dc "$docs/changelog.gz" >"$E2E_TMP/changelog"
version=$(dpkg-parsechangelog -l "$E2E_TMP/changelog" -S Version)
[ "$version" = "$(dpkg-deb -f "$deb" Version)" ] || fail "changelog at $version, package at $(dpkg-deb -f "$deb" Version)"
[ "$(awk '/^License: Expat$/ { text = ""; next } { text = text $0 "\n" } END { printf "%s", text }' "$docs/copyright" |
  sed 's/^ //; s/^\.$//')" = \
  "$(sed -n '/^Permission/,$p' "$docs/LICENSE")" ] || fail "the copyright file's licence is not LICENSE's"
grep -qx "Copyright: $(sed -n 's/^Copyright (c) //p' "$docs/LICENSE")" "$docs/copyright" || fail "copyright holder"

# lintian is one of the packages scripts/install-deps.sh installs.
lintian --fail-on error,warning --no-tag-display-limit "$deb" >"$E2E_TMP/lintian.log" 2>&1 &&
  ! grep -qE '^(E|W): ' "$E2E_TMP/lintian.log" || { cat "$E2E_TMP/lintian.log"; fail "lintian finds errors or warnings"; }
echo "e2e: package OK ($(basename "$deb"), $(wc -l <<<"$files") entries)"
