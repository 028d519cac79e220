#!/bin/sh
# Runs once as the guest's first process while the 32-bit lane's guest is built: installs the
# packages that debootstrap only unpacked (its second stage must run on the i386 system itself),
# then powers off. The host reads "LANE-SETUP-OK" on the serial console when it went well.
set -eu
export PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8
power_off() {
  sync
  # debootstrap unmounts /proc when it ends.
  [ -e /proc/sysrq-trigger ] || mount -t proc proc /proc
  echo o >/proc/sysrq-trigger
  sleep 60
}
trap power_off EXIT
mount -t tmpfs tmp /tmp
/debootstrap/debootstrap --second-stage
echo tavrik-lane >/etc/hostname
apt-get clean
rm -rf /var/lib/apt/lists/*
umount /tmp
sync
echo "LANE-SETUP-OK"
