# The release check: the Debian package and the repository as Debian's own tools judge them.
# Builds the .deb, then lintian --pedantic (no error, no warning), hardening-check on the
# program, libQel.so and tavorin-regsvr, reuse lint on the sources, appstreamcli on the packaged
# AppStream record and man on the packaged manual page; the version is the project's everywhere.
# No network.
source "$(dirname "$0")/lib.sh"
: "${BUILD_DIR:?the build folder to package}" "${SOURCE_DIR:?the repository}" "${PACKAGE_VERSION:?the version of the project}"

# Without the packager's name and address there is no package, and the message says which to set.
if env -u DEBFULLNAME -u DEBEMAIL cpack --config "$BUILD_DIR/CPackConfig.cmake" -B "$work/unnamed" >"$work/unnamed.log" 2>&1 ||
   ! grep -q DEBFULLNAME "$work/unnamed.log" || ! grep -q DEBEMAIL "$work/unnamed.log" || compgen -G "$work/unnamed/*.deb"; then
  cat "$work/unnamed.log" >&2
  fail "cpack without DEBFULLNAME and DEBEMAIL did not stop with a message naming them"
fi

build_package "$work/cpack"
lintian --pedantic --display-info "$deb" >"$work/lintian.txt" 2>&1 || true   # its status: the tags we judge below
cat "$work/lintian.txt"
! grep -qE '^[EW]: ' "$work/lintian.txt" || fail "lintian reports errors or warnings"

root=$work/root
dpkg-deb -x "$deb" "$root"
for binary in "$root/usr/libexec/tavorin/Tavorin" "$root/usr/$INSTALL_QELDIR/libQel.so" "$BUILD_DIR/tools/regsvr/tavorin-regsvr"; do
  hardening-check "$binary" | tee "$work/hardening.txt" || true   # stack clash and CFI come with newer dpkg-buildflags
  for feature in 'Stack protected' 'Fortify Source functions' 'Read-only relocations' 'Immediate binding'; do
    grep -q "^ $feature: yes" "$work/hardening.txt" || fail "$binary: $feature is not yes"
  done
done

reuse --root "$SOURCE_DIR" lint || fail "reuse lint finds files without licence or copyright"

# The reverse-DNS id keeps the program's name in its own case, as freedesktop ids do: the one
# pedantic note allowed.
metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml
appstreamcli validate --pedantic --no-net "$metainfo" | tee "$work/appstream.txt" || fail "appstreamcli rejects the metainfo"
remarks=$(grep -E '^[EWIP]: ' "$work/appstream.txt" | grep -v ' cid-contains-uppercase-letter ' || true)
[ -z "$remarks" ] || fail "appstreamcli has remarks"

manual=$root/usr/share/man/man6/tavorin.6.gz
LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$manual" 2>"$work/man-warnings.txt" >"$work/man.txt" || fail "man cannot render the manual page"
[ ! -s "$work/man-warnings.txt" ] || { cat "$work/man-warnings.txt" >&2; fail "the manual page renders with warnings"; }

# The version is the project's: in the package, the newest AppStream release and the manual.
[ "$(dpkg-deb -f "$deb" Version)" = "$PACKAGE_VERSION" ] || fail "the package's version is $(dpkg-deb -f "$deb" Version)"
grep -q "<release version=\"$PACKAGE_VERSION\" date=\"....-..-..\">" "$metainfo" || fail "no AppStream release $PACKAGE_VERSION"
grep -q "Tavorin $PACKAGE_VERSION" "$work/man.txt" || fail "the manual page does not name version $PACKAGE_VERSION"
echo "PASS"
