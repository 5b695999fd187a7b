#!/usr/bin/env python3
"""Checks the built Tarnwick.exe and Ostrevan.exe as files: headers, symbols, imports and resources.
    check_binaries.py Tarnwick.exe Ostrevan.exe
"""

import re
import struct
import sys
import xml.etree.ElementTree as ElementTree

import pefile

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
EN_US, EN_GB = 0x0409, 0x0809
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPATIBILITY = "{urn:schemas-microsoft-com:compatibility.v1}"

# (width, height as the group writes them, bits per pixel, stored as PNG), in group order.
ICON_ENTRIES = [(32, 32, 8, False), (48, 48, 24, False), (16, 16, 24, False),
                (0, 0, 32, True), (48, 48, 32, False)]

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def resources(pe):
    """{(type, id): [(language, bytes)]} of every resource in the file."""
    found = {}
    directory = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for kind in directory.entries if directory else []:
        for name in kind.directory.entries:
            for language in name.directory.entries:
                entry = language.data.struct
                found.setdefault((kind.id, name.id), []).append(
                    (language.id, pe.get_data(entry.OffsetToData, entry.Size)))
    return found


def single(found, key, language, program):
    items = found.get(key, [])
    if not check(len(items) == 1, f"{program}: resource {key} present {len(items)} times"):
        return b""
    check(items[0][0] == language,
          f"{program}: resource {key} has language {items[0][0]:#06x}, not {language:#06x}")
    return items[0][1]


def check_headers(pe, program, version, flags):
    check(pe.FILE_HEADER.Machine == 0x14C, f"{program}: machine is not i386")
    check(pe.OPTIONAL_HEADER.Magic == 0x10B, f"{program}: not a PE32 image")
    check(pe.OPTIONAL_HEADER.Subsystem == 2, f"{program}: not the GUI subsystem")
    header = pe.OPTIONAL_HEADER
    found = (header.MajorOperatingSystemVersion, header.MinorOperatingSystemVersion,
             header.MajorSubsystemVersion, header.MinorSubsystemVersion)
    check(found == version * 2, f"{program}: OS and subsystem versions {found}, not {version * 2}")
    dll_characteristics, characteristics = flags
    check_flags(header.DllCharacteristics, dll_characteristics, pefile.dll_characteristics,
                "DllCharacteristics", program)
    check_flags(pe.FILE_HEADER.Characteristics, characteristics, pefile.image_characteristics,
                "Characteristics", program)
    check_stripped(pe, program)


def check_flags(found, expected, table, field, program):
    """A header's flag field as a whole: Windows turns DEP, ASLR and the like on or off by its bits."""
    def names(bits):
        # pefile's names without their prefix ("NX_COMPAT"); a bit it does not name, in hex.
        return ", ".join(next((name.split("_", 2)[2] for name, value in table if value == 1 << bit),
                              f"0x{1 << bit:04X}")
                         for bit in range(16) if bits >> bit & 1)
    differences = [f"{what} {names(bits)}"
                   for what, bits in (("missing", expected & ~found), ("extra", found & ~expected))
                   if bits]
    check(found == expected,
          f"{program}: {field} 0x{found:04X}, not 0x{expected:04X} ({'; '.join(differences)})")


def check_stripped(pe, program):
    """A release file carries no symbols: no COFF symbol table, no debug sections, no debug directory."""
    table = (pe.FILE_HEADER.PointerToSymbolTable, pe.FILE_HEADER.NumberOfSymbols)
    check(table == (0, 0), f"{program}: a symbol table (offset, count) {table}")
    # A section named "/N" is named in the string table, which only an unstripped file keeps.
    names = [section.Name.rstrip(b"\0").decode("latin-1") for section in pe.sections]
    check(not [name for name in names if name.startswith((".debug", "/"))],
          f"{program}: debug or string-table sections among {names}")
    debug = pe.OPTIONAL_HEADER.DATA_DIRECTORY[6]
    check((debug.VirtualAddress, debug.Size) == (0, 0), f"{program}: a debug directory")


def imports(pe):
    return {entry.dll.decode().lower(): {i.name.decode() for i in entry.imports if i.name}
            for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])}


def check_icon_group(found, group, language, program):
    directory = single(found, (RT_GROUP_ICON, group), language, program)
    if not check(len(directory) == 6 + 14 * len(ICON_ENTRIES),
                 f"{program}: icon group {group} is {len(directory)} bytes long"):
        return directory, []
    check(struct.unpack_from("<HHH", directory) == (0, 1, len(ICON_ENTRIES)),
          f"{program}: icon group {group} header")
    images = []
    for index, (width, height, bits, as_png) in enumerate(ICON_ENTRIES):
        where = f"{program}: icon group {group} entry {index + 1}"
        w, h, colours, _, planes, depth, size, number = struct.unpack_from(
            "<BBBBHHIH", directory, 6 + 14 * index)
        check((w, h, colours, planes, depth, number) == (width, height, 0, 1, bits, index + 1),
              f"{where}: {(w, h, colours, planes, depth, number)}")
        image = single(found, (RT_ICON, number), language, program)
        check(len(image) == size, f"{where}: image is {len(image)} bytes, entry says {size}")
        images.append(image)
        if as_png:
            check_png(image, where)
        else:
            check_bitmap(image, width, bits, where)
    return directory, images


def check_png(image, where):
    if not check(image[:8] == b"\x89PNG\r\n\x1a\n" and image[12:16] == b"IHDR",
                 f"{where}: not a PNG image"):
        return
    header = struct.unpack_from(">IIBBBBB", image, 16)
    check(header == (256, 256, 8, 6, 0, 0, 0),
          f"{where}: PNG header {header}, not 256 x 256 8-bit RGBA, not interlaced")


def check_bitmap(image, side, bits, where):
    if not check(len(image) >= 40, f"{where}: too short for a bitmap"):
        return
    size, width, height, planes, depth, compression, _, _, _, used, _ = struct.unpack_from(
        "<IiiHHIIiiII", image)
    check((size, width, height, planes, depth, compression) == (40, side, 2 * side, 1, bits, 0),
          f"{where}: bitmap header {(size, width, height, planes, depth, compression)}")
    palette = 256 * 4 if bits == 8 else 0
    if bits == 8:
        check(used in (0, 256), f"{where}: palette of {used} colours, not 256")
    else:
        check(used == 0, f"{where}: a palette of {used} colours")
    colour = ((side * bits + 31) // 32) * 4 * side
    mask = ((side + 31) // 32) * 4 * side
    check(len(image) == 40 + palette + colour + mask,
          f"{where}: {len(image)} bytes, not header, palette, colour bits and 1-bit AND mask")


def version_block(data, position=0):
    """(key, type, value, children) of the version-block node at `position`."""
    def align(offset):
        return (offset + 3) & ~3
    length, value_length, kind = struct.unpack_from("<HHH", data, position)
    key_end = position + 6
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[position + 6:key_end].decode("utf-16-le")
    start = align(key_end + 2)
    value = data[start:start + (value_length * 2 if kind == 1 else value_length)]
    children, child = [], align(start + len(value))
    while child < position + length:
        node = version_block(data, child)
        children.append(node)
        child = align(child + struct.unpack_from("<H", data, child)[0])
    return key, kind, value, children


def check_version(data, fixed, table, strings, translation, program):
    try:
        key, _, value, children = version_block(data)
    except (struct.error, UnicodeDecodeError) as error:
        check(False, f"{program}: version block unreadable: {error}")
        return
    check(key == "VS_VERSION_INFO", f"{program}: version block is named {key!r}")
    if check(len(value) == 52, f"{program}: fixed part is {len(value)} bytes"):
        found = struct.unpack("<13I", value)
        check(found == (0xFEEF04BD, 0x10000) + fixed, f"{program}: fixed part {found}")
    empty = ("", 0, b"", [])
    blocks = {node[0]: node for node in children}
    check(list(blocks) == ["StringFileInfo", "VarFileInfo"],
          f"{program}: version block holds {list(blocks)}")
    tables = blocks.get("StringFileInfo", empty)[3]
    check([node[0] for node in tables] == [table], f"{program}: string tables {tables}")
    found = [(node[0], node[2].decode("utf-16-le")) for node in (tables[0][3] if tables else [])]
    check(found == [(k, v + "\0") for k, v in strings], f"{program}: strings {found}")
    variables = [(node[0], node[2]) for node in blocks.get("VarFileInfo", empty)[3]]
    check(variables == [("Translation", struct.pack("<HH", translation, 1200))],
          f"{program}: translation {variables}")


def tree(element):
    """An element as (tag, attributes, text, children), comments left out."""
    return (element.tag, element.attrib, (element.text or "").strip(),
            [tree(child) for child in element])


def check_manifest(data, with_mark, expected, program):
    check(data.startswith(b"\xef\xbb\xbf") == with_mark,
          f"{program}: manifest {'lacks' if with_mark else 'has'} a byte-order mark")
    text = data[3:] if with_mark else data
    check(re.match(rb'<\?xml version="1.0" encoding="UTF-8" standalone="yes"\?>\r\n', text),
          f"{program}: manifest's XML declaration")
    check(text.count(b"\n") == text.count(b"\r\n") and text.count(b"\r") == text.count(b"\r\n"),
          f"{program}: manifest lines do not all end with CR LF")
    try:
        found = tree(ElementTree.fromstring(text))
    except ElementTree.ParseError as error:
        check(False, f"{program}: manifest is not XML: {error}")
        return
    check(found == expected, f"{program}: manifest is {found}")


def element(tag, attributes=None, *children, text=""):
    return (tag, attributes or {}, text, list(children))


def execution_level():
    return element(ASM_V3 + "trustInfo", {},
                   element(ASM_V3 + "security", {},
                           element(ASM_V3 + "requestedPrivileges", {},
                                   element(ASM_V3 + "requestedExecutionLevel",
                                           {"level": "asInvoker", "uiAccess": "false"}))))


def check_program(path, program, version, flags, group_id, language, manifest_mark, manifest, fixed,
                  strings):
    """Headers and resources as both programs have them: (the parsed file, its icon group)."""
    pe = pefile.PE(path)
    check_headers(pe, program, version, flags)
    found = resources(pe)
    check({kind for kind, _ in found} == {RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST},
          f"{program}: resource types {sorted({kind for kind, _ in found})}")
    group = check_icon_group(found, group_id, language, program)
    check_manifest(single(found, (RT_MANIFEST, 1), EN_US, program), manifest_mark, manifest, program)
    check_version(single(found, (RT_VERSION, 1), language, program), fixed, f"{language:04x}04b0",
                  strings, language, program)
    return pe, group


def check_tarnwick(path):
    program = "Tarnwick.exe"
    # DEP and a base that moves (ASLR), so relocations kept; a stripped 32-bit program that is
    # not large-address aware.
    pe, group = check_program(path, program, (5, 1), (0x0140, 0x030E), 101, EN_US, False, element(
        ASM_V1 + "assembly", {"manifestVersion": "1.0"},
        element(ASM_V1 + "assemblyIdentity", {"processorArchitecture": "x86",
                                              "version": "5.1.0.0", "type": "win32",
                                              "name": "Tarnwick.exe"}),
        element(ASM_V1 + "description", text="Tarnwick Application"),
        execution_level(),
        element(ASM_V1 + "dependency", {},
                element(ASM_V1 + "dependentAssembly", {},
                        element(ASM_V1 + "assemblyIdentity", {
                            "type": "win32", "name": "Microsoft.Windows.Common-Controls",
                            "version": "6.0.0.0", "publicKeyToken": "6595b64144ccf1df",
                            "language": "*", "processorArchitecture": "x86"})))),
        (0x00010005, 0x0E140000, 0x00010005, 0x0E140000, 0x17, 0, 0x4, 1, 0, 0, 0),
        [("Comments", "Select Hardware or Software"), ("FileDescription", "Vantorel Renderer Selector"),
         ("FileVersion", "1,5,3604,0"), ("InternalName", "Tarnwick.exe"),
         ("OriginalFilename", "Tarnwick.exe"), ("ProductName", "Tarnwick Application"),
         ("ProductVersion", "1,5,3604,0")])
    found = imports(pe)
    for dll in found:
        check(not re.match(r"(lib|mingw|cyg)", dll), f"{program}: imports from {dll}")
    # The start-up's first call, which also ties the program to the common controls.
    check("InitCommonControls" in found.get("comctl32.dll", set()),
          f"{program}: imports {sorted(found.get('comctl32.dll', set()))} from comctl32.dll, not InitCommonControls")
    return group


def check_ostrevan(path):
    program = "Ostrevan.exe"
    # DEP and terminal-server aware, a fixed base and so no relocations; a stripped 32-bit program
    # that is not large-address aware.
    pe, group = check_program(path, program, (6, 0), (0x8100, 0x030F), 125, EN_GB, True, element(
        ASM_V1 + "assembly", {"manifestVersion": "1.0"},
        execution_level(),
        element(COMPATIBILITY + "compatibility", {}, element(COMPATIBILITY + "application"))),
        (0x00050001, 0x0D370000, 0x00050001, 0x0D370000, 0x3F, 0, 0x40004, 1, 0, 0, 0),
        [("FileDescription", "Ostrevan"), ("FileVersion", "5,1,3383,0"),
         ("InternalName", "Ostrevan.exe"), ("OriginalFilename", "Ostrevan.exe"),
         ("ProductName", "Vantorel: Dawnmere"), ("ProductVersion", "5,1,3383,0")])
    found = imports(pe)
    check(set(found) <= {"kernel32.dll", "user32.dll"}, f"{program}: imports from {set(found)}")
    check(found.get("user32.dll") == {"MessageBoxW"},
          f"{program}: imports {found.get('user32.dll')} from user32")
    relocations = pe.OPTIONAL_HEADER.DATA_DIRECTORY[5]
    check(relocations.VirtualAddress == 0 and relocations.Size == 0,
          f"{program}: has base relocations")
    check(all(section.Name.rstrip(b"\0") != b".reloc" for section in pe.sections),
          f"{program}: has a .reloc section")
    return group


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: check_binaries.py Tarnwick.exe Ostrevan.exe")
    launcher = check_tarnwick(sys.argv[1])
    notice = check_ostrevan(sys.argv[2])
    check(launcher == notice, "the two icon groups differ in their directories or images")
    report(failures)


def report(found):
    """Prints the failures and ends with the exit code that tells whether there were any."""
    for failure in found:
        print("FAIL:", failure)
    print(f"{len(found)} failure(s)")
    sys.exit(1 if found else 0)


if __name__ == "__main__":
    main()
