#!/bin/busybox sh
# /init of the 32-bit lane's initramfs (busybox only): loads the drivers for the virtio disks
# and ext4, mounts the guest's root (/dev/vda) and, when there is one, the lane's data disk
# (/dev/vdb) at /lane, and runs in the root the script named by lane.script= on the kernel's
# command line. The kernel builds these drivers as modules, so nothing could mount them sooner.
/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev

# modules.list holds the modules in load order, dependencies first.
while read -r module; do
  insmod "/lib/modules/$module"
done </modules.list

script=
for word in $(cat /proc/cmdline); do
  case "$word" in
    lane.script=*) script=${word#lane.script=} ;;
  esac
done

i=0
until [ -b /dev/vda ]; do
  i=$((i + 1))
  [ $i -lt 100 ] || break
  sleep 0.1
done
mkdir -p /newroot
if ! mount -t ext4 /dev/vda /newroot; then
  echo "LANE: the root disk did not mount"
  echo o >/proc/sysrq-trigger
fi
if [ -b /dev/vdb ]; then
  mkdir -p /newroot/lane
  mount -t ext4 /dev/vdb /newroot/lane
fi
mount --move /dev /newroot/dev
mount --move /proc /newroot/proc
mount --move /sys /newroot/sys
exec switch_root /newroot /bin/sh "$script"
