#!/usr/bin/env bash
# Starts three emulated devices on loopback addresses and the application against them; the
# devices stop when the application ends (or on Ctrl+C).
#
#   tools/demo.sh <builddir>
set -euo pipefail

build=${1:-build}
build=$(cd "$build" && pwd)
sim="$build/src/sim/tessaly-sim"
app="$build/src/app/tessaly"
for binary in "$sim" "$app"; do
  if [[ ! -x $binary ]]; then
    echo "demo: $binary is missing; build first (make build BUILD=$build)" >&2
    exit 1
  fi
done

# The program folder of the demo: init.cfg and the preset and project folders live here and
# survive from one demo to the next.
demo_dir="$build/demo"
mkdir -p "$demo_dir"
if [[ ! -e $demo_dir/init.cfg ]]; then
  # 28 bytes, 16-bit little-endian: COM 3, TCP/IP, device 127.0.0.2, scan 127.0.0.2 to 127.0.0.4.
  printf '\x03\x00\x01\x00''\x7f\x00\x00\x00\x00\x00\x02\x00''\x7f\x00\x00\x00\x00\x00\x02\x00''\x7f\x00\x00\x00\x00\x00\x04\x00' \
    >"$demo_dir/init.cfg"
fi

sim_log=$(mktemp "${TMPDIR:-/tmp}/tessaly-demo-sim.XXXXXX")
sim_pid=""
app_pid=""
# shellcheck disable=SC2317  # called from the EXIT trap
stop_devices() {
  if [[ -n $app_pid ]] && kill -0 "$app_pid" 2>/dev/null; then
    kill -TERM "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
  fi
  if [[ -n $sim_pid ]] && kill -0 "$sim_pid" 2>/dev/null; then
    kill -TERM "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
    echo "demo: emulated devices stopped"
  fi
  rm -f "$sim_log"
}
trap stop_devices EXIT
trap 'exit 130' INT TERM

devices=(
  --device 'type=3,tcp=127.0.0.2,name="Main PA",programs=4,meters=music,seed=1'
  --device 'type=0,tcp=127.0.0.3,name="Front Fill",programs=2,meters=music,seed=2'
  --device 'type=2,tcp=127.0.0.4,name="Delay Tower",meters=music,seed=3'
)

# A free unprivileged port: the emulator itself tells whether it could listen there, so no other
# program can take the port between the check and the use.
port=""
for _ in $(seq 1 20); do
  candidate=$((20000 + RANDOM % 40000))
  "$sim" --port "$candidate" "${devices[@]}" >"$sim_log" 2>&1 &
  sim_pid=$!
  for _ in $(seq 1 100); do
    if ! kill -0 "$sim_pid" 2>/dev/null; then
      wait "$sim_pid" 2>/dev/null || true
      sim_pid=""
      break
    fi
    if (($(grep -c '^device ' "$sim_log" || true) >= ${#devices[@]} / 2)); then
      port=$candidate
      break
    fi
    sleep 0.1
  done
  [[ -n $port ]] && break
  if [[ -n $sim_pid ]]; then
    kill -TERM "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
    sim_pid=""
  fi
done
if [[ -z $port ]]; then
  echo "demo: the emulated devices did not start:" >&2
  cat "$sim_log" >&2
  exit 1
fi

echo "demo: emulated devices on TCP port $port:"
sed 's/^/  /' "$sim_log"
echo "demo: the application searches 127.0.0.2 to 127.0.0.4 and opens the first device's editor;" \
  "Connect > Connect starts over"

export TESSALY_DEVICE_PORT=$port
if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
  export QT_QPA_PLATFORM=offscreen
  echo "demo: no display found (DISPLAY is not set): the application runs with" \
    "QT_QPA_PLATFORM=offscreen, so its windows are not shown. Press Ctrl+C to end the demo."
fi

status=0
(cd "$demo_dir" && exec "$app" --device-port "$port" --open-first) &
app_pid=$!
wait "$app_pid" || status=$?
app_pid=""
echo "demo: the application ended (status $status)"
exit "$status"
