#!/usr/bin/env python3
"""Configures the project into a scratch folder without naming a build type, as a user who just
runs cmake would, with the toolchain and dependencies of the given build, and checks that it is a
release whose programs are stripped as they are linked. scripts/test always names Release, so only
this sees the default.
    check_default_build.py cmake SOURCE_FOLDER BUILD_FOLDER
"""

import os
import re
import shlex
import subprocess
import sys
import tempfile
from pathlib import Path

from check_binaries import report

# (target's folder in the build, its file): the shipped programs.
PROGRAMS = [("launcher", "Tarnwick.exe"), ("hardware-mode-notice", "Ostrevan.exe")]


def cache(build):
    """{name: value} of a build folder's CMakeCache.txt."""
    found = {}
    for line in Path(build, "CMakeCache.txt").read_text().splitlines():
        entry = re.match(r"([^#/][^:=]*)(?::[^=]*)?=(.*)", line)
        if entry:
            found[entry[1]] = entry[2]
    return found


def link_command(scratch, folder, program):
    """The line of the target's link.txt that links the program, or None."""
    target = Path(program).stem
    text = Path(scratch, folder, "CMakeFiles", f"{target}.dir", "link.txt").read_text()
    return next((line for line in text.splitlines() if f"-o {program}" in line), None)


def check_link(scratch, folder, program):
    command = link_command(scratch, folder, program)
    if command is None:
        return [f"{program}: no link command in its link.txt"]
    return [] if "-s" in shlex.split(command) else [f"{program} is linked without -s: {command}"]


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: check_default_build.py cmake SOURCE_FOLDER BUILD_FOLDER")
    cmake, source, build = sys.argv[1:]
    built = cache(build)
    # The environment's defaults (CMake reads a build type and flags from it) would hide the
    # project's own.
    environment = {name: value for name, value in os.environ.items()
                   if not name.startswith("CMAKE_")
                   and name not in ("CFLAGS", "CXXFLAGS", "LDFLAGS", "RCFLAGS")}
    with tempfile.TemporaryDirectory() as scratch:
        # Makefiles whatever the build used: they write each target's link command to link.txt.
        command = [cmake, "-S", source, "-B", scratch, "-G", "Unix Makefiles",
                   f"-DCMAKE_TOOLCHAIN_FILE={built['CMAKE_TOOLCHAIN_FILE']}",
                   f"-DTARNWICK_DEPS={built['TARNWICK_DEPS']}"]
        done = subprocess.run(command, env=environment, stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, text=True, check=False)
        if done.returncode != 0:
            report([f"{command} exited {done.returncode}:\n{done.stdout}"])
        build_type = cache(scratch).get("CMAKE_BUILD_TYPE")
        failures = [] if build_type == "Release" else [
            f"a configure without a build type gives CMAKE_BUILD_TYPE {build_type!r}, not 'Release'"]
        for folder, program in PROGRAMS:
            failures += check_link(scratch, folder, program)
    report(failures)


if __name__ == "__main__":
    main()
