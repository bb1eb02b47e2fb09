#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Run by check-package.sh as root inside the clean root where the package was just installed.
# Checks the installed files, starts the system bus, and calls the helper as a user allowed
# everything, as one allowed reports only and as an unauthorised user; then removes the package
# and checks that nothing of it stays.
set -eu
fail() { echo "FAILED: $*" >&2; exit 1; }
pass() { echo "ok: $*"; }
as() { user=$1; shift; runuser -u "$user" -- "$@"; }

for file in /usr/bin/kro-sosreport /usr/libexec/kro-sosreport-helper \
    /usr/share/applications/kro-sosreport.desktop \
    /usr/share/metainfo/org.kro.sosreport.metainfo.xml \
    /usr/share/icons/hicolor/scalable/apps/kro-sosreport.svg \
    /usr/share/icons/hicolor/48x48/apps/kro-sosreport.png \
    /usr/share/kro-sosreport/debugmodules/sssd.json \
    /usr/share/kro-sosreport/help/index.html \
    /usr/share/man/man1/kro-sosreport.1.gz /usr/share/man/man8/kro-sosreport-helper.8.gz \
    /usr/share/dbus-1/system.d/org.kro.sosreport.Helper.conf \
    /usr/share/dbus-1/system-services/org.kro.sosreport.Helper.service \
    /lib/systemd/system/kro-sosreport-helper.service \
    /usr/share/polkit-1/actions/org.kro.sosreport.helper.policy; do
    [ -f "$file" ] || fail "$file is not installed"
done
grep -qx SystemdService=kro-sosreport-helper.service \
    /usr/share/dbus-1/system-services/org.kro.sosreport.Helper.service ||
    fail "the activation file does not name the systemd unit"
pass "files in their places"
recommends=$(dpkg-query -W -f='${Recommends}' kro-sosreport)
for package in qttranslations5-l10n xdg-utils; do
    echo "$recommends" | grep -qw "$package" || fail "the package does not recommend $package"
done
pass "the package recommends what it uses when present"
if ldd /usr/bin/kro-sosreport /usr/libexec/kro-sosreport-helper | grep 'not found'; then
    fail "libraries missing"
fi
command -v sosreport ccrypt zip ps >/dev/null || fail "run-time programs missing"
pass "libraries and run-time programs present"

for user in tester reporter stranger; do useradd --create-home $user; done
status=0
as tester env QT_QPA_PLATFORM=offscreen timeout 5 kro-sosreport 2>/tmp/app.log || status=$?
[ $status -eq 124 ] || fail "the application ended with status $status: $(cat /tmp/app.log)"
pass "the application starts and runs"

mkdir -p /run/dbus
dbus-daemon --system --fork
cat >/etc/polkit-1/rules.d/50-kro-check.rules <<'RULES'
polkit.addRule(function(action, subject) {
    if (action.id.indexOf("org.kro.sosreport.helper.") != 0)
        return polkit.Result.NOT_HANDLED;
    if (subject.user == "tester")
        return polkit.Result.YES;
    if (subject.user == "reporter" && action.id == "org.kro.sosreport.helper.report")
        return polkit.Result.YES;
    return polkit.Result.NOT_HANDLED;
});
RULES

uid=$(as tester kro-helper-call exec /usr/bin/id -u) || fail "the allowed user's call failed"
[ "$uid" = 0 ] || fail "the command ran as uid $uid, not as root"
pass "a command runs as root for the allowed user"

mkdir -p /srv/kro-check
printf 'old\n' >/srv/kro-check/target.conf
chown daemon:adm /srv/kro-check/target.conf
chmod 640 /srv/kro-check/target.conf
as tester sh -c 'printf "new\n" >/tmp/new.conf'
as tester kro-helper-call move /tmp/new.conf /srv/kro-check/target.conf || fail "the move failed"
[ "$(cat /srv/kro-check/target.conf)" = new ] || fail "the destination has not the new content"
owner=$(stat -c '%U:%G %a' /srv/kro-check/target.conf)
[ "$owner" = "daemon:adm 640" ] || fail "the destination became $owner"
[ ! -e /tmp/new.conf ] || fail "the source is still there"
pass "a move replaces the file and keeps its owner, group and mode"

# refused USER WHAT ARGUMENT...: the helper refuses USER's call, which changes nothing.
refused() {
    user=$1 what=$2
    shift 2
    status=0
    message=$(as "$user" kro-helper-call "$@" 2>&1) || status=$?
    [ $status -eq 1 ] || fail "$user's $what was not refused ($status: $message)"
    [ "$(cat /srv/kro-check/target.conf)" = new ] || fail "$user's $what changed the destination"
}
for user in reporter stranger; do
    as "$user" sh -c "printf 'planted\n' >/tmp/planted-$user.conf"
    refused "$user" move move "/tmp/planted-$user.conf" /srv/kro-check/target.conf
    refused "$user" command exec /usr/bin/id -u
done
pass "a user allowed reports only may neither move a file nor run a command"
refused stranger "report run" exec sosreport --list-plugins
pass "an unauthorised user is refused everything: $message"

plugins=$(as reporter kro-helper-call exec sosreport --list-plugins) ||
    fail "the report-only user could not list sosreport's plugins"
echo "$plugins" | grep -q 'plugins are currently enabled' || fail "no plugin list: $plugins"
pass "a user allowed reports only runs sosreport"

# A report root made: opened up for reading, then protected; a link named like a report is not
# followed to the file it points at.
report=/var/tmp/sosreport-check-1.tar.xz
printf 'report\n' >"$report"
chmod 600 "$report"
as reporter kro-helper-call readable "$report" || fail "the report was not made readable"
as reporter cat "$report" >/dev/null || fail "the report is not readable for its user"
! as stranger cat "$report" >/dev/null 2>&1 || fail "another user can read the report"
[ "$(stat -c %a "$report")" = 640 ] || fail "the report became $(stat -c %a "$report")"
printf 'password\n' | as reporter kro-helper-call protect "$report" || fail "no protection"
[ ! -e "$report" ] || fail "the unprotected report is still there"
[ "$(stat -c '%U %a' "$report.cpt")" = "root 640" ] || fail "the protected report changed hands"
as reporter cat "$report.cpt" >/dev/null || fail "the protected report is not readable for its user"
! as stranger cat "$report.cpt" >/dev/null 2>&1 || fail "another user can read the protected report"
printf 'password\n' >/root/key
[ "$(ccrypt -d -c -k /root/key "$report.cpt")" = report ] || fail "the report does not decrypt"
ln -s /etc/shadow /var/tmp/sosreport-check-2.tar.xz
shadow=$(stat -c %a /etc/shadow)
refused reporter "link" readable /var/tmp/sosreport-check-2.tar.xz
[ "$(stat -c %a /etc/shadow)" = "$shadow" ] || fail "a link named like a report was followed"
pass "a report is opened up for its user alone and protected; a link to another file is refused"

DEBIAN_FRONTEND=noninteractive apt-get remove -y -q -o Dpkg::Use-Pty=0 kro-sosreport >/dev/null
for file in /usr/bin/kro-sosreport /usr/libexec/kro-sosreport-helper \
    /usr/share/kro-sosreport /usr/share/dbus-1/system.d/org.kro.sosreport.Helper.conf \
    /usr/share/dbus-1/system-services/org.kro.sosreport.Helper.service \
    /lib/systemd/system/kro-sosreport-helper.service \
    /usr/share/polkit-1/actions/org.kro.sosreport.helper.policy; do
    [ ! -e "$file" ] || fail "$file stays after removal"
done
pass "removal leaves nothing of the package"
