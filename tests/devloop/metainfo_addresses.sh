# The AppStream record names a homepage and a screenshot only when the packager gives them, and
# validates either way. Each row writes the record as the build does and validates it offline.
set -euo pipefail
: "${SOURCE_DIR:?the source tree}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
# row <name> <homepage> <screenshot address>
row() {
  local out=$work/$1.metainfo.xml
  cmake -DTEMPLATE="$SOURCE_DIR/packaging/io.github.tavorin.Tavorin.metainfo.xml.in" -DOUTPUT="$out" \
    -DHOMEPAGE="$2" -DSCREENSHOT_URL="$3" -P "$SOURCE_DIR/packaging/Metainfo.cmake" || { status=1; return; }
  appstreamcli validate --no-net "$out" >"$work/$1.log" 2>&1 ||
    { echo "FAIL: $1: appstreamcli rejects the record" >&2; cat "$work/$1.log" >&2; status=1; }
  local urls
  urls=$({ grep -oE '<(url|image)[^>]*>[^<]*<' "$out" || true; } | sed -E 's/<(url|image)[^>]*>//; s/<$//' | tr '\n' ' ')
  [ "$urls" = "$4" ] || { echo "FAIL: $1: the record names '$urls', not '$4'" >&2; status=1; }
}
row none "" "" ""
row homepage "https://tavorin.invalid/" "" "https://tavorin.invalid/ "
row both "https://tavorin.invalid/?a=1&b=2" "https://tavorin.invalid/shot.png" \
  "https://tavorin.invalid/shot.png https://tavorin.invalid/?a=1&amp;b=2 "
[ "$status" -eq 0 ] && echo "PASS"
exit "$status"
