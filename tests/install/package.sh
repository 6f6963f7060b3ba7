# The Debian package check: build the .deb, install it in a fresh Debian 12, start the game, remove it.
# CPack builds it; apt installs it into a debootstrap chroot; the game starts there under Xvfb
# as a player with nothing set up; apt removes it again. Needs root (chroot, mount) and a
# Debian 12 mirror, which it takes from this machine's apt sources (DEBIAN_MIRROR and
# DEBIAN_SECURITY_MIRROR name others); skipped without either. By hand: ctest --preset dev -L package
# Downloads are kept in $PACKAGE_CACHE between runs (debootstrap's and apt's own caches).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/apt_sources.sh"
: "${BUILD_DIR:?the build folder to package}" "${PACKAGE_VERSION:?the version the package carries}"
: "${PACKAGE_CACHE:=$work/cache}"
: "${DEBIAN_MIRROR:=$(apt_mirror bookworm)}" "${DEBIAN_SECURITY_MIRROR:=$(apt_mirror bookworm-security)}"
if [ "$(id -u)" -ne 0 ]; then
  echo "SKIP: the package check needs root for debootstrap and chroot"
  exit 77
fi
if [ -z "$DEBIAN_MIRROR" ]; then
  echo "SKIP: this machine's apt sources name no Debian 12 (bookworm) mirror; DEBIAN_MIRROR names one"
  exit 77
fi
t0=$SECONDS
step() { echo "[$((SECONDS - t0)) s] $*"; }

# ---- The package itself ----
step "building the package"
build_package "$work/cpack"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tavorin ] && [ "$(field Version)" = "$PACKAGE_VERSION" ] || fail "package $(field Package) $(field Version)"
[ "$(field Maintainer)" = "$packager_name <$packager_address>" ] || fail "maintainer $(field Maintainer)"
[ "$(field Homepage)" = "${PACKAGE_HOMEPAGE:-}" ] || fail "homepage '$(field Homepage)', not the configured '${PACKAGE_HOMEPAGE:-}'"
depends=$(field Depends)
for d in timgm6mb-soundfont fonts-ipafont-gothic fonts-urw-base35 fonts-dejavu-core qt6-qpa-plugins \
         libqt6widgets6 libfluidsynth3 libc6; do
  grep -qE "(^|, )$d( |,|$)" <<<"$depends" || fail "Depends lacks $d: $depends"
done
dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -E 'preinst|postinst|prerm|postrm' && fail "the package has maintainer scripts; it needs none"
[ "$(dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./conffiles)" = /etc/xdg/tavorin/components.json ] ||
  fail "the registry entry is not the package's one conffile"
{ layout ./usr ./etc/xdg; printf '%s\n' ./usr/share/doc/tavorin/changelog.gz ./usr/share/lintian/overrides/tavorin; } | sort >"$work/expected"
dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort | diff -u "$work/expected" - || fail "the package's files differ from the layout"
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./etc/xdg/tavorin/components.json | grep -qF "\"/usr/$INSTALL_QELDIR/libQel.so\"" ||
  fail "the package's registry entry does not name /usr/$INSTALL_QELDIR/libQel.so"

# ---- A fresh Debian 12 ----
root=$work/root
mkdir -p "$PACKAGE_CACHE/debootstrap" "$PACKAGE_CACHE/apt"
step "debootstrap"
debootstrap --variant=minbase --cache-dir="$PACKAGE_CACHE/debootstrap" bookworm "$root" "$DEBIAN_MIRROR" >"$work/debootstrap.log" 2>&1 ||
  { tail -n 20 "$work/debootstrap.log" >&2; fail "debootstrap failed"; }
mount -t proc proc "$root/proc"
cleanup_steps+=("umount '$root/proc' || umount -l '$root/proc'")
cp /etc/resolv.conf "$root/etc/resolv.conf"
# A throwaway system: dpkg need not sync every file, apt need not fetch translations.
echo force-unsafe-io >"$root/etc/dpkg/dpkg.cfg.d/unsafe-io"
echo 'Acquire::Languages "none";' >"$root/etc/apt/apt.conf.d/no-translations"
{
  echo "deb $DEBIAN_MIRROR bookworm main"
  echo "deb $DEBIAN_MIRROR bookworm-updates main"
  [ -z "$DEBIAN_SECURITY_MIRROR" ] || echo "deb $DEBIAN_SECURITY_MIRROR bookworm-security main"
} >"$root/etc/apt/sources.list"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"; }
step "apt-get install ./$(basename "$deb")"
cp "$deb" "$root/tmp/"
find "$PACKAGE_CACHE/apt" -name '*.deb' -exec cp -t "$root/var/cache/apt/archives/" {} +
in_root apt-get update -qq >"$work/apt.log" 2>&1 &&
  in_root apt-get install -y -q --no-install-recommends "/tmp/$(basename "$deb")" >>"$work/apt.log" 2>&1 ||
  { tail -n 30 "$work/apt.log" >&2; fail "apt-get could not install the package"; }
find "$root/var/cache/apt/archives" -maxdepth 1 -name '*.deb' -exec cp -n -t "$PACKAGE_CACHE/apt/" {} +
in_root dpkg-query -L tavorin >"$work/package-files"

# ---- The game from the applications menu's command, as an ordinary user whose only own
# registration names a developer's clone deleted since ----
step "starting the game"
start_x
make_home "$root/home/player"
register_deleted_clone "$root/home/player/.config"
mkdir -p "$root/run/user/1000"
chown -R 1000:1000 "$root/home/player" "$root/run/user/1000"
chmod 700 "$root/run/user/1000"
pidfile=$root/tmp/game.pid
launch_traced chroot --userspec=1000:1000 "$root" env -i HOME=/home/player XDG_RUNTIME_DIR=/run/user/1000 \
  DISPLAY="$DISPLAY" PATH=/usr/local/bin:/usr/bin:/bin sh -c 'cd /tmp; echo $$ >/tmp/game.pid; eval "exec $1"' sh \
  "$(sed -n 's/^Exec=//p' "$root/usr/share/applications/$app_id.desktop")"
wait_main_window
shoot package-start
check_running_game "$root/usr" "$root/usr/share/applications/$app_id.desktop"
check_import_starts_in_pictures /home/player/Pictures
shoot package-import
end_game
cmp -s "$work/stale-registration" "$root/home/player/.config/tavorin/components.json" || fail "the start changed the player's registry"

# ---- Removal leaves none of its files but the registry entry, a conffile; a purge takes that too ----
step "apt-get remove tavorin, then purge"
in_root apt-get remove -y -q tavorin >>"$work/apt.log" 2>&1 || { tail -n 20 "$work/apt.log" >&2; fail "apt-get remove failed"; }
while IFS= read -r f; do
  [ -d "$root$f" ] || [ ! -e "$root$f" ] || [ "$f" = /etc/xdg/tavorin/components.json ] || fail "left after removal: $f"
done <"$work/package-files"
in_root apt-get purge -y -q tavorin >>"$work/apt.log" 2>&1 || { tail -n 20 "$work/apt.log" >&2; fail "apt-get purge failed"; }
state=$(in_root dpkg-query -W -f='${db:Status-Abbrev}' tavorin 2>/dev/null || true)
[ -z "$state" ] || [ "${state:0:2}" = "un" ] || fail "dpkg still knows the package after the purge: '$state'"
[ ! -e "$root/etc/xdg/tavorin" ] || fail "the system registry entry is left after the purge"
step "done"
echo "PASS"
