#!/usr/bin/env python3
"""Checks that a built Tarnwick.exe's manifest names the architecture of the file itself, in the
program's own identity and in its common-controls dependency. Windows binds the dependency by
that name: a 64-bit program that names x86 gets the 32-bit common controls, which it cannot load.
    check_manifest_architecture.py Tarnwick.exe...
"""

import sys
import xml.etree.ElementTree as ElementTree

import pefile

from check_binaries import ASM_V1, RT_MANIFEST, report, resources

ARCHITECTURES = {0x14C: "x86", 0x8664: "amd64"}


def problems(path):
    pe = pefile.PE(path)
    machine = pe.FILE_HEADER.Machine
    expected = ARCHITECTURES.get(machine)
    if expected is None:
        return [f"{path}: machine {machine:#06x} is neither i386 nor x86-64"]
    manifests = resources(pe).get((RT_MANIFEST, 1), [])
    if len(manifests) != 1:
        return [f"{path}: {len(manifests)} manifests"]
    data = manifests[0][1]
    root = ElementTree.fromstring(data[3:] if data.startswith(b"\xef\xbb\xbf") else data)
    identities = {
        "its own identity": root.find(ASM_V1 + "assemblyIdentity"),
        "the common-controls dependency": root.find(
            f"{ASM_V1}dependency/{ASM_V1}dependentAssembly/{ASM_V1}assemblyIdentity"),
    }
    found = []
    for role, identity in identities.items():
        named = None if identity is None else identity.get("processorArchitecture")
        if named != expected:
            found.append(f"{path}: {role} names {named!r}; the file, machine {machine:#06x}, is {expected!r}")
    return found


def main():
    if len(sys.argv) < 2:
        sys.exit("usage: check_manifest_architecture.py Tarnwick.exe...")
    report([problem for path in sys.argv[1:] for problem in problems(path)])


if __name__ == "__main__":
    main()
