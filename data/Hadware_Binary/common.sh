# Shared by the maintenance scripts of the folders beside this file: their messages, the
# pause that keeps a terminal window open, and the lookup of the flashing tool and of the
# device's serial port. Sourced, never run; the script sets script_name first.
#   ESPPORT  serial port of the device (default: the first /dev/ttyUSB* or /dev/ttyACM*)
#   ESPTOOL  the flashing tool (default: esptool or esptool.py from the PATH)

# Keeps a terminal window open until the technician has read the outcome.
pause() {
    if [ -t 0 ] && [ -t 1 ] && [ -z "${VELKOR_SCRIPT_NOPAUSE:-}" ]; then
        printf 'Press Enter to close this window. '
        read -r _ || true
    fi
}

fail() {
    echo "$script_name: $*" >&2
    pause
    exit 1
}

# Sets tool to the flashing tool, or fails.
find_esptool() {
    tool=${ESPTOOL:-}
    if [ -z "$tool" ]; then
        for candidate in esptool esptool.py; do
            if command -v "$candidate" >/dev/null 2>&1; then tool=$candidate; break; fi
        done
    fi
    [ -n "$tool" ] || fail "esptool was not found on the PATH (install it, e.g. 'pip install esptool')."
}

# Sets port to the device's serial port, or fails.
find_port() {
    port=${ESPPORT:-}
    if [ -z "$port" ]; then
        for candidate in /dev/ttyUSB* /dev/ttyACM*; do
            if [ -e "$candidate" ]; then port=$candidate; break; fi
        done
    fi
    [ -n "$port" ] || fail "no serial port found: connect the device in USB boot mode or set ESPPORT."
}

# Runs the flashing tool on the chip through the port with the given command and exits with
# its code; done_note, when set, is added to the success message.
run_esptool() {
    "$tool" --chip esp32s3 --port "$port" "$@"
    status=$?
    if [ "$status" -eq 0 ]; then
        echo "$script_name: done.${done_note:+ $done_note}"
    else
        echo "$script_name: $tool failed (exit code $status)." >&2
    fi
    pause
    exit "$status"
}
