#!/bin/sh
# The notification example on a test bus with a stand-in notification
# service, on one without it, and with no bus at all. Only standard output
# is compared: the test bus, and the sanitizers, write notes on standard error.
#   notify_example_test.sh KESTREL EXAMPLE BUS_DIR
kestrel=$1
example=$2
bus_dir=$3
fail() { echo "FAIL: $*"; exit 1; }
QT_QPA_PLATFORM=offscreen
export QT_QPA_PLATFORM

out=$(dbus-run-session --config-file="$bus_dir/bus-notify.conf" -- "$kestrel" run "$example" "Tea" "is ready" 2>/dev/null) ||
  fail "with a notification service: $out"
[ "$out" = "Notification 1 shown by Test notices: Tea" ] || fail "with a notification service: $out"

out=$(dbus-run-session --config-file="$bus_dir/bus.conf" -- "$kestrel" run "$example" 2>/dev/null) ||
  fail "without a notification service: $out"
case $out in "No notification service on the session bus"*) ;; *) fail "without a notification service: $out" ;; esac

out=$(DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/bus "$kestrel" run "$example" 2>/dev/null) || fail "without a bus: $out"
case $out in "No notification service on the session bus"*) ;; *) fail "without a bus: $out" ;; esac
exit 0
