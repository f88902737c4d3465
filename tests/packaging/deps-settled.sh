#!/usr/bin/env bash
# After `make deps` has run once, a second run must print nothing and call no apt command: every
# name it lists is a real package that dpkg reports installed.
#
#   deps-settled.sh <source dir>
set -euo pipefail

if ! command -v dpkg-query >/dev/null; then
  echo "deps_settled: no dpkg-query, not a Debian system" >&2
  exit 77
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-deps.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Stand-ins that record any call; the package manager itself is never reached.
mkdir "$work/bin"
for tool in apt-get apt sudo; do
  printf '#!/bin/sh\necho "%s $*" >>"%s/calls"\nexit 1\n' "$tool" "$work" >"$work/bin/$tool"
  chmod +x "$work/bin/$tool"
done

status=0
# A user's own `make deps`, not a sub-make of whatever started this test.
(cd "$1" && env -u MAKELEVEL -u MAKEFLAGS -u MFLAGS PATH="$work/bin:$PATH" make deps) \
  >"$work/out" 2>&1 || status=$?

failed=0
if [[ $status -ne 0 ]]; then
  echo "make deps ended with status $status"
  failed=1
fi
if [[ -s $work/out ]]; then
  echo "make deps printed:"
  sed 's/^/  /' "$work/out"
  failed=1
fi
if [[ -s $work/calls ]]; then
  echo "make deps called:"
  sed 's/^/  /' "$work/calls"
  failed=1
fi
exit "$failed"
