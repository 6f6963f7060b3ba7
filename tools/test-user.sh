#!/usr/bin/env bash
# The unprivileged account for the checks that depend on who runs them (file permissions,
# ownership of the resource library, the per-user registry and records).
#   tools/test-user.sh        prints the account's name; as root, creates the account first
# Exit status 1, with nothing printed, when the account does not exist and cannot be made
# (not root): callers then skip those checks and say so.
set -euo pipefail
name=tavorin-tester
if ! id -u "$name" >/dev/null 2>&1; then
  [ "$(id -u)" -eq 0 ] || exit 1
  useradd --create-home --shell /bin/bash --user-group "$name" >/dev/null
fi
echo "$name"
