#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Run by check-package.sh as root inside the clean root where the package was just installed.
# Checks the installed files, starts the system bus, and calls the helper as an allowed and as
# an unauthorised user; then removes the package and checks that nothing of it stays.
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
    /usr/share/polkit-1/actions/org.kro.sosreport.helper.exec.policy; do
    [ -f "$file" ] || fail "$file is not installed"
done
pass "files in their places"
if ldd /usr/bin/kro-sosreport /usr/libexec/kro-sosreport-helper | grep 'not found'; then
    fail "libraries missing"
fi
command -v sosreport ccrypt ps >/dev/null || fail "run-time programs missing"
pass "libraries and run-time programs present"

useradd --create-home tester
useradd --create-home stranger
status=0
as tester env QT_QPA_PLATFORM=offscreen timeout 5 kro-sosreport 2>/tmp/app.log || status=$?
[ $status -eq 124 ] || fail "the application ended with status $status: $(cat /tmp/app.log)"
pass "the application starts and runs"

mkdir -p /run/dbus
dbus-daemon --system --fork
cat >/etc/polkit-1/rules.d/50-kro-check.rules <<'RULES'
polkit.addRule(function(action, subject) {
    if (action.id == "org.kro.sosreport.helper.exec" && subject.user == "tester")
        return polkit.Result.YES;
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

status=0
message=$(as stranger kro-helper-call exec /usr/bin/id -u 2>&1) || status=$?
[ $status -eq 1 ] || fail "the unauthorised user's command was not refused ($status: $message)"
as stranger sh -c 'printf "planted\n" >/tmp/planted.conf'
status=0
as stranger kro-helper-call move /tmp/planted.conf /srv/kro-check/target.conf 2>/dev/null ||
    status=$?
[ $status -eq 1 ] && [ "$(cat /srv/kro-check/target.conf)" = new ] ||
    fail "the unauthorised user's move was not refused"
pass "an unauthorised user is refused: $message"

DEBIAN_FRONTEND=noninteractive apt-get remove -y -q -o Dpkg::Use-Pty=0 kro-sosreport >/dev/null
for file in /usr/bin/kro-sosreport /usr/libexec/kro-sosreport-helper \
    /usr/share/kro-sosreport /usr/share/dbus-1/system.d/org.kro.sosreport.Helper.conf \
    /usr/share/polkit-1/actions/org.kro.sosreport.helper.exec.policy; do
    [ ! -e "$file" ] || fail "$file stays after removal"
done
pass "removal leaves nothing of the package"
