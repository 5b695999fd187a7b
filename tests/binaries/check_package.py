#!/usr/bin/env python3
"""Installs the build into a fresh folder and packages it into another, as a packager would, and
checks that both hold exactly the two built programs, flat, and that the zip is named after the
launcher's version resource.
    check_package.py cmake cpack BUILD_FOLDER Tarnwick.exe Ostrevan.exe
"""

import os
import subprocess
import sys
import tempfile
import zipfile
from pathlib import Path

import pefile

from check_binaries import report


def run(command, where):
    """The command's failure as a list of one message, or an empty list."""
    command = [str(part) for part in command]
    done = subprocess.run(command, cwd=where, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          text=True, check=False)
    return [] if done.returncode == 0 else [f"{command} exited {done.returncode}:\n{done.stdout}"]


def everything_in(folder):
    """Every file and folder below `folder`, as paths relative to it."""
    found = []
    for where, folders, files in os.walk(folder):
        found += [os.path.relpath(os.path.join(where, name), folder) for name in folders + files]
    return sorted(found)


def launcher_version(path):
    """The product version of the launcher's version resource, as "1.5.3604"."""
    fixed = pefile.PE(path).VS_FIXEDFILEINFO[0]
    parts = (fixed.ProductVersionMS >> 16, fixed.ProductVersionMS & 0xFFFF,
             fixed.ProductVersionLS >> 16, fixed.ProductVersionLS & 0xFFFF)
    # The package names three parts; a fourth would be lost from its name.
    return ".".join(map(str, parts[:3])) if parts[3] == 0 else ".".join(map(str, parts))


def holds_the_built(what, names, read, built):
    """Failures unless `names` are exactly the built programs' and each reads as the built file."""
    found = [] if names == sorted(built) else [f"{what} holds {names}, not {sorted(built)}"]
    return found + [f"{what}'s {name} differs from the built one"
                    for name in sorted(set(names) & set(built)) if read(name) != built[name]]


def main():
    if len(sys.argv) != 6:
        sys.exit("usage: check_package.py cmake cpack BUILD_FOLDER Tarnwick.exe Ostrevan.exe")
    cmake, cpack, build, launcher, notice = sys.argv[1:]
    built = {Path(path).name: Path(path).read_bytes() for path in (launcher, notice)}
    failures = []
    with tempfile.TemporaryDirectory() as scratch:
        installed = Path(scratch, "installed")
        failures += run([cmake, "--install", build, "--prefix", installed], scratch)
        failures += holds_the_built("the install", everything_in(installed),
                                    lambda name: Path(installed, name).read_bytes(), built)

        packaged = Path(scratch, "packaged")
        # The build's package, made of the install above: cpack's own install would first
        # build everything else in the build folder.
        failures += run([cpack, "--config", Path(build, "CPackConfig.cmake"), "-B", packaged,
                         "-D", "CPACK_INSTALL_CMAKE_PROJECTS=",
                         "-D", f"CPACK_INSTALLED_DIRECTORIES={installed};."], scratch)
        package = f"Tarnwick-{launcher_version(launcher)}-win32.zip"
        zips = sorted(path.name for path in packaged.glob("*") if path.is_file())
        if zips != [package]:
            failures.append(f"cpack made {zips}, not [{package!r}]")
        else:
            with zipfile.ZipFile(packaged / package) as archive:
                failures += holds_the_built("the zip", sorted(archive.namelist()), archive.read,
                                            built)
    report(failures)


if __name__ == "__main__":
    main()
