#!/usr/bin/env python3
"""Start-up benchmark: the program against a bare Qt Widgets window.

    scripts/startup-bench.py [--build BUILD_DIR] [--runs N] [--platform NAME]
                             [--program PATH]

Starts the built program (BUILD_DIR/zeltrak) and the bare window built by the
same CMake (BUILD_DIR/bench/startup/bench_bare_window) N times each, in pairs
(bare, program, bare, program, ...), so that the load of a shared machine
falls on both alike. Each run is the whole process, from exec until the main
window has painted for the first time and the program has exited; both honour
ZELTRAK_QUIT_AFTER_FIRST_PAINT. Prints the median wall time, CPU time (user
and system, which a loaded machine disturbs less than the wall time) and peak
resident memory of each, their ratios, and the load average seen.

The program runs from a copy in a temporary folder with its own settings and
data folders, so nothing of the user's is read or written. Its settings say
it has been started a hundred times (no splash, no reminder) with the demo
database, so every measured run is an ordinary start; each run counts its
launch on from there.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

QUIT_VARIABLE = "ZELTRAK_QUIT_AFTER_FIRST_PAINT"
# A run that has not ended by then waits for a click (a message box the
# prepared settings did not foresee): the measurement is void.
RUN_TIMEOUT_SECONDS = 30


def settings_text(database):
    # Launch 101 and on: past the first run's splash, and no reminder (those
    # come at launches 10, 20, ..., 50). The recent list already holds the
    # database, as after any earlier start with it.
    return (
        "[General]\n"
        f"Bas={database}\n"
        "Kol=100\n"
        f"Ned={database}\n"
        "Rnd=1\n"
        "Sta=1\n"
        "Tim=4\n"
    )


def run_once(argv, env, cwd):
    """Wall seconds, CPU seconds (user and system) and peak resident KiB of
    one whole run."""
    start = time.perf_counter()
    process = subprocess.Popen(
        argv, env=env, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE
    )
    deadline = start + RUN_TIMEOUT_SECONDS
    while True:
        pid, status, usage = os.wait4(process.pid, os.WNOHANG)
        if pid != 0:
            break
        if time.perf_counter() > deadline:
            process.kill()
            os.wait4(process.pid, 0)
            sys.exit(f"{argv[0]} did not end within {RUN_TIMEOUT_SECONDS} s")
        time.sleep(0.0005)
    elapsed = time.perf_counter() - start
    process.returncode = os.waitstatus_to_exitcode(status)
    errors = process.stderr.read().decode(errors="replace")
    process.stderr.close()
    if process.returncode != 0:
        sys.exit(f"{argv[0]} ended with {process.returncode}:\n{errors}")
    # ru_maxrss is in KiB on Linux.
    return elapsed, usage.ru_utime + usage.ru_stime, usage.ru_maxrss


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(here, "..", "build"))
    parser.add_argument("--runs", type=int, default=20, help="pairs to measure")
    parser.add_argument("--warm-up", type=int, default=2, help="pairs run first, not counted")
    parser.add_argument("--platform", default="offscreen", help="QT_QPA_PLATFORM of the runs")
    parser.add_argument("--program", help="another build of the program to measure (of an earlier "
                        "commit that honours the variable); the bare window and the database "
                        "stay this build's")
    args = parser.parse_args()

    build = os.path.abspath(args.build)
    program = os.path.abspath(args.program) if args.program else os.path.join(build, "zeltrak")
    bare = os.path.join(build, "bench", "startup", "bench_bare_window")
    database = os.path.join(build, "dataAB.dbv")
    for needed in (program, bare, database):
        if not os.path.exists(needed):
            sys.exit(f"missing {needed}: build the targets zeltrak, bench_bare_window "
                     "and demodatabase first")

    with tempfile.TemporaryDirectory(prefix="zeltrak-startup-") as work:
        folder = os.path.join(work, "program")
        os.makedirs(folder)
        shutil.copy2(program, os.path.join(folder, "zeltrak"))
        copied_database = shutil.copy2(database, folder)
        topics = os.path.join(build, "dataAB.topics.json")
        if os.path.exists(topics):
            shutil.copy2(topics, folder)
        config = os.path.join(work, "config")
        settings = os.path.join(config, "Microsoft", "Kiv.conf")
        os.makedirs(os.path.dirname(settings))

        env = dict(os.environ)
        env.update({
            QUIT_VARIABLE: "1",
            "QT_QPA_PLATFORM": args.platform,
            "XDG_CONFIG_HOME": config,
            "XDG_DATA_HOME": os.path.join(work, "data"),
            "XDG_CACHE_HOME": os.path.join(work, "cache"),
            "XDG_RUNTIME_DIR": work,
        })
        program_argv = [os.path.join(folder, "zeltrak")]

        # Written once: each run counts its launch on, as a real start does,
        # and finds the file as the run before left it.
        with open(settings, "w", encoding="utf-8") as f:
            f.write(settings_text(copied_database))

        def program_run():
            return run_once(program_argv, env, folder)

        def bare_run():
            return run_once([bare], env, work)

        for _ in range(args.warm_up):
            bare_run()
            program_run()
        load_before = os.getloadavg()
        bare_times, bare_memory, program_times, program_memory, ratios = [], [], [], [], []
        bare_cpu, program_cpu = [], []
        for _ in range(args.runs):
            t, c, m = bare_run()
            bare_times.append(t)
            bare_cpu.append(c)
            bare_memory.append(m)
            u, d, n = program_run()
            program_times.append(u)
            program_cpu.append(d)
            program_memory.append(n)
            ratios.append(u / t)
        load_after = os.getloadavg()

    median = statistics.median
    bare_ms, program_ms = median(bare_times) * 1000, median(program_times) * 1000
    print(f"{args.runs} paired runs, QT_QPA_PLATFORM={args.platform}, "
          f"load average {load_before[0]:.2f} before, {load_after[0]:.2f} after, "
          f"{os.cpu_count()} cores")
    bare_cpu_ms, program_cpu_ms = median(bare_cpu) * 1000, median(program_cpu) * 1000
    print(f"bare window   median {bare_ms:7.1f} ms  CPU {bare_cpu_ms:6.1f} ms  "
          f"peak RSS {median(bare_memory) / 1024:6.1f} MiB")
    print(f"zeltrak       median {program_ms:7.1f} ms  CPU {program_cpu_ms:6.1f} ms  peak RSS "
          f"{median(program_memory) / 1024:6.1f} MiB (largest {max(program_memory) / 1024:.1f})")
    print(f"ratio of medians {program_ms / bare_ms:.2f}, median of paired ratios "
          f"{median(ratios):.2f}, ratio of CPU medians {program_cpu_ms / bare_cpu_ms:.2f}")


if __name__ == "__main__":
    main()
