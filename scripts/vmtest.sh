#!/usr/bin/env bash
# The real Linux serial drivers in a small QEMU machine (no KVM needed): two 16550 UARTs (8250) and
# two FTDI USB adapters (ftdi_sio on xhci), each line's far end a tarnis-emulator on a host
# pseudo-terminal. The guest mounts the host's / read-only over 9p and runs the freshly built
# tarnisctl in a chroot, so nothing is copied into the machine.
#
#   scripts/vmtest.sh setup          install QEMU and socat, fetch the kernel, busybox and udev into the
#                                    cache, build the initramfs (needs root for apt-get)
#   scripts/vmtest.sh run [build]    boot the machine and run the checks; SUITE=quick (default), full,
#                                    or unplug (only the figures of 20 unplugs during a goods read)
#
# run prints one PASS or FAIL line per check and "N passed, N failed"; exit 0 only when none failed,
# 77 when QEMU or the cache is missing. TARNIS_VM_CACHE moves the cache (default ~/.cache/tarnis-vm).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache=${TARNIS_VM_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tarnis-vm}

# Loaded in this order: each after the ones it needs.
modules=(
  drivers/virtio/virtio_ring drivers/virtio/virtio drivers/virtio/virtio_pci_modern_dev
  drivers/virtio/virtio_pci_legacy_dev drivers/virtio/virtio_pci drivers/char/virtio_console
  fs/netfs/netfs fs/fscache/fscache net/9p/9pnet net/9p/9pnet_virtio fs/9p/9p
  drivers/usb/common/usb-common drivers/usb/core/usbcore drivers/usb/host/xhci-hcd drivers/usb/host/xhci-pci
  drivers/usb/serial/usbserial drivers/usb/serial/ftdi_sio
)

setup() {
  local sudo=""
  [[ $(id -u) -eq 0 ]] || sudo=sudo
  if ! command -v qemu-system-x86_64 >/dev/null || ! command -v socat >/dev/null || ! command -v strace >/dev/null; then
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends qemu-system-x86 socat strace
  fi
  local kernel_package
  kernel_package=$(apt-cache depends linux-image-amd64 | awk '/Depends: linux-image-[0-9]/ {print $2; exit}')
  [[ -n $kernel_package ]] || { echo "vmtest: no Debian kernel package found (apt-get update?)" >&2; exit 1; }
  # udev's private library must be the one it was built with; the libraries under it are plain ones.
  local libraries
  libraries=$(apt-cache depends libsystemd-shared udev |
    awk '/Depends: lib/ && $2 !~ /^libsystemd-shared|^libudev|^</ {print $2}' | sort -u)
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $libraries >/dev/null
  local stamp
  stamp="$kernel_package $(apt-cache policy udev | awk '/Candidate/ {print $2}') $(sha256sum <"$root/tests/vm/init" | cut -c1-16)"
  if [[ -f $cache/ready && $(cat "$cache/ready") == "$stamp" ]]; then
    echo "vmtest: cache $cache is ready ($stamp)"
    return
  fi

  local work
  work=$(mktemp -d)
  (cd "$work" && apt-get download "$kernel_package" busybox-static udev libsystemd-shared 2>&1 | grep -v '^W: Download is performed unsandboxed' || true)
  rm -rf "$cache"
  mkdir -p "$cache/udev" "$work/kernel" "$work/initramfs"/{bin,lib/modules,proc,sys,dev,host}
  dpkg-deb -x "$work"/busybox-static_*.deb "$work/busybox"
  dpkg-deb -x "$work"/udev_*.deb "$cache/udev"
  dpkg-deb -x "$work"/libsystemd-shared_*.deb "$cache/udev"
  ln -s udevadm "$cache/udev/bin/systemd-udevd"  # udevadm is the daemon under that name

  local version members=()
  version=${kernel_package#linux-image-}
  for module in "${modules[@]}"; do members+=("./lib/modules/$version/kernel/$module.ko"); done
  dpkg-deb --fsys-tarfile "$work"/linux-image-*.deb |
    tar -x -C "$work/kernel" "./boot/vmlinuz-$version" "${members[@]}"
  # The uncompressed kernel boots through its PVH entry, skipping the decompressor: half the boot
  # time under TCG. The compressed payload starts at the xz magic.
  local offset
  offset=$(grep -aboF -m1 $'\xfd7zXZ' "$work/kernel/boot/vmlinuz-$version" | cut -d: -f1)
  tail -c +"$((offset + 1))" "$work/kernel/boot/vmlinuz-$version" | xz -dc -q >"$cache/vmlinux" 2>/dev/null || true
  [[ $(head -c 4 "$cache/vmlinux" | od -An -c | tr -d ' ') == 177ELF ]] ||
    { echo "vmtest: could not unpack the kernel" >&2; exit 1; }

  cp "$work/busybox/bin/busybox" "$work/initramfs/bin/busybox"
  for module in "${modules[@]}"; do
    cp "$work/kernel/lib/modules/$version/kernel/$module.ko" "$work/initramfs/lib/modules/"
    basename "$module" >>"$work/initramfs/lib/modules/order"
  done
  cp "$root/tests/vm/init" "$work/initramfs/init"
  chmod 755 "$work/initramfs/init"
  (cd "$work/initramfs" && find . | "$work/busybox/bin/busybox" cpio -o -H newc 2>/dev/null | gzip -9) >"$cache/initramfs.gz"
  echo "$stamp" >"$cache/ready"
  rm -rf "$work"
  echo "vmtest: cache $cache ready: $(du -sh "$cache" | cut -f1), initramfs $(du -h "$cache/initramfs.gz" | cut -f1)"
}

# The far end of each line: an emulator on a host pseudo-terminal, each listening at its own speed
# so that the search has something to find, and answering no faster than a real line of that speed
# would (a whole goods read then lasts long enough to unplug an adapter in the middle of it). Sets
# pty to the pseudo-terminal's path.
start_emulator() {  # name speed
  local name=$1 speed=$2
  "$build/tools/tarnis-emulator/tarnis-emulator" --port "$name" --line-speed "$speed" --baud "$speed" \
    --state "$work/$name.state" \
    >"$work/$name.out" 2>&1 &
  emulators+=($!)
  local waited=0
  until grep -q " is /dev/" "$work/$name.out" 2>/dev/null; do
    ((waited++ < 100)) || { echo "vmtest: emulator $name did not start" >&2; cat "$work/$name.out" >&2; exit 1; }
    sleep 0.05
  done
  pty=$(sed -n 's/.* is \(\/dev\/[^ ]*\) .*/\1/p' "$work/$name.out")
}

# Stops what run started and removes its folder (KEEP=1 keeps it), keeping run's exit status.
cleanup() {
  local status=$?
  for pid in "${emulators[@]}" $qemu_pid $bridge_pid; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  if [[ -n ${KEEP:-} ]]; then echo "vmtest: kept $work"; else rm -rf "$work"; fi
  exit "$status"
}

run() {
  build=$(cd "${1:-$root/build}" && pwd)
  local suite=${SUITE:-quick}
  if ! command -v qemu-system-x86_64 >/dev/null || ! command -v socat >/dev/null || [[ ! -f $cache/ready ]]; then
    echo "vmtest: QEMU, socat or the cache $cache is missing: run scripts/vmtest.sh setup first." >&2
    exit 77
  fi
  [[ -x $build/tools/tarnisctl/tarnisctl && -x $build/tools/tarnis-emulator/tarnis-emulator ]] ||
    { echo "vmtest: build tarnisctl and tarnis-emulator in $build first." >&2; exit 1; }
  work=$(mktemp -d /tmp/tarnis-vm.XXXXXX)
  mkdir "$work/results" "$work/ports"
  emulators=()
  qemu_pid= bridge_pid=
  trap cleanup EXIT
  export TARNIS_PORTS_DIR=$work/ports
  local started=$SECONDS s0 s1 u0 u1
  # The guest's COM1, COM2 (ttyS0, ttyS1) and COM33, COM34 (ttyUSB0, ttyUSB1).
  start_emulator COM1 115200; s0=$pty
  start_emulator COM2 9600; s1=$pty
  start_emulator COM33 115200; u0=$pty
  start_emulator COM34 19200; u1=$pty

  local limit=600
  [[ $suite == full ]] && limit=1500
  [[ $suite == unplug ]] && limit=600
  timeout "$limit" qemu-system-x86_64 -machine pc,accel=tcg -cpu max -m 512 -smp 1 -nodefaults -no-user-config \
    -display none -no-reboot \
    -kernel "$cache/vmlinux" -initrd "$cache/initramfs.gz" \
    -append "console=hvc0 quiet panic=-1 vmchecks=$root/tests/vm/checks.sh vmsuite=$suite vmbuild=$build vmcache=$cache" \
    -device virtio-serial-pci,id=virtio-serial \
    -chardev file,id=console,path="$work/console.log" -device virtconsole,chardev=console \
    -chardev socket,id=monitor-port,path="$work/bridge.sock",server=on,wait=off \
    -device virtserialport,chardev=monitor-port,name=monitor \
    -monitor unix:"$work/monitor.sock",server=on,wait=off \
    -fsdev local,id=hostroot,path=/,security_model=none,readonly=on,multidevs=remap \
    -device virtio-9p-pci,fsdev=hostroot,mount_tag=hostroot \
    -fsdev local,id=results,path="$work/results",security_model=none \
    -device virtio-9p-pci,fsdev=results,mount_tag=results \
    -chardev tty,id=uart0,path="$s0" -device isa-serial,chardev=uart0,index=0 \
    -chardev tty,id=uart1,path="$s1" -device isa-serial,chardev=uart1,index=1 \
    -device qemu-xhci,id=xhci \
    -chardev tty,id=usb0,path="$u0" -device usb-serial,id=ftdi0,chardev=usb0,bus=xhci.0,serial=TARNIS0 \
    -chardev tty,id=usb1,path="$u1" -device usb-serial,id=ftdi1,chardev=usb1,bus=xhci.0,serial=TARNIS1 \
    >"$work/qemu.out" 2>&1 &
  qemu_pid=$!
  # The guest drives the monitor through its "monitor" port: join the two sockets once QEMU made them.
  local waited=0
  until [[ -S $work/bridge.sock && -S $work/monitor.sock ]]; do
    ((waited++ < 200)) && kill -0 "$qemu_pid" 2>/dev/null || break
    sleep 0.05
  done
  socat UNIX-CONNECT:"$work/monitor.sock" UNIX-CONNECT:"$work/bridge.sock" 2>/dev/null &
  bridge_pid=$!

  touch "$work/results/log"
  tail -n +1 -f --pid="$qemu_pid" "$work/results/log" &
  local status=0
  wait "$qemu_pid" || status=$?
  sleep 0.2
  if [[ ! -f $work/results/exit ]]; then
    echo "FAIL machine: the checks did not finish (QEMU exit $status; 124 is the time limit of $limit s)"
    tail -n 30 "$work/console.log" "$work/qemu.out" 2>/dev/null
    echo "vmtest: $suite suite, $((SECONDS - started)) s"
    exit 1
  fi
  # The exchange logs and figures, for whoever wants them.
  [[ -n ${VM_RESULTS:-} ]] && mkdir -p "$VM_RESULTS" && cp "$work"/results/* "$VM_RESULTS"/
  echo "vmtest: $suite suite, $((SECONDS - started)) s"
  [[ $(cat "$work/results/exit") == 0 ]]
}

case ${1:-} in
  setup) setup ;;
  run) shift; run "$@" ;;
  *) echo "usage: scripts/vmtest.sh setup | run [build folder]   (SUITE=quick|full)" >&2; exit 2 ;;
esac
