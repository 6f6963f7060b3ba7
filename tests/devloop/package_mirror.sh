# The package check's Debian mirrors come from the machine's own apt sources, one-line and
# deb822 alike, never from a host written into the check. Each row is a machine's /etc/apt.
set -euo pipefail
source "$(dirname "$0")/../install/apt_sources.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
# check <row> <suite> <expected URI>: apt_mirror on the row's root.
check() {
  local got
  got=$(apt_mirror "$2" "$work/$1")
  [ "$got" = "$3" ] || { echo "FAIL: $1: the $2 mirror is '$got', not '$3'" >&2; status=1; }
}
row() { mkdir -p "$work/$1/etc/apt/sources.list.d"; }

# deb822, as Debian 12 installs it: comments inside stanzas, two suites on one line.
row deb822
cat >"$work/deb822/etc/apt/sources.list.d/debian.sources" <<'SOURCES'
Types: deb
# a snapshot of the archive, commented out
URIs: http://mirror-a.invalid/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: http://mirror-a.invalid/debian-security/
Suites: bookworm-security
Components: main
SOURCES
check deb822 bookworm http://mirror-a.invalid/debian
check deb822 bookworm-updates http://mirror-a.invalid/debian
check deb822 bookworm-security http://mirror-a.invalid/debian-security

# One-line sources.list: options in brackets, comments, source-only and disabled entries.
row one-line
cat >"$work/one-line/etc/apt/sources.list" <<'SOURCES'
# deb http://commented.invalid/debian bookworm main
deb-src http://sources-only.invalid/debian bookworm main
deb [arch=amd64 signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://mirror-b.invalid/debian/ bookworm main contrib
deb http://security-b.invalid/debian-security bookworm-security main # trailing comment
SOURCES
check one-line bookworm http://mirror-b.invalid/debian
check one-line bookworm-security http://security-b.invalid/debian-security

# sources.list first, then sources.list.d in name order; a stanza with Enabled: no, a source
# stanza and a file apt does not read are passed over.
row order
echo "deb http://first.invalid/debian bookworm main" >"$work/order/etc/apt/sources.list"
cat >"$work/order/etc/apt/sources.list.d/a.sources" <<'SOURCES'
Types: deb
URIs: http://disabled.invalid/debian
Suites: bookworm-security
Enabled: no

Types: deb-src
URIs: http://source.invalid/debian
Suites: bookworm-security
SOURCES
echo "deb http://not-read.invalid/debian bookworm-security main" >"$work/order/etc/apt/sources.list.d/b.list.disabled"
echo "deb http://third.invalid/debian bookworm-security main" >"$work/order/etc/apt/sources.list.d/c.list"
check order bookworm http://first.invalid/debian
check order bookworm-security http://third.invalid/debian

# No Debian 12 source at all: no mirror, which the package check takes for a reason to skip.
row none
echo "deb http://ports.invalid/ubuntu jammy main" >"$work/none/etc/apt/sources.list"
check none bookworm ""

[ "$status" -eq 0 ] && echo "PASS"
exit "$status"
