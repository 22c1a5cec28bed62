"""Turns a Google Benchmark JSON report into ratio lines: name ratio measured baseline."""
import json
import re
import sys

report = json.load(open(sys.argv[1]))
times = {}
for b in report.get("benchmarks", []):
    if b.get("run_type") == "aggregate":
        continue
    # Options Google Benchmark appends to a name ("/iterations:1/manual_time") are not part of it.
    name = re.split(r"/(?:min_time|iterations|repeats|manual_time|real_time)", b["name"])[0]
    times[name] = b["real_time"], b.get("time_unit", "ns")
for name, (value, unit) in sorted(times.items()):
    if not name.endswith("/measured"):
        continue
    figure = name[: -len("/measured")]
    base = times.get(figure + "/baseline")
    if base:
        print(f"{figure} {value / base[0]:.2f}x {value:.3g}{unit} {base[0]:.3g}{base[1]}")
