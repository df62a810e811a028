#!/bin/sh
# Erases the whole flash of a Velkor ESP32-S3 interface. Put the device into its USB boot
# mode first (device finder, "QVX_USB_J2534_XXX"). No arguments; ESPPORT and ESPTOOL as
# described in ../common.sh.

script_name="Erase Flash"
here=$(cd "$(dirname "$0")" && pwd) && cd "$here" || exit 1
if [ ! -r ../common.sh ]; then
    echo "$script_name: $(dirname "$here")/common.sh is missing." >&2
    exit 1
fi
. ../common.sh

find_esptool
find_port
echo "$script_name: erasing the ESP32-S3 flash through $port ..."
run_esptool erase_flash
