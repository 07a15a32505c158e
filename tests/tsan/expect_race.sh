#!/bin/sh
# Runs tsan_canary and fails unless ThreadSanitizer reported its race: the report must be there, name the
# canary's read, and the exit status must be ThreadSanitizer's (66), not a clean exit or some other failure.
# Usage: expect_race.sh PATH/TO/tsan_canary
set -u
canary=${1:?usage: expect_race.sh PATH/TO/tsan_canary}
if [ ! -x "$canary" ]; then
    echo "expect_race.sh: $canary is missing; the tsan preset builds it" >&2
    exit 1
fi
out=$(QT_QPA_PLATFORM=offscreen "$canary" 2>&1)
status=$?
if [ "$status" -eq 66 ] && printf '%s\n' "$out" | grep -q 'WARNING: ThreadSanitizer: data race' &&
    printf '%s\n' "$out" | grep -q 'ReadFromTimer'; then
    echo "tsan_canary: ThreadSanitizer reported the deliberate race, as it must"
    exit 0
fi
printf '%s\n' "$out"
echo "tsan_canary: exit status $status; ThreadSanitizer did not report the deliberate race between a worker" \
    "thread and a Qt timer. Something (TSAN_OPTIONS, a suppression) blinds it to races under Qt's event" \
    "dispatch." >&2
exit 1
