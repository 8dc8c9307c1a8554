#!/usr/bin/env bash
# Builds the .deb from the build tree, checks its control fields and files, unpacks it into a
# temporary root and runs the programs from there with no display.
set -euo pipefail
config=$1 version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$config" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/ferrowin_*.deb)

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == ferrowin ]] || fail "Package: $(field Package)"
[[ $(field Version) == "$version" ]] || fail "Version: $(field Version)"
[[ $(field Section) == net ]] || fail "Section: $(field Section)"
[[ -n $(field Maintainer) ]] || fail "no Maintainer"
# Fields are read whole first: grep -q ending a pipe early would break it under pipefail.
depends=$(field Depends) description=$(field Description)
grep -q 'libqt6widgets6' <<<"$depends" || fail "Depends lacks Qt Widgets: $depends"
grep -q 'libc6' <<<"$depends" || fail "Depends lacks libc6: $depends"
grep -q 'ferroftp' <<<"$description" || fail "the long description does not mention ferroftp"

dpkg-deb -c "$deb" | awk '{print $6}' >"$work/files"
for f in ./usr/bin/ferrowin ./usr/bin/ferroftp ./usr/share/ferrowin/Activity.ftp \
         ./usr/share/applications/ferrowin.desktop ./usr/share/metainfo/io.github.ferrowin.ferrowin.metainfo.xml \
         ./usr/share/icons/hicolor/scalable/apps/ferrowin.svg ./usr/share/icons/hicolor/48x48/apps/ferrowin.png \
         ./usr/share/icons/hicolor/256x256/apps/ferrowin.png ./usr/share/man/man1/ferrowin.1.gz \
         ./usr/share/man/man1/ferroftp.1.gz ./usr/share/dbus-1/interfaces/Lumbra.IQuorra.xml \
         ./usr/share/dbus-1/services/Lumbra.Quorra.service; do
  grep -qxF "$f" "$work/files" || fail "missing $f"
done
if grep -E '/(tests?|include)/|\.a$|_tests$' "$work/files"; then fail "test or build files in the package"; fi

root="$work/root"
dpkg -x "$deb" "$root"
nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$work/home")
out=$("${nodisplay[@]}" "$root/usr/bin/ferroftp" --version) || fail "ferroftp --version"
[[ $out == "ferroftp $version" ]] || fail "ferroftp --version printed '$out'"
out=$("${nodisplay[@]}" "$root/usr/bin/ferrowin" --version) || fail "ferrowin --version"
[[ $out == "ferrowin $version" ]] || fail "ferrowin --version printed '$out'"
out=$("${nodisplay[@]}" "$root/usr/bin/ferrowin" --help) || fail "ferrowin --help"
grep -qF '/c - Host name or IP address' <<<"$out" || fail "ferrowin --help: $out"
grep -qF 'ftp://' <<<"$out" || fail "ferrowin --help does not show the URL form"
[[ ! -e "$work/home/.config/ferrowin" ]] || fail "--help wrote files"

exec_line=$(grep '^Exec=' "$root/usr/share/dbus-1/services/Lumbra.Quorra.service")
[[ $exec_line == "Exec=/usr/bin/ferrowin --automation-factory" ]] || fail "automation service: $exec_line"

desktop-file-validate "$root/usr/share/applications/ferrowin.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/io.github.ferrowin.ferrowin.metainfo.xml" || fail "metainfo"
for page in ferrowin ferroftp; do
  title=$(zcat "$root/usr/share/man/man1/$page.1.gz" | sed -n 1p)
  [[ $title == ".TH ${page^^} 1 "* ]] || fail "$page.1 begins with '$title'"
done
echo "package ok: $(basename "$deb"), $(stat -c %s "$deb") bytes, $(wc -l <"$work/files") entries"
