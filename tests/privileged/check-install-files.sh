#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Checks the helper's bus policy, activation file, polkit actions and systemd unit as the system
# would read them: well-formed XML (the actions also against polkit's DTD), a complete
# activation entry that names the unit, and a unit that D-Bus starts.
# check-install-files.sh BUS-POLICY ACTIVATION-FILE POLKIT-POLICY INSTALLED-HELPER SYSTEMD-UNIT
set -eu
policy=$1 service=$2 action=$3 helper=$4 unit=$5
status=0
fail() { echo "FAIL: $*" >&2; status=1; }

xmllint --noout "$policy" || fail "$policy is not well-formed"
dtd=/usr/share/polkit-1/policyconfig-1.dtd
if [ -f "$dtd" ]; then
    xmllint --noout --dtdvalid "$dtd" "$action" || fail "$action does not follow polkit's DTD"
else
    xmllint --noout "$action" || fail "$action is not well-formed"
fi
# Every action has the same defaults: no one without a session, the password otherwise.
actions=$(grep -c '<action id=' "$action")
[ "$actions" -ge 2 ] || fail "$action: reports and configuration share one action"
for default in '<allow_any>no</allow_any>' '<allow_inactive>auth_admin</allow_inactive>' \
    '<allow_active>auth_admin_keep</allow_active>'; do
    [ "$(grep -c "$default" "$action")" = "$actions" ] || fail "$action: not every $default"
done

name=$(sed -n 's/^Name=//p' "$service")
[ "$(sed -n '/^\[/p' "$service")" = "[D-BUS Service]" ] || fail "$service: one [D-BUS Service] group"
[ -n "$name" ] || fail "$service has no Name"
grep -qx "Exec=$helper" "$service" || fail "$service does not start $helper"
grep -qx 'User=root' "$service" || fail "$service does not run as root"
grep -qx "SystemdService=$(basename "$unit")" "$service" || fail "$service does not name $unit"
grep -q "<allow own=\"$name\"/>" "$policy" || fail "$policy does not let root own $name"
grep -q "<deny own=\"$name\"/>" "$policy" || fail "$policy lets others own $name"

[ "$(sed -n '/^\[/p' "$unit" | paste -s -d' ')" = "[Unit] [Service]" ] ||
    fail "$unit: [Unit] and [Service] only (D-Bus starts it; nothing enables it)"
for line in Type=dbus "BusName=$name" "ExecStart=$helper" KillMode=process; do
    grep -qx "$line" "$unit" || fail "$unit has no $line"
done
exit $status
