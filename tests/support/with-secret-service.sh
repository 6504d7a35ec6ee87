#!/bin/sh
# Runs a test in a D-Bus session of its own and a private home, so it needs no desktop and
# never touches the user's keyring: with a Secret Service (gnome-keyring) whose login keyring
# is unlocked, or, after --none, with no Secret Service on the bus at all.
#   with-secret-service.sh [--none] TEST [ARGUMENTS...]
set -u
service=yes
if [ "${1:-}" = "--none" ]; then
    service=no
    shift
fi
for tool in dbus-daemon dbus-run-session gnome-keyring-daemon; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is missing: scripts/setup.sh installs dbus and gnome-keyring" >&2
        exit 1
    fi
done

home=$(mktemp -d) || exit 1
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/runtime"
export HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/runtime"
unset DBUS_SESSION_BUS_ADDRESS

if [ "$service" = no ]; then
    # A session bus that starts no services, so nothing answers for the Secret Service.
    cat >"$home/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$home/runtime</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
    dbus-run-session --config-file="$home/bus.conf" -- "$@"
    exit $?
fi

# The daemon reads the login keyring's password from its input, creates that keyring, unlocks
# it and goes into the background; it ends with the session bus.
dbus-run-session -- sh -c '
    printf "%s" test-keyring | gnome-keyring-daemon --unlock --components=secrets >"$HOME/keyring.log" 2>&1 ||
        { echo "gnome-keyring-daemon did not start:" >&2; cat "$HOME/keyring.log" >&2; exit 1; }
    exec "$@"' sh "$@"
