#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Starts one machine for the collection tests: a real sshd of its own on a loopback address, in
# a UTS namespace with its own host name and a mount namespace where sos writes its reports into
# the node's folder (a sos.conf of its own over the machine's). Nothing of the machine's own sshd
# or sos configuration is read or changed.
#   sshnode.sh NAME ADDRESS PORT FOLDER AUTHORIZED_KEYS [OPTION...]
# Options: --no-sos (the node's package database shows no sos), --sosreport FILE (FILE stands
# in for the node's sosreport), --sudoers FILE (the node's sudo rules).
set -e
name=$1 address=$2 port=$3 dir=$4 keys=$5
shift 5
mkdir -p "$dir/tmp" "$dir/empty"
[ -f "$dir/host_key" ] || ssh-keygen -q -t ed25519 -N '' -C "$name" -f "$dir/host_key"
cat >"$dir/sshd_config" <<CONFIG
Port $port
ListenAddress $address
HostKey $dir/host_key
PidFile none
AuthorizedKeysFile $keys
StrictModes no
PermitRootLogin prohibit-password
PasswordAuthentication no
KbdInteractiveAuthentication no
UsePAM no
Subsystem sftp /usr/lib/openssh/sftp-server
CONFIG
printf '[global]\ntmp-dir = %s\n' "$dir/tmp" >"$dir/sos.conf"
mounts="mount --bind '$dir/sos.conf' /etc/sos/sos.conf"
while [ $# -gt 0 ]; do
    case $1 in
    --no-sos) mounts="$mounts; mount --bind '$dir/empty' /var/lib/dpkg" ;;
    --sosreport) mounts="$mounts; mount --bind '$2' /usr/bin/sosreport"; shift ;;
    --sudoers) mounts="$mounts; mount --bind '$2' /etc/sudoers"; shift ;;
    esac
    shift
done
# sshd's privilege separation needs this folder; it is made only where it is missing.
[ -d /run/sshd ] || mkdir -m 0755 /run/sshd
exec unshare --uts --mount sh -c "hostname '$name'; $mounts; exec /usr/sbin/sshd -D -e -f '$dir/sshd_config'"
