#!/bin/sh
# Erases the whole flash of a Velkor ESP32-S3 interface. Put the device into its USB boot
# mode first (device finder, "QVX_USB_J2534_XXX"). Runs from its own folder, no arguments.
#   ESPPORT  serial port of the device (default: the first /dev/ttyUSB* or /dev/ttyACM*)
#   ESPTOOL  the flashing tool (default: esptool or esptool.py from the PATH)

fail() {
    echo "Erase Flash: $*" >&2
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

echo "Erase Flash: erasing the ESP32-S3 flash through $port ..."
"$tool" --chip esp32s3 --port "$port" erase_flash
status=$?
if [ "$status" -eq 0 ]; then
    echo "Erase Flash: done."
else
    echo "Erase Flash: $tool failed (exit code $status)." >&2
fi
pause
exit "$status"
