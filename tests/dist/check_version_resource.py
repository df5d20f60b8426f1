#!/usr/bin/env python3
"""check_version_resource.py VERSION PRODUCT PRODUCT_ZH BINARY...

Each Windows binary carries the set's version resource: the fixed file and product
version are VERSION, and the string tables in Simplified Chinese (080404b0) and English
(040904b0) give the same FileVersion and ProductVersion, the product name in their own
language, a description and the file's own name; the translation list names both.
Read with pefile, a parser of our own making neither the resource nor its compiler."""
import os
import struct
import sys

import pefile

TABLES = {"080404b0": 2, "040904b0": 1}  # table -> index of the product name argument


def four_numbers(most, least):
    return f"{most >> 16}.{most & 0xFFFF}.{least >> 16}.{least & 0xFFFF}"


def version_resources(pe):
    """The data of each version resource (one per name and language)."""
    found = []
    for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if entry.id == pefile.RESOURCE_TYPE["RT_VERSION"]:
            for name in entry.directory.entries:
                for language in name.directory.entries:
                    leaf = language.data.struct
                    found.append(pe.get_data(leaf.OffsetToData, leaf.Size))
    return found


def translations(pe):
    """The (language, code page) pairs of VarFileInfo\\Translation."""
    for data in version_resources(pe)[:1]:
        key = "Translation\0".encode("utf-16-le")
        at = data.find(key)
        value_length = struct.unpack_from("<H", data, at - 4)[0]
        start = (at + len(key) + 3) & ~3
        words = struct.unpack_from(f"<{value_length // 2}H", data, start)
        return set(zip(words[0::2], words[1::2]))
    return set()


def problems(path, version, names):
    pe = pefile.PE(path)
    if not hasattr(pe, "VS_FIXEDFILEINFO"):
        return ["no version resource"]
    found = []
    if len(version_resources(pe)) != 1:
        found.append(f"{len(version_resources(pe))} version resources")
    fixed = pe.VS_FIXEDFILEINFO[0]
    for what, shown in (("file", four_numbers(fixed.FileVersionMS, fixed.FileVersionLS)),
                        ("product", four_numbers(fixed.ProductVersionMS, fixed.ProductVersionLS))):
        if shown != version:
            found.append(f"fixed {what} version {shown}")
    tables = {}
    for info in pe.FileInfo:
        for entry in info:
            if entry.Key == b"StringFileInfo":
                for table in entry.StringTable:
                    tables[table.LangID.decode()] = {k.decode(): v.decode() for k, v in table.entries.items()}
    for table, name_index in TABLES.items():
        strings = tables.get(table)
        if strings is None:
            found.append(f"no string table {table}")
            continue
        expected = {"FileVersion": version, "ProductVersion": version,
                    "ProductName": names[name_index - 1], "OriginalFilename": os.path.basename(path)}
        for key, value in expected.items():
            if strings.get(key) != value:
                found.append(f"{table} {key} is {strings.get(key)!r}, not {value!r}")
        if not strings.get("FileDescription"):
            found.append(f"{table} has no FileDescription")
    if translations(pe) != {(0x0804, 1200), (0x0409, 1200)}:
        found.append(f"translations {sorted(translations(pe))}")
    return found


def main(version, product, product_zh, *binaries):
    failed = False
    for path in binaries:
        found = problems(path, version, (product, product_zh))
        print(f"{os.path.basename(path)}: " + ("; ".join(found) if found else f"version {version} in both languages"))
        failed |= bool(found)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
