# The mirrors this machine's apt is configured with, so that a system built for a check fetches
# from where the machine itself does. Sourced by package.sh.
#   apt_entries [root]      prints "<URI> <suite>" for each enabled binary ("deb") source of
#                           <root>/etc/apt (default /), in apt's order: sources.list, then the
#                           *.list (one-line) and *.sources (deb822) files of sources.list.d
#   apt_mirror <suite> [root]   the URI of the first of those entries for <suite>, or nothing

apt_entries() {
  local apt=${1:-}/etc/apt f
  for f in "$apt/sources.list" "$apt"/sources.list.d/*; do
    [ -f "$f" ] || continue
    case "$f" in
      */sources.list | *.list) apt_one_line_entries <"$f" ;;
      *.sources) apt_deb822_entries <"$f" ;;
    esac
  done
}

apt_mirror() {
  apt_entries "${2:-}" | awk -v suite="$1" '$2 == suite { print $1; exit }'
}

# deb [ options ] URI suite [component...]
apt_one_line_entries() {
  awk '{ sub(/#.*/, "") }
       $1 == "deb" {
         i = 2
         if ($i ~ /^\[/) { while ($i !~ /\]$/ && i < NF) i++; i++ }
         if (i + 1 <= NF) { uri = $i; sub(/\/+$/, "", uri); print uri, $(i + 1) }
       }'
}

# Stanzas of "Field: value" lines (continued on lines that start with a blank), separated by
# empty lines; lines starting with "#" are comments.
apt_deb822_entries() {
  awk 'function flush(   n, m, i, j, u, s, uri) {
         if ((" " types " ") ~ / deb / && tolower(enabled) !~ /^ *no *$/) {
           n = split(uris, u, " "); m = split(suites, s, " ")
           for (i = 1; i <= n; i++) for (j = 1; j <= m; j++) { uri = u[i]; sub(/\/+$/, "", uri); print uri, s[j] }
         }
         types = uris = suites = enabled = field = ""
       }
       /^#/ { next }
       /^[ \t]*$/ { flush(); next }
       /^[ \t]/ { value = $0 }
       /^[^ \t]/ { field = tolower(substr($0, 1, index($0, ":") - 1)); value = substr($0, index($0, ":") + 1) }
       field == "types" { types = types " " value }
       field == "uris" { uris = uris " " value }
       field == "suites" { suites = suites " " value }
       field == "enabled" { enabled = value }
       END { flush() }'
}
