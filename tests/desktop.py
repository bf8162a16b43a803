#!/usr/bin/env python3
"""Keeps a program on Wine's desktop for a whole CTest run (`ixoctl desktop
wait`): Wine's desktop process, and with it the bridge to the X clipboard,
would otherwise end a second after each test program and start again with
the next, each start costing seconds and taking the X clipboard over once
more, maybe just after the test had put its own text on the clipboard.

    python3 tests/desktop.py up|down BUILD_DIR
"""
import os
import subprocess
import sys


def main():
    what, build = sys.argv[1], os.path.abspath(sys.argv[2])
    ctl = os.path.join(build, "ixoctl.exe")
    if what == "down":
        return subprocess.run(["wine", ctl, "desktop", "stop"], stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=120).returncode
    # It stays behind when this script ends; Wine's server ends it at the
    # latest with the run.
    keeper = subprocess.Popen(["wine", ctl, "desktop", "wait"], stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                              start_new_session=True)
    said = keeper.stdout.readline()
    print(said.decode("ascii", "replace").strip())
    return 0 if said.startswith(b"ready") else 1


if __name__ == "__main__":
    sys.exit(main())
