#!/bin/sh
# Stops the private PulseAudio server that pulse-start.sh started, by the
# process id in its pid file.
set -u
dir=$1
pidfile="$dir/runtime/pulse/pid"
[ -f "$pidfile" ] || exit 0
pid=$(cat "$pidfile")
case "$pid" in
  ''|*[!0-9]*) exit 0 ;;
esac
kill "$pid" 2>/dev/null || exit 0
tries=0
while kill -0 "$pid" 2>/dev/null && [ $tries -lt 50 ]; do
  sleep 0.1
  tries=$((tries + 1))
done
rm -f "$pidfile"
exit 0
