#!/usr/bin/env bash
# The display of the Wine scripts: a socket and lock left by a server that is gone (a machine
# restored from a snapshot) do not count as a running display; a new Xvfb replaces them.
set -euo pipefail
source "$SETUP_SOURCE_DIR/scripts/wine-env"
n=93
socket=/tmp/.X11-unix/X$n
lock=/tmp/.X$n-lock
cleanup() {
    if [ -f "$lock" ]; then
        pid=$(tr -dc '0-9' <"$lock")
        [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ] && kill "$pid"
    fi
    rm -f "$socket" "$lock"
}
trap cleanup EXIT
cleanup
mkdir -p /tmp/.X11-unix
stale_socket() { python3 -c "import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])" "$socket"; }

fail() { echo "$1"; exit 1; }
! setup_display_alive $n || fail "no socket: taken as alive"
stale_socket
! setup_display_alive $n || fail "socket without lock: taken as alive"
echo "     999999" >"$lock"
! setup_display_alive $n || fail "lock of a process that is gone: taken as alive"
printf '%10d\n' $$ >"$lock"
! setup_display_alive $n || fail "lock of a process that is not Xvfb: taken as alive"

command -v Xvfb >/dev/null || { echo "no Xvfb here: start not tried"; exit 0; }
unset DISPLAY
SETUP_XVFB_DISPLAY=$n setup_start_display
[ "$DISPLAY" = ":$n" ] || fail "DISPLAY is '$DISPLAY'"
setup_display_alive $n || fail "no Xvfb running after the start over a stale socket"
