#!/usr/bin/env python3
"""Reads the JSON of bench/extract_bench.cpp (build/bench.json by default),
prints one line per case and checks the goals:

  * every case at 16 MB costs at most 20 times its 1 MB time;
  * every case runs at 100 MB/s or more at 16 MB;
  * on the deleted-away lines at 256 KB the routines are at least 1000 times
    faster than the step-by-step algorithms of the oracle;
  * a 16 MB text goes from UTF-16 into the core and back in under 100 ms
    each way.

Uses the "min" aggregate of repeated runs where there is one. Exit status 1
when a goal is missed.
"""
import json
import sys

MB = 1 << 20


def load(path):
    with open(path) as f:
        data = json.load(f)
    runs = {}
    for b in data["benchmarks"]:
        name = b.get("run_name", b["name"])
        agg = b.get("aggregate_name")
        if agg not in (None, "min"):
            continue
        # Prefer the min aggregate over a single run.
        if agg == "min" or name not in runs:
            runs[name] = b
    return runs


def seconds(b):
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[b.get("time_unit", "ns")]
    return b["real_time"] * scale, b["cpu_time"] * scale


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else "build/bench.json"
    runs = load(path)
    ok = True
    cases = ["webpage", "noaddress", "star", "dashes", "zspace", "hyou", "https", "foreign"]
    print(f"{'case':10} {'1MB ms':>8} {'16MB ms':>8} {'ratio':>6} {'16MB MB/s':>10} {'memchr MB/s':>12}")
    for c in cases:
        small = runs.get(f"BM_Extract/{c}/{MB}")
        big = runs.get(f"BM_Extract/{c}/{16 * MB}")
        mem = runs.get(f"BM_Memchr/{c}/{16 * MB}")
        if not small or not big:
            print(f"{c:10} missing")
            ok = False
            continue
        _, t1 = seconds(small)
        _, t16 = seconds(big)
        ratio = t16 / t1
        speed = 16 * MB / t16 / 1e6
        memspeed = 16 * MB / seconds(mem)[1] / 1e6 if mem else float("nan")
        flags = []
        if ratio > 20:
            flags.append("RATIO")
        if speed < 100:
            flags.append("SLOW")
        ok = ok and not flags
        print(f"{c:10} {t1 * 1e3:8.2f} {t16 * 1e3:8.2f} {ratio:6.1f} {speed:10.0f} {memspeed:12.0f} {' '.join(flags)}")
    print()
    print(f"{'case':10} {'routines ms':>12} {'oracle ms':>10} {'speed-up':>9}")
    for c in ["star", "dashes", "zspace"]:
        fast = runs.get(f"BM_Extract/{c}/{256 * 1024}")
        slow = runs.get(f"BM_ExtractOracle/{c}/{256 * 1024}")
        if not fast or not slow:
            print(f"{c:10} missing")
            ok = False
            continue
        _, tf = seconds(fast)
        _, ts = seconds(slow)
        gain = ts / tf
        flag = "" if gain >= 1000 else "SLOW"
        ok = ok and not flag
        print(f"{c:10} {tf * 1e3:12.3f} {ts * 1e3:10.0f} {gain:9.0f} {flag}")
    print()
    print(f"{'conversion':28} {'1MB ms':>8} {'16MB ms':>8}")
    for name in ["ToCoreText/webpage", "ToCoreText/foreign", "ToCoreText/hangul",
                 "FromCoreText/webpage", "FromCoreText/foreign"]:
        small = runs.get(f"BM_{name}/{MB}")
        big = runs.get(f"BM_{name}/{16 * MB}")
        if not small or not big:
            print(f"{name:28} missing")
            ok = False
            continue
        t1, t16 = seconds(small)[1], seconds(big)[1]
        flag = "" if t16 < 0.1 else "SLOW"
        ok = ok and not flag
        print(f"{name:28} {t1 * 1e3:8.2f} {t16 * 1e3:8.2f} {flag}")
    print()
    for b in sorted(runs):
        if b.startswith("BM_SetText/"):
            _, t = seconds(runs[b])
            size = int(b.rsplit("/", 1)[1])
            print(f"{b:28} {t * 1e3:8.2f} ms {size / t / 1e6:8.0f} MB/s")
    print()
    print("goals met" if ok else "GOALS MISSED")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
