#!/bin/sh
# Stops the private PulseAudio server that pulse-start.sh started, by the
# process id in its pid file, and removes its folder.
set -u
dir=$1
pidfile="$dir/runtime/pulse/pid"
pid=$(cat "$pidfile" 2>/dev/null || true)
case "$pid" in
  ''|*[!0-9]*) ;;
  *)
    if kill "$pid" 2>/dev/null; then
      tries=0
      while kill -0 "$pid" 2>/dev/null && [ $tries -lt 50 ]; do
        sleep 0.1
        tries=$((tries + 1))
      done
    fi
    ;;
esac
rm -rf "$dir"
exit 0
