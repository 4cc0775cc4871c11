#!/usr/bin/env bash
# package_test.sh BUILD_DIR SOURCE_DIR VERSION PRIVATE_LIBDIR
set -uo pipefail
build=$1 source=$2 version=$3 libdir=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# Runs a command; a non-zero exit or a hang is a failure named by the command.
check() { timeout 120 "$@" > "$work/out" 2>&1 || { fail "$*"; cat "$work/out"; }; }

deb="$work/out-deb/veltran_${version}_$(dpkg --print-architecture).deb"
cpack --config "$build/CPackConfig.cmake" -B "$work/out-deb" > "$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
[ -f "$deb" ] || { ls "$work/out-deb"; echo "FAIL: no $deb"; exit 1; }
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

root="$work/root"
dpkg-deb -x "$deb" "$root"
depends=$(dpkg-deb -f "$deb" Depends)
[[ "$depends" == *libqt6widgets6* && "$depends" == *libc6* ]] ||
  fail "Depends is not computed from the programs' libraries: $depends"
# grep -q may close the pipe early; with pipefail that would read as a failure.
[[ $(dpkg-deb -f "$deb" Description) == *dialout* ]] || fail "the description does not explain dialout"
for script in preinst postinst prerm postrm; do
  dpkg-deb -I "$deb" "$script" >/dev/null 2>&1 && fail "the package has a $script script"
done

share=usr/share
for f in usr/bin/veltran usr/bin/veltran-cli usr/bin/veltran-sim "usr/$libdir/libsumval.so" \
    $share/veltran/config.ini $share/veltran/lang/english.lng $share/veltran/help/english.html \
    $share/veltran/about/english.txt $share/veltran/print.rpc $share/veltran/samples/pc \
    $share/applications/org.veltran.Veltran.desktop \
    $share/metainfo/org.veltran.Veltran.metainfo.xml \
    $share/icons/hicolor/scalable/apps/veltran.svg \
    $share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128,256x256}/apps/veltran.png \
    $share/man/man1/{veltran,veltran-cli,veltran-sim}.1.gz \
    $share/doc/veltran/copyright $share/doc/veltran/changelog.gz; do
  [ -e "$root/$f" ] || fail "missing $f"
done
[ -z "$(find "$root" -name 'fuzz-*' -o -name '*_test' -o -name 'bench-*')" ] ||
  fail "test programs in the package"

# Run from the unpacked tree as a fresh user would: no VELTRAN_HOME, no library path.
bin="$root/usr/bin"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config"
unset VELTRAN_HOME VELTRAN_SUMVAL LD_LIBRARY_PATH
mkdir -p "$HOME"
# The same command from the build tree, with a data folder of its own.
built() { VELTRAN_HOME="$work/build-home" "$build/bin/$@"; }
sample="$root/$share/veltran/samples/pc/QX0102TA.MTD"
release=${version%%~*} # 1.0 also stands in 1.00 and 1.00RC-3
check "$bin/veltran-cli" --version
grep -qF "$release" "$work/out" || fail "veltran-cli --version does not name $release"
check "$bin/veltran-cli" render "$sample"
cmp -s "$work/out" <(built veltran-cli render "$sample") ||
  fail "the installed veltran-cli renders $sample differently"
[ -f "$XDG_CONFIG_HOME/veltran/config.ini" ] || fail "the first start did not seed the data folder"
upgrade="$root/$share/veltran/samples/pc/upgrade/50231096.upg"
check "$bin/veltran-cli" checksum "$upgrade"
cmp -s "$work/out" <(built veltran-cli checksum "$upgrade") ||
  fail "checksum through the private libsumval: $(cat "$work/out")"
check "$bin/veltran" -platform offscreen --version
grep -qF "$release" "$work/out" || fail "veltran --version does not name $release"
check "$bin/veltran-sim" --version
grep -qF "$release" "$work/out" || fail "veltran-sim --version does not name $release"

check desktop-file-validate "$root/$share/applications/org.veltran.Veltran.desktop"
check appstreamcli validate --no-net "$root/$share/metainfo/org.veltran.Veltran.metainfo.xml"
lintian --no-tag-display-limit "$deb" > "$work/lintian" 2>&1
if grep -q '^E:' "$work/lintian"; then
  fail "lintian reports errors"
fi
# Every warning kept is explained in the README.
for tag in $(sed -n 's/^W: [^:]*: \([^ ]*\).*/\1/p' "$work/lintian" | sort -u); do
  grep -q "$tag" "$source/README.md" || fail "lintian warning $tag is not listed in the README"
done
grep -E '^[EW]:' "$work/lintian"

[ "$failures" -eq 0 ] && echo "package test passed"
exit "$failures"
