#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Runs a command against a private system-type D-Bus bus that has a polkit stand-in and
# the privileged helper from the build tree (started on first call), then tears it all down.
# Nothing is installed: the helper runs with the rights of whoever runs this script.
#
# with-private-bus.sh [--helper PATH | --no-helper] [--stand-ins DIR] [--sos-config]
#                     [--allow | --deny] -- COMMAND [ARGUMENT...]
#   --helper PATH    helper executable (default: KRO_BUILD_DIR or ./build, platform/helper/)
#   --no-helper      the helper is not reachable on the bus
#   --stand-ins DIR  folder the helper searches for programs before the system folders
#   --sos-config     the helper reads a sos.conf of the bus's own (tmp-dir: a folder of the bus)
#                    instead of /etc/sos/sos.conf; KRO_SOS_CONFIG names it to the command
#   --allow/--deny   whether the polkit stand-in grants every action of the helper's policy file
#                    (default: --allow)
# Exits with the command's exit status.
set -eu

usage() {
    sed -n 's/^#   \{0,1\}//p' "$0" | sed -n '/^with-private-bus/,/^Exits/p' >&2
    exit 2
}

helper="${KRO_BUILD_DIR:-$PWD/build}/platform/helper/kro-sosreport-helper"
stand_ins=""
sos_config=0
allow=1
with_helper=1
while [ $# -gt 0 ]; do
    case "$1" in
        --helper) [ $# -ge 2 ] || usage; helper=$2; shift 2 ;;
        --no-helper) with_helper=0; shift ;;
        --stand-ins) [ $# -ge 2 ] || usage; stand_ins=$2; shift 2 ;;
        --sos-config) sos_config=1; shift ;;
        --allow) allow=1; shift ;;
        --deny) allow=0; shift ;;
        --) shift; break ;;
        *) usage ;;
    esac
done
[ $# -gt 0 ] || usage

[ -x "$helper" ] || { echo "with-private-bus.sh: no helper at $helper" >&2; exit 2; }
helper=$(cd "$(dirname "$helper")" && pwd)/$(basename "$helper")
helper_dir=$(dirname "$helper")
if [ -n "$stand_ins" ]; then
    stand_ins=$(cd "$stand_ins" && pwd)
fi
# The names are read from the files built beside the helper, so they always match its build.
service=$(sed -n 's/^Name=//p' "$helper_dir"/*.service | head -n 1)
# Every action of the policy file, as a GVariant string array: ['first','second'].
actions=$(sed -n "s/.*<action id=\"\([^\"]*\)\".*/'\1'/p" "$helper_dir"/*.policy | paste -s -d,)

work=$(mktemp -d "${TMPDIR:-/tmp}/kro-bus.XXXXXX")
# Other local users may reach the bus too: tests play more than one user against the helper.
chmod 755 "$work"
daemon=""
polkit=""
cleanup() {
    trap - EXIT INT TERM
    if [ -n "$daemon" ]; then
        helper_pid=$(gdbus call --system -d org.freedesktop.DBus -o /org/freedesktop/DBus \
            -m org.freedesktop.DBus.GetConnectionUnixProcessID "$service" 2>/dev/null |
            sed -n 's/^(uint32 \([0-9]*\),)$/\1/p') || true
        [ -n "$helper_pid" ] && kill "$helper_pid" 2>/dev/null
        [ -n "$polkit" ] && kill "$polkit" 2>/dev/null
        kill "$daemon" 2>/dev/null
        wait 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkdir "$work/services" "$work/system.d"
address="unix:path=$work/bus"
cat >"$work/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
  "https://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>$address</listen>
  <auth>EXTERNAL</auth>
  <servicedir>$work/services</servicedir>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
  </policy>
  <includedir>$work/system.d</includedir>
</busconfig>
CONF
# The installed bus policy only lets root own the helper's name; it applies when root runs us.
if [ "$(id -u)" -eq 0 ]; then
    cp "$helper_dir/$service.conf" "$work/system.d/"
fi
if [ "$with_helper" -eq 1 ]; then
    # Report runs keep their output in the bus's own folder, not in /run.
    helper_options="--state-dir $work/helper-state"
    [ -n "$stand_ins" ] && helper_options="$helper_options --stand-ins $stand_ins"
    if [ "$sos_config" -eq 1 ]; then
        mkdir "$work/sos-reports"
        printf '[global]\ntmp-dir = %s\n' "$work/sos-reports" >"$work/sos.conf"
        helper_options="$helper_options --sos-config $work/sos.conf"
        export KRO_SOS_CONFIG="$work/sos.conf"
    fi
    cat >"$work/services/$service.service" <<SERVICE
[D-BUS Service]
Name=$service
Exec=/usr/bin/env DBUS_SYSTEM_BUS_ADDRESS=$address $helper $helper_options
SERVICE
fi

export DBUS_SYSTEM_BUS_ADDRESS="$address"
dbus-daemon --config-file="$work/bus.conf" --nofork --nopidfile --nosyslog &
daemon=$!
for _ in $(seq 100); do
    [ -S "$work/bus" ] && break
    sleep 0.05
done

standin="$(cd "$(dirname "$0")/.." && pwd)/tests/support/polkitd_standin.py"
/usr/bin/python3 -m dbusmock --system --template "$standin" >"$work/polkit.log" 2>&1 &
polkit=$!
if ! gdbus wait --system --timeout 10 org.freedesktop.PolicyKit1; then
    echo "with-private-bus.sh: the mock polkit did not start:" >&2
    cat "$work/polkit.log" >&2
    exit 2
fi
if [ "$allow" -eq 1 ]; then
    gdbus call --system -d org.freedesktop.PolicyKit1 -o /org/freedesktop/PolicyKit1/Authority \
        -m org.freedesktop.DBus.Mock.SetAllowed "[$actions]" >/dev/null
fi

status=0
"$@" || status=$?
exit "$status"
