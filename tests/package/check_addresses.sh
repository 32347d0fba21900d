#!/usr/bin/env bash
# The addresses of cmake/Addresses.cmake, once configured, reach every field
# that carries them: the package's Maintainer and Homepage, the AppStream
# homepage and screenshot (still valid AppStream, "&" and all), and the
# copyright file's Upstream-Contact and Source.
#
# check_addresses.sh SOURCE_DIR APP_ID
set -euo pipefail

source=$1 id=$2
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
homepage='https://vxarb.example.org/editor?lang=zh&v=3'
screenshot='https://vxarb.example.org/shot.png'
cmake -S "$source" -B "$work" -DBUILD_TESTING=OFF -DARB_BENCHMARKS=OFF \
    -DARB_HOMEPAGE_URL="$homepage" -DARB_SCREENSHOT_URL="$screenshot" \
    -DARB_MAINTAINER_NAME="Wen Li" -DARB_MAINTAINER_EMAIL="wen.li@vxarb.example.org" >"$work/cmake.log" 2>&1 ||
    { cat "$work/cmake.log"; fail "cmake"; }

metainfo=$work/$id.metainfo.xml
appstreamcli validate --no-net --strict "$metainfo" || fail "AppStream metadata"
grep -qF '<url type="homepage">https://vxarb.example.org/editor?lang=zh&amp;v=3</url>' "$metainfo" ||
    fail "metainfo homepage"
grep -qF "<image>$screenshot</image>" "$metainfo" || fail "metainfo screenshot"

grep -qxF 'Upstream-Contact: Wen Li <wen.li@vxarb.example.org>' "$work/copyright" || fail "copyright contact"
grep -qxF "Source: $homepage" "$work/copyright" || fail "copyright source"

grep -qF 'set(CPACK_PACKAGE_CONTACT "Wen Li <wen.li@vxarb.example.org>")' "$work/CPackConfig.cmake" ||
    fail "package maintainer"
grep -qF "set(CPACK_PACKAGE_HOMEPAGE_URL \"$homepage\")" "$work/CPackConfig.cmake" || fail "package homepage"
echo "The configured addresses reach every field"
