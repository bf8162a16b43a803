#!/usr/bin/env python3
"""A fresh Wine prefix made by tools/winenv.sh maps the program's Japanese
fonts to fonts with their character widths (without them Wine draws the
labels wider and cuts them), and winenv.sh marks the prefix as done only
then.

    python3 tests/fonts_test.py WORK_DIR

Makes WORK_DIR/prefix anew (about 15 seconds) and reads the mapping back
with `wine reg query`. Exit status 1 on any failure.
"""
import os
import shutil
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
KEY = r"HKCU\Software\Wine\Fonts\Replacements"
# The faces the program asks for, and what each must be drawn with.
MAPPING = {
    "MS UI Gothic": "Ume UI Gothic",
    "ＭＳ Ｐゴシック": "Ume P Gothic",
    "MS PGothic": "Ume P Gothic",
    "ＭＳ ゴシック": "IPAGothic",
    "MS Gothic": "IPAGothic",
}


def main():
    work = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/fonts-test")
    prefix = os.path.join(work, "prefix")
    shutil.rmtree(prefix, ignore_errors=True)
    os.makedirs(work, exist_ok=True)
    env = dict(os.environ, IXO_WINEPREFIX=prefix)
    # winenv.sh may run inside another winenv.sh (under CTest): it makes a
    # display and a server of its own for the new prefix.
    env.pop("WINEPREFIX", None)
    run = subprocess.run([os.path.join(ROOT, "tools", "winenv.sh"), "wine", "reg", "query", KEY],
                         env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                         stderr=subprocess.PIPE, timeout=240)
    # reg.exe writes in the ANSI code page when its output is not a console.
    out = run.stdout.decode("cp932", "replace")
    err = run.stderr.decode("utf-8", "replace")
    found = {}
    for line in out.splitlines():
        parts = line.strip().split("    ")
        if len(parts) == 3 and parts[1] == "REG_SZ":
            found[parts[0]] = parts[2]
    failures = []
    if run.returncode != 0:
        failures.append("winenv.sh or reg query failed (%d)" % run.returncode)
    for face, font in MAPPING.items():
        if found.get(face) != font:
            failures.append("%s is drawn with %s, not %s" % (face, found.get(face), font))
    if "winenv.sh:" in err:
        failures.append("winenv.sh complained: " + err.strip())
    if not os.path.exists(os.path.join(prefix, ".ixo-fonts")):
        failures.append("the prefix is not marked as done")
    for f in failures:
        print("FAILED:", f)
    if not failures:
        print("the fresh prefix maps %d faces" % len(MAPPING))
    shutil.rmtree(prefix, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
