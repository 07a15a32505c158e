#!/usr/bin/env python3
"""Time to first paint and peak memory of the two programs against an empty Qt window.

Run under an X server (bench/window_start.sh starts Xvfb). Each round starts every program once, in turn, so
that a busy machine weighs on all of them alike; every start gets a fresh, empty home folder, so that each is
a first start. The time runs from launching the process to its "first-paint" line (see host/FirstPaintProbe.h);
the processor time (user + system) is the process's own up to that line, which a busy machine disturbs far
less than the wall clock; the memory is the peak resident set the kernel reports for the ended process.

    window_start.py [--runs N] NAME=PROGRAM[,ARGUMENT] ...      (the first program is the baseline)
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time


def start_once(command):
    with tempfile.TemporaryDirectory() as home:
        env = dict(os.environ, GAMBITRON_FIRST_PAINT="1", HOME=home, XDG_CONFIG_HOME=home,
                   QT_QPA_PLATFORM="xcb")
        began = time.monotonic()
        process = subprocess.Popen(command.split(","), stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=env)
        line = process.stdout.readline()
        elapsed = time.monotonic() - began
        _, status, usage = os.wait4(process.pid, 0)
        process.stdout.close()
        if line.strip() != b"first-paint" or status != 0:
            sys.exit(f"{command} did not report its first paint (status {status})")
        return elapsed * 1000.0, (usage.ru_utime + usage.ru_stime) * 1000.0, usage.ru_maxrss / 1024.0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--runs", type=int, default=20)
    parser.add_argument("programs", nargs="+", metavar="NAME=PROGRAM")
    args = parser.parse_args()
    programs = [p.split("=", 1) for p in args.programs]
    times = {name: [] for name, _ in programs}
    cpu = {name: [] for name, _ in programs}
    memory = {name: [] for name, _ in programs}
    for name, program in programs:  # one unmeasured start each, to fill the file cache
        start_once(program)
    for _ in range(args.runs):
        for name, program in programs:
            ms, cpu_ms, mb = start_once(program)
            times[name].append(ms)
            cpu[name].append(cpu_ms)
            memory[name].append(mb)
    base = programs[0][0]
    base_ms = statistics.median(times[base])
    base_cpu = statistics.median(cpu[base])
    base_mb = statistics.median(memory[base])
    print(f"{'program':<16} {'median ms':>10} {'min ms':>8} {'x base':>7} {'cpu ms':>8} {'x base':>7} "
          f"{'peak MB':>8} {'+MB':>6}")
    for name, _ in programs:
        ms = statistics.median(times[name])
        cpu_ms = statistics.median(cpu[name])
        mb = statistics.median(memory[name])
        print(f"{name:<16} {ms:>10.1f} {min(times[name]):>8.1f} {ms / base_ms:>7.2f} {cpu_ms:>8.1f} "
              f"{cpu_ms / base_cpu:>7.2f} {mb:>8.1f} {mb - base_mb:>6.1f}")


if __name__ == "__main__":
    main()
