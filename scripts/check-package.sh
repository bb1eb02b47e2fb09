#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Proves that the Debian package works on a clean Debian 12: builds it, installs it with apt
# into a fresh root made by debootstrap (build-root/), starts a system bus there, and calls the
# installed helper as ordinary users through the same client class the application uses.
# Needs root and access to a Debian mirror (KRO_DEBIAN_MIRROR, default deb.debian.org).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
root="$top/build-root"
mirror=${KRO_DEBIAN_MIRROR:-http://deb.debian.org/debian}

# Exit status 77 tells a caller that the check could not run here, as opposed to failing.
if [ "$(id -u)" -ne 0 ]; then
    echo "check-package.sh must run as root (debootstrap, chroot)" >&2
    exit 77
fi
probe=$(mktemp -d)
if ! mount -t proc proc "$probe" 2>/dev/null; then
    rmdir "$probe"
    echo "This machine does not let the check mount /proc for the root it makes." >&2
    exit 77
fi
umount "$probe"
rmdir "$probe"

# Stops whatever still runs inside the root, then unmounts what is mounted in it (our /proc,
# and whatever a killed debootstrap left); nothing of it outlives the check.
root_pids() {
    for proc in /proc/[0-9]*; do
        if [ "$(readlink "$proc/root" 2>/dev/null)" = "$root" ]; then echo "${proc#/proc/}"; fi
    done
}
root_mounts() {
    findmnt -rn -o TARGET | grep -F "$root/" | sort -r
}
step=""
stop_root() {
    [ -z "$step" ] || kill "$step" 2>/dev/null || true
    pids=$(root_pids)
    # shellcheck disable=SC2086
    [ -z "$pids" ] || kill $pids 2>/dev/null || true
    tries=0
    while [ -n "$(root_pids)" ] && [ $tries -lt 50 ]; do
        sleep 0.1
        tries=$((tries + 1))
    done
    for mount in $(root_mounts); do umount "$mount"; done
}
# A signal ends the check as it would end any command (status 128 + signal number), after the
# cleanup on EXIT. The shell only acts on a signal once the command it waits for has ended, so
# the long steps run in the background while the shell waits for them (run_step).
trap stop_root EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
# The background step reads /dev/null: what it reads must be named in its arguments.
run_step() {
    "$@" &
    step=$!
    step_status=0
    wait "$step" || step_status=$?
    step=""
    return $step_status
}

"$top/scripts/install-deps.sh" debootstrap
package=$("$top/scripts/build-package.sh" | tail -n 1)
KRO_BUILD_TARGET=kro-helper-call "$top/scripts/build.sh" "$top/build-tests" >/dev/null

echo "== Making a clean Debian 12 root in $root"
if [ -d "$root" ]; then
    stop_root
    rm -rf --one-file-system "$root"
fi
log="$top/build-package/debootstrap.log"
run_step debootstrap --variant=minbase bookworm "$root" "$mirror" >"$log" 2>&1 ||
    { tail -n 20 "$log" >&2; exit 1; }
mount -t proc proc "$root/proc"
cp /etc/resolv.conf "$root/etc/resolv.conf"
# Packages must not try to start their services in the root; the check starts what it needs.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod 755 "$root/usr/sbin/policy-rc.d"
cp "$package" "$root/tmp/"
cp "$top/build-tests/tests/package/kro-helper-call" "$root/usr/local/bin/"
cp "$top/scripts/check-installed.sh" "$root/tmp/"

echo "== Installing $(basename "$package") with apt"
log="$top/build-package/apt.log"
run_step chroot "$root" sh -c "apt-get update -q >/dev/null && DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q -o Dpkg::Use-Pty=0 /tmp/$(basename "$package")" >"$log" 2>&1 ||
    { tail -n 20 "$log" >&2; exit 1; }

echo "== Checking the installed package"
run_step chroot "$root" /bin/sh /tmp/check-installed.sh
# The root is kept only when the check fails, for a look at what went wrong.
stop_root
rm -rf --one-file-system "$root"
echo "Package check passed: $package"
