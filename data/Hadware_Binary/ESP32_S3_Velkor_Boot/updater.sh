#!/bin/sh
# Writes the boot loader of a Velkor ESP32-S3 interface: the image bootloader.bin of this
# folder at flash offset 0x0. Put the device into its USB boot mode first (device finder,
# "QVX_USB_J2534_XXX"). No arguments; ESPPORT and ESPTOOL as described in ../common.sh.

script_name="Update Boot"
here=$(cd "$(dirname "$0")" && pwd) && cd "$here" || exit 1
if [ ! -r ../common.sh ]; then
    echo "$script_name: $(dirname "$here")/common.sh is missing." >&2
    exit 1
fi
. ../common.sh

image=bootloader.bin
[ -s "$image" ] || fail "the boot-loader image $here/$image is missing or empty."
find_esptool
find_port
echo "$script_name: writing $image at 0x0 through $port ..."
done_note="Reset the device to start the new boot loader."
run_esptool write_flash 0x0 "$image"
