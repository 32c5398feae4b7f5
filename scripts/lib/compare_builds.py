"""Compares the files of two builds byte for byte and, where they differ, says what differs.

Usage: compare_builds.py FIRST SECOND [FIRST SECOND ...]
Each pair is one file of each build (an sdist, a wheel, or any other file such as an extension module).
Prints one line per identical pair and, for a pair that differs, the archive members and the member
fields (time, permissions, order, compressed bytes, contents) that differ, and for an ELF file the
sections that hold the differing bytes.
Exits 1 when any pair differs.
"""

import gzip
import hashlib
import io
import struct
import sys
import tarfile
import zipfile

ZIP_FIELDS = ["date_time", "external_attr", "create_system", "compress_type", "flag_bits", "extra", "comment"]
SHOWN = 20  # differences printed per pair: a time or mode difference repeats for every member
TAR_FIELDS = ["mode", "uid", "gid", "uname", "gname", "mtime", "type", "linkname"]


def elf_sections(data: bytes) -> list[tuple[int, int, str]]:
    """(offset, size, name) of each section of a 64-bit little-endian ELF file, the only kind built here."""
    if data[:4] != b"\x7fELF" or data[4] != 2 or data[5] != 1:
        return []
    shoff, = struct.unpack_from("<Q", data, 0x28)
    shentsize, shnum, shstrndx = struct.unpack_from("<HHH", data, 0x3A)
    headers = [struct.unpack_from("<IIQQQQ", data, shoff + i * shentsize) for i in range(shnum)]
    names_offset = headers[shstrndx][4]
    sections = []
    for name, kind, _, _, offset, size in headers:
        end = data.index(b"\0", names_offset + name)
        sections.append((offset, size if kind != 8 else 0, data[names_offset + name : end].decode()))  # 8: NOBITS
    return sections


def explain_contents(first: bytes, second: bytes) -> str:
    if len(first) != len(second):
        return f"contents differ: {len(first)} against {len(second)} bytes"
    offsets = [i for i, (a, b) in enumerate(zip(first, second)) if a != b]
    text = f"contents differ in {len(offsets)} of {len(first)} bytes, first at {offsets[0]:#x}"
    sections = elf_sections(first)
    if not sections:
        return text
    holding = {name or "?" for offset in offsets for start, size, name in sections if start <= offset < start + size}
    outside = sum(1 for offset in offsets if not any(start <= offset < start + size for start, size, _ in sections))
    where = sorted(holding) + ([f"{outside} bytes outside every section"] if outside else [])
    return f"{text} (ELF: {', '.join(where)})"


def shown(field: str, value) -> str:
    if field == "external_attr":  # the Unix mode sits in the upper half
        return oct(value >> 16)
    return oct(value) if field == "mode" else repr(value)


def compare_fields(name: str, first, second, fields: list[str]) -> list[str]:
    return [f"{name}: {field} {shown(field, getattr(first, field))} against {shown(field, getattr(second, field))}"
            for field in fields if getattr(first, field) != getattr(second, field)]


def compare_members(first: dict, second: dict, order: tuple[list, list], fields: list[str], read) -> list[str]:
    differences = []
    if set(first) != set(second):
        differences.append(f"members only in the first: {sorted(set(first) - set(second))}, "
                           f"only in the second: {sorted(set(second) - set(first))}")
    elif order[0] != order[1]:
        differences.append(f"member order differs: {order[0]} against {order[1]}")
    for name in sorted(set(first) & set(second)):
        differences += compare_fields(name, first[name], second[name], fields)
        a, b = read(0, first[name]), read(1, second[name])
        if a != b:
            differences.append(f"{name}: {explain_contents(a, b)}")
    return differences


def compare_wheels(first: bytes, second: bytes) -> list[str]:
    archives = [zipfile.ZipFile(io.BytesIO(data)) for data in (first, second)]
    infos = [{info.filename: info for info in archive.infolist()} for archive in archives]
    differences = compare_members(*infos, ([*infos[0]], [*infos[1]]), ZIP_FIELDS,
                                  lambda which, info: archives[which].read(info))
    return differences or ["the members are the same: their compressed bytes or the archive's layout differ"]


def compare_sdists(first: bytes, second: bytes) -> list[str]:
    differences = []
    if first[:10] != second[:10]:
        differences.append(f"gzip headers differ: {first[:10].hex()} against {second[:10].hex()}")
    archives = [tarfile.open(fileobj=io.BytesIO(gzip.decompress(data))) for data in (first, second)]
    members = [archive.getmembers() for archive in archives]
    infos = [{member.name: member for member in listed} for listed in members]
    differences += compare_members(*infos, tuple([m.name for m in listed] for listed in members), TAR_FIELDS,
                                   lambda which, member: archives[which].extractfile(member).read()
                                   if member.isfile() else b"")
    return differences or ["the members are the same: the compressed stream differs"]


def main() -> None:
    paths = sys.argv[1:]
    if not paths or len(paths) % 2:
        sys.exit(__doc__)
    differing = 0
    for first_path, second_path in zip(paths[::2], paths[1::2]):
        first, second = (open(path, "rb").read() for path in (first_path, second_path))
        if first == second:
            print(f"identical  {hashlib.sha256(first).hexdigest()}  {first_path.rsplit('/', 1)[-1]}")
            continue
        differing += 1
        print(f"DIFFERENT  {first_path}  {second_path}")
        if first_path.endswith(".tar.gz"):
            differences = compare_sdists(first, second)
        elif first_path.endswith(".whl"):
            differences = compare_wheels(first, second)
        else:
            differences = [explain_contents(first, second)]
        for difference in differences[:SHOWN]:
            print(f"    {difference}")
        if len(differences) > SHOWN:
            print(f"    ... and {len(differences) - SHOWN} more")
    sys.exit(1 if differing else 0)


if __name__ == "__main__":
    main()
