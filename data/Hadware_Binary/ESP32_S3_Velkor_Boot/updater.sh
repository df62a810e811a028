#!/bin/sh
# Writes the boot loader of a Velkor ESP32-S3 interface: the image bootloader.bin of this
# folder at flash offset 0x0. Put the device into its USB boot mode first (device finder,
# "QVX_USB_J2534_XXX"). Runs from its own folder, no arguments.
#   ESPPORT  serial port of the device (default: the first /dev/ttyUSB* or /dev/ttyACM*)
#   ESPTOOL  the flashing tool (default: esptool or esptool.py from the PATH)

image=bootloader.bin

fail() {
    echo "Update Boot: $*" >&2
    pause
    exit 1
}

# Keeps a terminal window open until the technician has read the outcome.
pause() {
    if [ -t 0 ] && [ -t 1 ] && [ -z "${VELKOR_SCRIPT_NOPAUSE:-}" ]; then
        printf 'Press Enter to close this window. '
        read -r _ || true
    fi
}

[ -s "$image" ] || fail "the boot-loader image $(pwd)/$image is missing or empty."

tool=${ESPTOOL:-}
if [ -z "$tool" ]; then
    for candidate in esptool esptool.py; do
        if command -v "$candidate" >/dev/null 2>&1; then tool=$candidate; break; fi
    done
fi
[ -n "$tool" ] || fail "esptool was not found on the PATH (install it, e.g. 'pip install esptool')."

port=${ESPPORT:-}
if [ -z "$port" ]; then
    for candidate in /dev/ttyUSB* /dev/ttyACM*; do
        if [ -e "$candidate" ]; then port=$candidate; break; fi
    done
fi
[ -n "$port" ] || fail "no serial port found: connect the device in USB boot mode or set ESPPORT."

echo "Update Boot: writing $image at 0x0 through $port ..."
"$tool" --chip esp32s3 --port "$port" write_flash 0x0 "$image"
status=$?
if [ "$status" -eq 0 ]; then
    echo "Update Boot: done. Reset the device to start the new boot loader."
else
    echo "Update Boot: $tool failed (exit code $status)." >&2
fi
pause
exit "$status"
