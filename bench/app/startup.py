"""Start-up to main window shown (both programs print the monotonic clock when their window is up),
and peak memory: VTX against a minimal Qt main window."""
import os
import statistics
import subprocess
import sys
import time

vtx, minimal = sys.argv[1], sys.argv[2]
env = dict(os.environ, VTX_QUIT_WHEN_SHOWN="1")


def run(exe, rounds=15):
    times, peaks = [], []
    for _ in range(rounds):
        start = time.monotonic() * 1000
        proc = subprocess.Popen([exe], env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        out = proc.stdout.read().decode()
        _, status, usage = os.wait4(proc.pid, 0)
        shown = [float(line.split()[1]) for line in out.splitlines() if line.startswith("shown ")]
        if shown:
            times.append(shown[0] - start)
        peaks.append(usage.ru_maxrss)
    return statistics.median(times), statistics.median(peaks)


run(minimal, 2)  # warm the caches for both
run(vtx, 2)
vtx_ms, vtx_kb = run(vtx)
base_ms, base_kb = run(minimal)
print(f"startup_to_window_shown {vtx_ms / base_ms:.2f}x {vtx_ms:.1f}ms {base_ms:.1f}ms")
print(f"startup_peak_memory {vtx_kb / base_kb:.2f}x {vtx_kb}KB {base_kb}KB")
