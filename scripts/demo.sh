#!/usr/bin/env bash
# Installs what the project needs, builds it and starts the main job: a private D-Bus bus, the
# service qmMicHost with three simulated microphones of different models, `qmctl list`, and the
# studio qmTonecraft against that service. Ctrl+C stops everything this script started.
#
#   scripts/demo.sh [--no-studio]
#
# Without a display ($DISPLAY unset) the studio runs on a virtual display (Xvfb) and the script
# saves a screenshot of it every few seconds to <state>/studio.png.
set -euo pipefail
cd "$(dirname "$0")/.."

with_studio=1
[ "${1:-}" = "--no-studio" ] && with_studio=0

./scripts/install-deps.sh
build_dir=$(./scripts/build.sh | tail -n 1)
host="$build_dir/service/com/qmMicHost"
qmctl="$build_dir/tools/qmctl/qmctl"
studio="$build_dir/studio/shell/qmTonecraft"

state=$(mktemp -d /tmp/quillmere-demo.XXXXXX)
pids=()
cleanup() {
  trap - INT TERM EXIT
  echo
  echo "demo: stopping"
  # The studio first, then the service (it tells its clients it is going), then the bus.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill -TERM "${pids[i]}" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "${pids[i]}" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
  rm -rf "$state"
}
trap cleanup INT TERM EXIT

# Everything the demo writes stays in its own folder.
export QM_REGISTRY_DIR="$state/registry" QM_LOG_DIR="$state/logs" QM_PROFILE_DIR="$state/profiles"
export QM_DBUS_ADDRESS="unix:path=$state/bus"

dbus-daemon --session --nofork --address="$QM_DBUS_ADDRESS" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$state/bus" ] && break; sleep 0.05; done

"$host" -Runapp --simulate Alder:SN1001,Cedar:SN1002,Larch:SN1003 >"$state/qmMicHost.out" 2>&1 &
pids+=($!)
echo "demo: qmMicHost serves three virtual microphones on $QM_DBUS_ADDRESS"
# Ready once every microphone has been read completely.
for _ in $(seq 100); do
  listing=$("$qmctl" list 2>/dev/null) && ! grep -q starting <<<"$listing" && break
  sleep 0.1
done
"$qmctl" list

cat <<TXT

Try, in another terminal:
  export QM_DBUS_ADDRESS=$QM_DBUS_ADDRESS QM_REGISTRY_DIR=$QM_REGISTRY_DIR
  $qmctl show SN1002
  $qmctl set SN1002 LPF 5
  $qmctl sim plug Rowan SN1004
  $qmctl watch
Logs: $QM_LOG_DIR
TXT

if [ $with_studio -eq 1 ] && [ -x "$studio" ]; then
  if [ -n "${DISPLAY:-}" ]; then
    "$studio" &
    pids+=($!)
    echo "demo: the studio is open; close it or press Ctrl+C to stop"
  else
    Xvfb -displayfd 3 -screen 0 1280x800x24 3>"$state/display" >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do [ -s "$state/display" ] && break; sleep 0.05; done
    display=":$(cat "$state/display")"
    DISPLAY=$display "$studio" >"$state/qmTonecraft.out" 2>&1 &
    pids+=($!)
    echo "demo: no display: the studio runs on a virtual display; screenshot: $state/studio.png"
    (while sleep 3; do DISPLAY=$display import -window root "$state/studio.png" 2>/dev/null || true; done) &
    pids+=($!)
  fi
else
  echo "demo: press Ctrl+C to stop"
fi
wait "${pids[1]}"
