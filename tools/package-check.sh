#!/usr/bin/env bash
# Installs the Debian package on this machine and tries it as a user would: lintian, the
# programs' versions and manual pages, the application finding an emulated device, the shared
# libraries against Depends; then removes it and checks that its files are gone. All device
# traffic stays on 127.0.0.77.
#
#   tools/package-check.sh <builddir>
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
sudo=""
[[ $(id -u) == 0 ]] || sudo=sudo
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
deb_name=tessaly_${version}_$(dpkg --print-architecture).deb
if [[ ! -f $build/$deb_name ]]; then
  echo "package-check: $build/$deb_name is missing; run make package first" >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-package-check.XXXXXX")
installed=0
sim_pid=""
app_pid=""
# shellcheck disable=SC2317  # called from the EXIT trap
clean_up() {
  for pid in "$app_pid" "$sim_pid"; do
    if [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null; then
      kill -TERM "$pid" 2>/dev/null || true
      wait "$pid" 2>/dev/null || true
    fi
  done
  # A failed check never leaves the package behind on the machine.
  if ((installed)); then
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq tessaly >/dev/null || true
  fi
  rm -rf "$work"
}
trap clean_up EXIT

step() { printf '\n== %s\n' "$*"; }
fail() {
  echo "package-check: FAILED: $*" >&2
  exit 1
}

step "lintian $deb_name"
lintian_status=0
lintian --display-info --tag-display-limit 0 "$build/$deb_name" >"$work/lintian" 2>&1 || lintian_status=$?
cat "$work/lintian"
errors=$(grep -c '^E: ' "$work/lintian" || true)
warnings=$(grep -c '^W: ' "$work/lintian" || true)
echo "lintian: $errors error(s), $warnings warning(s) (exit status $lintian_status)"
((errors == 0)) || fail "lintian reports errors"

step "apt-get install ./$deb_name"
installed=1
(cd "$build" && $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y "./$deb_name")
dpkg-query -L tessaly >"$work/files"
depends=$(dpkg-query -W -f='${Depends}' tessaly)
echo "Depends: $depends"

step "tessaly-cli --version"
[[ $(command -v tessaly-cli) == /usr/bin/tessaly-cli ]] ||
  fail "tessaly-cli is $(command -v tessaly-cli), not /usr/bin/tessaly-cli"
cli_version=$(tessaly-cli --version)
echo "$cli_version"
[[ $cli_version == *"$version"* ]] || fail "tessaly-cli --version does not say $version"

step "man tessaly-cli | head"
for program in tessaly tessaly-cli tessaly-sim; do
  MANWIDTH=100 man "$program" >"$work/man-$program" 2>&1 ||
    fail "man $program: $(cat "$work/man-$program")"
done
head -n 15 "$work/man-tessaly-cli"

step "the installed application finds an emulated device on 127.0.0.77"
run=$work/run
mkdir "$run"
# The installed programs keep the user's files in the per-user folders: a home of its own here.
export HOME=$run XDG_CONFIG_HOME=$run/config XDG_DATA_HOME=$run/data
mkdir -p "$XDG_CONFIG_HOME/tessaly"
echo "where the installed programs keep the user's files (tessaly-cli paths):"
/usr/bin/tessaly-cli paths
# The application's settings, 28 bytes of 16-bit little-endian numbers:
# COM 3, TCP/IP, device 127.0.0.77, scan from 127.0.0.77 to 127.0.0.77.
printf '\x03\x00\x01\x00''\x7f\x00\x00\x00\x00\x00\x4d\x00''\x7f\x00\x00\x00\x00\x00\x4d\x00''\x7f\x00\x00\x00\x00\x00\x4d\x00' \
  >"$XDG_CONFIG_HOME/tessaly/init.cfg"
port=""
for _ in $(seq 1 20); do
  candidate=$((20000 + RANDOM % 40000))
  /usr/bin/tessaly-sim --trace --device "type=0,tcp=127.0.0.77:$candidate" \
    >"$work/sim.out" 2>"$work/sim.trace" &
  sim_pid=$!
  # The emulator says where it listens, or ends when the port is taken.
  for _ in $(seq 1 100); do
    if ! kill -0 "$sim_pid" 2>/dev/null; then
      wait "$sim_pid" 2>/dev/null || true
      sim_pid=""
      break
    fi
    if grep -q '^device ' "$work/sim.out"; then
      port=$candidate
      break
    fi
    sleep 0.1
  done
  [[ -n $port ]] && break
done
[[ -n $port ]] || fail "tessaly-sim did not start: $(cat "$work/sim.out" "$work/sim.trace")"
cat "$work/sim.out"

# A runtime folder of its own, so an instance that other work runs on this machine does not hold
# the application's single-instance lock; an offscreen screen of 1920x1080, as the default
# 800x600 one stops the start with a message that the editor does not fit.
mkdir -m 700 "$work/runtime"
printf '{"screens": [{"name": "check", "x": 0, "y": 0, "width": 1920, "height": 1080}]}\n' \
  >"$work/screen.json"
(cd "$run" && XDG_RUNTIME_DIR=$work/runtime \
  QT_QPA_PLATFORM=offscreen:configfile=$work/screen.json \
  exec /usr/bin/tessaly --device-port "$port" --open-first) >"$work/app.log" 2>&1 &
app_pid=$!
# The application found the device once it has identified it (command 0) and read its name for
# the device list (command 95).
found=0
for _ in $(seq 1 300); do
  if grep -Eq '^\[dev0\] rx 8d 1f [0-9a-f]{2} 5f ' "$work/sim.trace"; then
    found=1
    break
  fi
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
if ((!found)); then
  cat "$work/app.log" "$work/sim.trace"
  fail "the application did not find the emulated device"
fi
echo "tessaly found the RK-540 at 127.0.0.77:$port (what the emulator received from it):"
for command in 00 5f; do
  grep -Em 1 "^\[dev0\] rx 8d 1f [0-9a-f]{2} $command " "$work/sim.trace" | sed 's/^/  /'
done
kill -TERM "$app_pid"
wait "$app_pid" 2>/dev/null || true
app_pid=""
tessaly-cli --tcp "127.0.0.77:$port" identify || fail "tessaly-cli identify failed"

step "shared libraries of the installed programs against Depends"
named=$(sed 's/(.*)//; s/:any//; s/ //g; /^$/d' <<<"${depends//[,|]/$'\n'}" | sort -u)
mapfile -t named_list <<<"$named"
# Libraries pulled in by named packages may come from their own dependencies.
reachable=$(apt-cache depends --recurse --installed --no-recommends --no-suggests \
  --no-conflicts --no-breaks --no-replaces --no-enhances "${named_list[@]}" 2>/dev/null |
  sed -n 's/^ *\(Pre\)\?Depends: <\?\([^>]*\)>\?$/\2/p; /^[^ ]/p' | sed 's/:.*//' | sort -u)
problems=0
for program in /usr/bin/tessaly /usr/bin/tessaly-cli /usr/bin/tessaly-sim; do
  needed=$(objdump -p "$program" | awk '$1 == "NEEDED" { print $2 }')
  while read -r soname path; do
    owner=$(dpkg-query -S "$(readlink -f "$path")" 2>/dev/null | head -n 1 | sed 's/:.*//') ||
      owner=""
    [[ -n $owner ]] || owner=$(dpkg-query -S "$path" 2>/dev/null | head -n 1 | sed 's/:.*//') ||
      owner=""
    if grep -qx -- "$soname" <<<"$needed"; then
      # Linked directly: its package is named in Depends.
      if ! grep -qx -- "$owner" <<<"$named"; then
        echo "  $program needs $soname from ${owner:-no package}, which Depends does not name"
        problems=$((problems + 1))
      fi
    elif ! grep -qx -- "$owner" <<<"$reachable"; then
      echo "  $program loads $soname from ${owner:-no package}, not reached from Depends"
      problems=$((problems + 1))
    fi
  done < <(ldd "$program" | awk '$2 == "=>" && $3 ~ /^\// { print $1, $3 }')
  echo "$program: $(ldd "$program" | grep -c '=> /') libraries," \
    "$(wc -w <<<"$needed") of them linked directly"
done
((problems == 0)) || fail "$problems librar(y/ies) outside Depends"
echo "every library belongs to a package named in Depends or reached from one"

step "apt-get remove -y tessaly"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get remove -y tessaly
installed=0
left=0
while read -r path; do
  if [[ -f $path || -L $path ]]; then
    echo "  left behind: $path"
    left=$((left + 1))
  fi
done <"$work/files"
((left == 0)) || fail "$left file(s) left after removal"
if dpkg-query -W -f='${Status}' tessaly 2>/dev/null | grep -q 'installed'; then
  fail "dpkg still lists tessaly: $(dpkg-query -W -f='${Status}' tessaly)"
fi
echo "removed: none of its $(wc -l <"$work/files") paths is left as a file"

echo
echo "package-check: $deb_name passed"
