#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks it as Debian and a
# desktop see it: the package's name, fields and files, lintian, the AppStream
# metadata and the desktop entry, the layout of `cmake --install` under another
# prefix, and the packaged program, started offscreen, opening its help
# document on F1.
#
# check_package.sh CPACK BUILD_DIR HELP_PROBE EXPECTED_FILES APP_ID VERSION MAINTAINER HOMEPAGE SCREENSHOT
set -euo pipefail

cpack=$1 build=$2 probe=$3 expected=$4 id=$5 version=$6 maintainer=$7 homepage=$8 screenshot=$9
# The lintian warnings accepted, each explained in the README.
accepted_lintian_warnings=copyright-without-copyright-notice

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

for tool in "$cpack" dpkg-deb dpkg-shlibdeps file lintian appstreamcli desktop-file-validate; do
    command -v "$tool" >/dev/null || fail "$tool is missing: scripts/install-deps.sh installs it"
done

work=$(realpath "$build")/package-check
rm -rf "$work"
mkdir -p "$work"

echo "== cpack"
"$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack"; }
shopt -s nullglob
debs=("$work"/*.deb)
[ ${#debs[@]} -eq 1 ] || fail "one package expected, found: ${debs[*]}"
deb=${debs[0]}
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "vxarb_${version}_${arch}.deb" ] || fail "package name $(basename "$deb")"

echo "== control fields"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = vxarb ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = electronics ] || fail "Section: $(field Section)"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer: $(field Maintainer)"
[ "$(field Maintainer)" = "$maintainer" ] || fail "Maintainer: $(field Maintainer), configured: $maintainer"
[ "$(field Homepage)" = "$homepage" ] || fail "Homepage: '$(field Homepage)', configured: '$homepage'"
[ "$(field Description | wc -l)" -ge 3 ] || fail "no long description"
depends=$(field Depends)
for package in libqt6widgets6 libqt6serialport6 libmuparser2v5 libc6 libqt6svg6 fonts-wqy-microhei qt6-translations-l10n; do
    [[ ", $depends," == *", $package"[\ ,]* ]] || fail "Depends lacks $package: $depends"
done

echo "== files"
# Sorted by path: the last column.
listing() { LC_ALL=C sort -k3; }
dpkg-deb -c "$deb" | awk '{ print $1, $2, $6 }' | listing >"$work/files"
diff -u <(listing <"$expected") "$work/files" || fail "the package's files differ from $expected"

echo "== cmake --install under another prefix"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
(cd "$work/prefix" && find . -mindepth 1 | listing) >"$work/installed"
awk '{ print $3 }' "$work/files" | sed -n 's|^\./usr/\(.\+\)|./\1|p' | sed 's|/$||' | listing >"$work/packaged"
diff -u "$work/packaged" "$work/installed" || fail "cmake --install lays the files out unlike the package"

echo "== lintian"
lintian --fail-on error,warning --suppress-tags "$accepted_lintian_warnings" "$deb" ||
    fail "lintian"

root=$work/root
dpkg-deb -x "$deb" "$root"
desktop=$root/usr/share/applications/$id.desktop
metainfo=$root/usr/share/metainfo/$id.metainfo.xml

echo "== appstreamcli validate"
appstreamcli validate --no-net --strict "$metainfo" || fail "AppStream metadata"
grep -q "<id>$id</id>" "$metainfo" || fail "metainfo id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "metainfo launchable"

# The home page and the screenshot are there exactly when configured.
[ "$(grep -c '<url type="homepage">' "$metainfo")" -eq "$([ -n "$homepage" ] && echo 1 || echo 0)" ] ||
    fail "metainfo homepage, configured: '$homepage'"
[ "$(grep -c '<screenshots>' "$metainfo")" -eq "$([ -n "$screenshot" ] && echo 1 || echo 0)" ] ||
    fail "metainfo screenshot, configured: '$screenshot'"

echo "== no address but the configured ones"
# Every web and mail address in the package's texts and control fields is a
# configured one, a standard's own (the copyright format, the SVG namespace)
# or the placeholder under .invalid, a domain that never exists.
allowed=(https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/ http://www.w3.org/2000/svg
    no-address@vxarb.invalid)
[ -n "$homepage" ] && allowed+=("$homepage")
[ -n "$screenshot" ] && allowed+=("$screenshot")
mail='<([^>]+)>'
[[ "$maintainer" =~ $mail ]] && allowed+=("${BASH_REMATCH[1]}")
addresses() { grep -rIhoE 'https?://[^"<> ]+|[A-Za-z0-9._%+-]+@[A-Za-z0-9.-]+\.[A-Za-z]+' "$@" || true; }
dpkg-deb -I "$deb" control >"$work/control"
find "$root" -name '*.gz' -exec sh -c 'zcat "$1" >"$1.text"' sh {} \;
while read -r address; do
    [ -z "$address" ] && continue
    printf '%s\n' "${allowed[@]}" | grep -qxF "$address" || fail "the package names $address"
done < <(addresses "$root" "$work/control" | sed 's/&amp;/\&/g' | sort -u)
find "$root" -name '*.gz.text' -delete

echo "== desktop-file-validate"
report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop entry: $report"
[ -z "$report" ] || fail "desktop entry: $report"
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Exec)" = vxarb ] && [ -x "$root/usr/bin/vxarb" ] || fail "Exec=$(entry Exec)"
[ "$(entry Icon)" = "$id" ] || fail "Icon=$(entry Icon)"
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no icon $id.svg"

echo "== the packaged program finds its help document"
report=$(cd / && QT_QPA_PLATFORM=offscreen timeout 60 env LD_PRELOAD="$probe" "$root/usr/bin/vxarb") ||
    fail "the program with the help probe: $report"
echo "$report"
probed() { sed -n "s/^$1 //p" <<<"$report"; }
help=$root/usr/share/doc/vxarb/任意波说明.html
[ "$(probed help)" = "$help" ] && [ -f "$help" ] || fail "F1 opened '$(probed help)', not $help"
[ "$(probed desktop-file-name)" = "$id" ] || fail "desktop file name $(probed desktop-file-name)"
[ "$(probed application-name)" = "$(entry StartupWMClass)" ] ||
    fail "window class $(probed application-name), StartupWMClass=$(entry StartupWMClass)"

echo "The package checks passed: $deb"
