# The install check: install into a scratch prefix, check it, start the game from it, uninstall.
# Checks the layout and the validators, starts the installed game from an unrelated folder with
# only the system registry entry, then uninstalls by the manifest.
source "$(dirname "$0")/lib.sh"
: "${BUILD_DIR:?the build folder to install from}"
prefix="$work/game root"   # with a space: every path has to survive the launcher and the entries

cmake --install "$BUILD_DIR" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log" >&2; fail "cmake --install failed"; }
cp "$BUILD_DIR/install_manifest.txt" "$work/manifest"

# ---- Layout: exactly these files, every one of them in the manifest ----
layout . ./etc/xdg | sed 's|^\./||' >"$work/expected"
(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort) >"$work/installed"
diff -u "$work/expected" "$work/installed" || fail "the installed files differ from the layout"
sed "s|^$prefix/||" "$work/manifest" | sort | diff -u "$work/expected" - || fail "the manifest does not list the installed files"

[ "$(head -n1 "$prefix/games/tavorin")" = "#!/bin/sh" ] && [ -x "$prefix/games/tavorin" ] || fail "games/tavorin is not an executable shell script"
file -b "$prefix/libexec/tavorin/Tavorin" | grep -q '^ELF.*executable' || fail "libexec/tavorin/Tavorin is not a program"
qel="$prefix/$INSTALL_QELDIR/libQel.so"
file -b "$qel" | grep -q '^ELF.*shared object' || fail "libQel.so is not a shared library"
[ -f "$qel" ] && [ ! -L "$qel" ] && [ "$(stat -c %a "$qel")" = 644 ] || fail "libQel.so must be a regular file of mode 644"
for m in juesmansdesiring fanfa4; do
  cmp -s "$BUILD_DIR/game/$m.mid" "$prefix/share/tavorin/$m.mid" || fail "$m.mid is not the built music"
done
for s in "${icon_sizes[@]}"; do
  read -r w h alpha < <(identify -format '%w %h %A\n' "$prefix/share/icons/hicolor/${s}x$s/apps/$app_id.png")
  [ "$w" = "$s" ] && [ "$h" = "$s" ] || fail "the ${s}x$s icon is ${w}x$h"
  case "$alpha" in Blend|True) ;; *) fail "the ${s}x$s icon has no transparency ($alpha)" ;; esac
done

# ---- The desktop entry, AppStream and the registry entry name what was installed ----
desktop="$prefix/share/applications/$app_id.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Path)" = "$prefix/share/tavorin" ] || fail "Path=$(entry Path) is not the data folder"
[ "$(entry Exec)" = "\"$prefix/games/tavorin\"" ] && [ "$(entry Icon)" = "$app_id" ] || fail "Exec or Icon do not name the launcher and the icon"
appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml" || fail "appstreamcli rejects the metainfo"
appstreamcli validate-tree --no-net "$prefix" || fail "appstreamcli rejects the installed tree"
grep -qF "\"$qel\"" "$prefix/etc/xdg/tavorin/components.json" || fail "the system registry entry does not name $qel"

# ---- A start by the menu entry's command from an unrelated folder, as a player whose only
# registration names a developer's clone that has since been deleted ----
start_x
home=$work/home
make_home "$home"
register_deleted_clone "$home/.config"
mkdir -p "$work/elsewhere" "$work/runtime"
chmod 700 "$work/runtime"
cd "$work/elsewhere"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
pidfile=$work/pid
launch_traced env HOME="$home" XDG_CONFIG_HOME= XDG_CACHE_HOME= XDG_DATA_HOME= XDG_RUNTIME_DIR="$work/runtime" \
  XDG_CONFIG_DIRS="$prefix/etc/xdg" sh -c 'echo $$ >"$1"; eval "exec $2"' sh "$pidfile" "$(entry Exec)"
wait_main_window
shoot installed-start
check_running_game "$prefix" "$desktop"
check_import_starts_in_pictures "$home/Pictures"
shoot installed-import
cmp -s "$work/stale-registration" "$home/.config/tavorin/components.json" || fail "the start changed the player's registry"
end_game

# ---- Uninstall: removing what the manifest lists leaves no file behind ----
while IFS= read -r f || [ -n "$f" ]; do rm -f -- "$f"; done <"$work/manifest"   # its last line has no newline
left=$(cd "$prefix" && find . -type f -o -type l)
[ -z "$left" ] || fail "left after the uninstall: $left"
echo "PASS"
