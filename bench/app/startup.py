"""Start-up to main window shown (each program prints the monotonic clock when its window is up) and
peak memory: VTX against a minimal Qt main window, and against its own form shown without the meeting
SDK, settings, history or network (the floor VTX can reach). The programs take turns in each round,
so a busy machine weighs on every side alike; the figures are medians."""
import os
import socket
import statistics
import subprocess
import sys
import time

vtx, minimal, form = sys.argv[1], sys.argv[2], sys.argv[3]
rounds = int(os.environ.get("VTX_STARTUP_ROUNDS", "15"))
# VTX's web requests and its SDK go to a free loopback port that nothing answers, never to a
# vtx-service the user runs on the usual port.
with socket.socket() as probe:
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]
env = dict(os.environ, VTX_QUIT_WHEN_SHOWN="1", VTX_SERVICE_HOST=f"127.0.0.1:{port}",
           VTX_SDK_DOMAIN=f"https://127.0.0.1:{port}")


def run_once(exe):
    start = time.monotonic() * 1000
    proc = subprocess.Popen([exe], env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    out = proc.stdout.read().decode()
    _, status, usage = os.wait4(proc.pid, 0)
    shown = [float(line.split()[1]) for line in out.splitlines() if line.startswith("shown ")]
    if status != 0 or not shown:
        sys.exit(f"{os.path.basename(exe)} did not show its window (status {status})")
    return shown[0] - start, usage.ru_maxrss


programs = {"vtx": vtx, "minimal": minimal, "form": form}
for exe in programs.values():  # warm the caches for all
    run_once(exe)
    run_once(exe)
times = {name: [] for name in programs}
peaks = {name: [] for name in programs}
for _ in range(rounds):
    for name, exe in programs.items():
        ms, kb = run_once(exe)
        times[name].append(ms)
        peaks[name].append(kb)

ms = {name: statistics.median(values) for name, values in times.items()}
kb = {name: statistics.median(values) for name, values in peaks.items()}
for base, suffix in (("minimal", ""), ("form", "_vs_form")):
    print(f"startup_to_window_shown{suffix} {ms['vtx'] / ms[base]:.2f}x {ms['vtx']:.1f}ms {ms[base]:.1f}ms")
    print(f"startup_peak_memory{suffix} {kb['vtx'] / kb[base]:.2f}x {kb['vtx']}KB {kb[base]}KB")
