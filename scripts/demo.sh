#!/usr/bin/env bash
# Installs what the project needs, builds it and starts the main job: a private D-Bus bus, the
# service qmMicHost with three simulated microphones of different models, `qmctl list`, and the
# studio qmTonecraft against that service. Each virtual microphone has a capture source on the
# sound server (the user's running PulseAudio or PipeWire, else a user-mode PulseAudio started
# here) that plays a test signal shaped by its DSP settings. Ctrl+C stops everything this script
# started and removes the sources it added.
#
#   scripts/demo.sh [--no-studio | --screenshots]
#
# Without a display ($DISPLAY unset) the studio runs on a virtual display (Xvfb) and the script
# saves a screenshot of it every few seconds to <state>/studio.png. With --screenshots the demo
# gives its microphones a few settings, pictures every control panel on a virtual display into
# docs/panels/ and the monitoring views playing SN1003 into docs/monitoring/, prints what the
# studio costs while its views run, and stops.
set -euo pipefail
cd "$(dirname "$0")/.."

with_studio=1
screenshots=0
[ "${1:-}" = "--no-studio" ] && with_studio=0
[ "${1:-}" = "--screenshots" ] && screenshots=1

./scripts/install-deps.sh
build_dir=$(./scripts/build.sh | tail -n 1)
host="$build_dir/service/com/qmMicHost"
qmctl="$build_dir/tools/qmctl/qmctl"
studio="$build_dir/studio/shell/qmTonecraft"
snapshots="$build_dir/studio/panels/panel_snapshots"

state=$(mktemp -d /tmp/quillmere-demo.XXXXXX)
pids=()
sound_pid=""
stop() {
  kill -TERM "$1" 2>/dev/null || true
  for _ in $(seq 50); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -KILL "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}
cleanup() {
  trap - INT TERM EXIT
  echo
  echo "demo: stopping"
  # The studio first, then the service (it tells its clients it is going and removes the
  # microphones' sources), then the bus.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do stop "${pids[i]}"; done
  if [ -n "$sound_pid" ]; then
    stop "$sound_pid"
  else
    # Sources left behind by a service that could not end in order.
    pactl list short modules 2>/dev/null | awk '/qm_sim_/ {print $1}' |
      while read -r module; do pactl unload-module "$module" 2>/dev/null || true; done
  fi
  rm -rf "$state"
}
trap cleanup INT TERM EXIT

# The sound server: the user's, or one of the demo's own with a virtual output device.
if ! pactl info >/dev/null 2>&1; then
  export PULSE_SERVER="unix:$state/pulse.sock"
  HOME="$state" XDG_RUNTIME_DIR="$state" pulseaudio -n --daemonize=no --use-pid-file=no \
    --exit-idle-time=-1 --realtime=no --high-priority=no --log-target=stderr --log-level=error \
    --load="module-native-protocol-unix socket=$state/pulse.sock auth-anonymous=1" \
    --load="module-null-sink sink_name=qm_demo_speakers sink_properties=device.description=Demo_speakers" \
    >/dev/null 2>"$state/pulseaudio.err" &
  sound_pid=$!
  for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.05; done
  echo "demo: no sound server was running: started one at $PULSE_SERVER"
fi

# Everything the demo writes stays in its own folder.
export QM_REGISTRY_DIR="$state/registry" QM_LOG_DIR="$state/logs" QM_PROFILE_DIR="$state/profiles"
export QM_DBUS_ADDRESS="unix:path=$state/bus"

dbus-daemon --session --nofork --address="$QM_DBUS_ADDRESS" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$state/bus" ] && break; sleep 0.05; done

"$host" -Runapp --simulate Alder:SN1001,Cedar:SN1002,Larch:SN1003 --sound default \
  >"$state/qmMicHost.out" 2>&1 &
pids+=($!)
echo "demo: qmMicHost serves three virtual microphones on $QM_DBUS_ADDRESS, each with a source qm_sim_mic_<serial>"
# Ready once every microphone has been read completely.
for _ in $(seq 100); do
  listing=$("$qmctl" list 2>/dev/null) && ! grep -q starting <<<"$listing" && break
  sleep 0.1
done
"$qmctl" list

if [ $screenshots -eq 1 ]; then
  # Settings that show on the panels: two equaliser bands, the filters, the ALC, the loop gain,
  # a beam pattern.
  for setting in "EQ_POWER 0x0b" "EQ_2_BW_MODE 0x23" "EQ_2_GAIN 60" "EQ_4_BW_MODE 0x37" \
                 "EQ_4_GAIN 30" "LPF 3" "HPF_1 2" "ALC_MODE 0x25" "TPA 0xa0"; do
    # shellcheck disable=SC2086
    "$qmctl" set SN1003 $setting >/dev/null
  done
  "$qmctl" set SN1001 Beam 3 >/dev/null
  "$qmctl" set SN1001 Zoom 100 >/dev/null
  xvfb-run -a -s "-screen 0 1400x500x24" "$snapshots" docs/panels SN1003 SN1001 SN1002
  # The markers of the filters and the equaliser over the spectrum, then 30 s of every view.
  "$build_dir/tools/qmreg/qmreg" set 'HKCU\Software\QUILLMERE\qmTonecraft\Settings' \
    SpectrumLabel REG_DWORD 11 >/dev/null
  xvfb-run -a -s "-screen 0 1280x1100x24" "$build_dir/studio/audio/views/monitor_snapshots" \
    --seconds 30 docs/monitoring SN1003
  exit 0
fi

cat <<TXT

Try, in another terminal:
  export QM_DBUS_ADDRESS=$QM_DBUS_ADDRESS QM_REGISTRY_DIR=$QM_REGISTRY_DIR${PULSE_SERVER:+ PULSE_SERVER=$PULSE_SERVER}
  $qmctl show SN1002
  $qmctl set SN1002 LPF 5          # select SN1002 in the studio: the spectrum loses its top
  pactl list short sources         # the virtual microphones' sources
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
