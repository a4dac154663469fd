#!/usr/bin/env bash
# Runs a test program against a PulseAudio server of its own: a runtime folder of its own, a
# null sink "dyd_null" (played sound is read back from its monitor) and a pipe source "dyd_mic"
# fed through the FIFO named in DYD_MIC_FIFO. The server is stopped by its process id afterwards.
# With --no-microphone first, the server has the null sink alone: no recording device at all.
set -u

microphone=1
if [ "${1:-}" = "--no-microphone" ]; then
    microphone=0
    shift
fi

if ! command -v pulseaudio >/dev/null; then
    echo "with-pulse.sh: pulseaudio is not installed (scripts/install-deps installs it)" >&2
    exit 1
fi

dir=$(mktemp -d "${TMPDIR:-/tmp}/dyd-pulse-XXXXXX")
mkdir -p "$dir/pulse" "$dir/home"
chmod 700 "$dir/pulse"
export XDG_RUNTIME_DIR="$dir"
export PULSE_RUNTIME_PATH="$dir/pulse"
export PULSE_STATE_PATH="$dir/state"
export HOME="$dir/home"
export PULSE_SERVER="unix:$dir/pulse/native"
export DYD_MIC_FIFO="$dir/mic.fifo"
source_module=(--load="module-pipe-source source_name=dyd_mic file=$DYD_MIC_FIFO format=s16le rate=44100 channels=1")
if [ "$microphone" -eq 0 ]; then
    unset DYD_MIC_FIFO
    source_module=()
fi
export DYD_NULL_SINK="dyd_null"
unset PULSE_SINK PULSE_SOURCE

pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=false \
    --log-target=file:"$dir/server.log" --log-level=warning \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$dir/pulse/native" \
    --load="module-null-sink sink_name=dyd_null rate=44100 channels=2" \
    "${source_module[@]}" </dev/null >/dev/null 2>&1 &
server=$!

stop_server() {
    kill "$server" 2>/dev/null
    for _ in $(seq 50); do
        kill -0 "$server" 2>/dev/null || break
        sleep 0.1
    done
    kill -9 "$server" 2>/dev/null
    wait "$server" 2>/dev/null
    rm -rf "$dir"
}
trap stop_server EXIT

ready=0
for _ in $(seq 100); do
    if ! kill -0 "$server" 2>/dev/null; then
        break
    fi
    if [ -S "$dir/pulse/native" ] && { [ "$microphone" -eq 0 ] || [ -p "$DYD_MIC_FIFO" ]; } &&
        pactl info >/dev/null 2>&1; then
        ready=1
        break
    fi
    sleep 0.1
done
if [ "$ready" -ne 1 ]; then
    echo "with-pulse.sh: the PulseAudio server did not start" >&2
    cat "$dir/server.log" >&2 2>/dev/null
    exit 1
fi
pactl set-default-sink dyd_null >/dev/null 2>&1
if [ "$microphone" -eq 1 ]; then
    pactl set-default-source dyd_mic >/dev/null 2>&1
fi

"$@"
