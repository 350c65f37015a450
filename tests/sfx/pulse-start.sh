#!/bin/sh
# Starts a private PulseAudio server for the sound tests: its own runtime and
# home folders in the given folder, one null sink whose monitor the tests
# record, and a socket that accepts this user's clients without a cookie.
# When no server can be started the tests that need it skip; this script
# still succeeds so that the rest of the suite runs.
set -u
mkdir -p "$1"
dir=$(cd "$1" && pwd) # the server wants absolute paths
sink=tarv_test

if [ -f "$dir/runtime/pulse/pid" ]; then
  "$(dirname "$0")/pulse-stop.sh" "$dir"
fi
rm -rf "$dir"
mkdir -p "$dir/runtime" "$dir/home"
chmod 700 "$dir/runtime"

if ! command -v pulseaudio >/dev/null 2>&1; then
  echo "pulseaudio is not installed: the sound tests will skip"
  exit 0
fi

HOME="$dir/home" XDG_RUNTIME_DIR="$dir/runtime" XDG_CONFIG_HOME="$dir/home/.config" \
  pulseaudio -n --daemonize=yes --exit-idle-time=-1 --use-pid-file=yes \
    --log-target="file:$dir/pulse.log" \
    --load="module-null-sink sink_name=$sink rate=48000 format=float32le channels=2" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$dir/runtime/native"

# A fresh, busy machine may take many seconds to start the server.
tries=0
while [ ! -S "$dir/runtime/native" ] && [ $tries -lt 600 ]; do
  sleep 0.1
  tries=$((tries + 1))
done
if [ -S "$dir/runtime/native" ]; then
  echo "private PulseAudio server on $dir/runtime/native, pid $(cat "$dir/runtime/pulse/pid" 2>/dev/null)"
else
  echo "the private PulseAudio server did not start: no socket $dir/runtime/native after 60 s; the sound tests will skip"
  cat "$dir/pulse.log" 2>/dev/null
fi
exit 0
