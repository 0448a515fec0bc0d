#!/usr/bin/env bash
# pulse_null_sink.sh -- a private PulseAudio daemon with one null sink, for
# tests and benchmarks that need a real sound server on a machine without a
# sound card. It runs as an ordinary daemon of the calling user (root too),
# reachable only through a unix socket in DIR, and is always bounded by a
# timeout that kills it.
#
#   pulse_null_sink.sh start DIR [SECONDS]  starts it (lifetime SECONDS, 600 by
#                                           default) and prints the environment
#                                           clients need, as NAME=VALUE lines
#   pulse_null_sink.sh stop DIR             stops it and removes DIR's state
#   pulse_null_sink.sh run [SECONDS] -- COMMAND...
#                                           start one in a fresh directory
#                                           under $TMPDIR, run COMMAND with that
#                                           environment, stop it (also when
#                                           interrupted); COMMAND's status
#
# The sink is "kaveld_null" and the default sink; record what it plays from
# "kaveld_null.monitor" (parec -d kaveld_null.monitor).
set -euo pipefail

usage() { echo "usage: $0 start DIR [SECONDS] | stop DIR | run [SECONDS] -- COMMAND..." >&2; exit 2; }

client_env() {
    echo "PULSE_SERVER=unix:$1/native"
    echo "PULSE_RUNTIME_PATH=$1"
    echo "PULSE_SINK=kaveld_null"
    echo "PULSE_CLIENTCONFIG=$1/client.conf"
}

start() {
    local dir=$1 seconds=${2:-600}
    mkdir -p "$dir"
    dir=$(cd "$dir" && pwd)
    chmod 700 "$dir"
    [ -e "$dir/pid" ] && { echo "pulse_null_sink: already running in $dir" >&2; return 1; }
    # Everything the daemon and its clients keep goes under DIR: no session
    # bus, no user's home, no autospawned or system-wide server.
    mkdir -p "$dir/home" "$dir/state"
    cat > "$dir/client.conf" <<CONF
autospawn = no
CONF
    (
        export HOME=$dir/home XDG_CONFIG_HOME=$dir/home XDG_RUNTIME_DIR=$dir PULSE_RUNTIME_PATH=$dir \
            PULSE_STATE_PATH=$dir/state PULSE_CLIENTCONFIG=$dir/client.conf
        unset DBUS_SESSION_BUS_ADDRESS
        exec timeout -k 5 "$seconds" pulseaudio -n --daemonize=no --use-pid-file=no --exit-idle-time=-1 \
            --disallow-exit --disable-shm=yes --log-target=file:"$dir/log" --log-level=notice \
            -L "module-null-sink sink_name=kaveld_null rate=44100 channels=2" \
            -L "module-native-protocol-unix auth-anonymous=1 socket=$dir/native"
    ) > /dev/null 2>&1 &
    echo $! > "$dir/pid"
    # Ready once a client can talk to it (10 s at most).
    for _ in $(seq 100); do
        if PULSE_SERVER=unix:$dir/native PULSE_CLIENTCONFIG=$dir/client.conf HOME=$dir/home \
            timeout -k 1 2 pactl set-default-sink kaveld_null > /dev/null 2>&1; then
            client_env "$dir"
            return 0
        fi
        alive "$(cat "$dir/pid")" || break
        sleep 0.1
    done
    echo "pulse_null_sink: the daemon did not start; its log:" >&2
    cat "$dir/log" >&2 2> /dev/null || true
    stop "$dir"
    return 1
}

# Running, not just a zombie waiting for this shell to collect it.
alive() { [ -r "/proc/$1/status" ] && ! grep -q '^State:[[:space:]]*Z' "/proc/$1/status"; }

stop() {
    local dir=$1
    [ -e "$dir/pid" ] || return 0
    local pid
    pid=$(cat "$dir/pid")
    kill "$pid" 2> /dev/null || true
    for _ in $(seq 50); do
        alive "$pid" || break
        sleep 0.1
    done
    kill -9 "$pid" 2> /dev/null || true
    wait "$pid" 2> /dev/null || true
    rm -rf "$dir/pid" "$dir/native" "$dir/home" "$dir/state" "$dir/client.conf" "$dir/log" "$dir"/pulse* \
        2> /dev/null || true
    rmdir "$dir" 2> /dev/null || true
}

# A unix socket's path must stay short: the directory comes from mktemp.
run() {
    local seconds=600 dir environment status=0
    [ $# -gt 0 ] && [ "$1" != "--" ] && { seconds=$1; shift; }
    [ "${1:-}" = "--" ] || usage
    shift
    dir=$(mktemp -d "${TMPDIR:-/tmp}/kaveld-pulse.XXXXXX")
    trap 'stop "$dir"' EXIT
    trap 'exit 143' TERM INT
    environment=$(start "$dir" "$seconds") || exit 1
    env $environment "$@" || status=$?
    exit $status
}

[ $# -ge 1 ] || usage
command=$1
shift
case $command in
    start) [ $# -ge 1 ] || usage; start "$1" "${2:-600}" ;;
    stop) [ $# -ge 1 ] || usage; stop "$1" ;;
    run) run "$@" ;;
    *) usage ;;
esac
