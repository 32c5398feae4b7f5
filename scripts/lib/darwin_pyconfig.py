"""Writes a pyconfig.h for a 64-bit macOS target from a Linux CPython's own, for compiling extensions only.

CPython's configure does not cross-build for Darwin, so no real macOS pyconfig.h can be made here. This
one is the Linux file of the same CPython with what its configure would find differently on macOS redone:
  - the compile-time facts, found as configure finds them, by compiling for the target (Zig's compiler
    with Apple's C library headers): every SIZEOF_ and ALIGNOF_ value, and every HAVE_..._H header;
  - _POSIX_C_SOURCE, _XOPEN_SOURCE and _XOPEN_SOURCE_EXTENDED left out, as configure does on Darwin
    (they would hide the BSD parts of Apple's headers);
  - HAVE_GCC_ASM_FOR_X87 and HAVE_GCC_ASM_FOR_X64 kept for x86-64 only.
Everything else (the run-time checks and the functions found) stays Linux's. Zig carries Apple's C library
headers, not the whole SDK, so a few macOS headers outside them (curses, sys/xattr.h) come out missing.
Writes every change to OUTPUT.changes and prints those that the public headers beside LINUX_PYCONFIG
(not internal/) read, the only ones an extension's compile can see.

Usage: darwin_pyconfig.py LINUX_PYCONFIG ZIG ZIG_TARGET OUTPUT
"""

import itertools
import re
import subprocess
import sys
import sysconfig
import tempfile
from pathlib import Path

# The C type behind each size or alignment configure records.
SIZES = {
    "SIZEOF_DOUBLE": "sizeof(double)",
    "SIZEOF_FLOAT": "sizeof(float)",
    "SIZEOF_FPOS_T": "sizeof(fpos_t)",
    "SIZEOF_INT": "sizeof(int)",
    "SIZEOF_LONG": "sizeof(long)",
    "SIZEOF_LONG_DOUBLE": "sizeof(long double)",
    "SIZEOF_LONG_LONG": "sizeof(long long)",
    "SIZEOF_OFF_T": "sizeof(off_t)",
    "SIZEOF_PID_T": "sizeof(pid_t)",
    "SIZEOF_PTHREAD_KEY_T": "sizeof(pthread_key_t)",
    "SIZEOF_PTHREAD_T": "sizeof(pthread_t)",
    "SIZEOF_SHORT": "sizeof(short)",
    "SIZEOF_SIZE_T": "sizeof(size_t)",
    "SIZEOF_TIME_T": "sizeof(time_t)",
    "SIZEOF_UINTPTR_T": "sizeof(uintptr_t)",
    "SIZEOF_VOID_P": "sizeof(void *)",
    "SIZEOF_WCHAR_T": "sizeof(wchar_t)",
    "SIZEOF__BOOL": "sizeof(_Bool)",
    "ALIGNOF_LONG": "_Alignof(long)",
    "ALIGNOF_MAX_ALIGN_T": "_Alignof(max_align_t)",
    "ALIGNOF_SIZE_T": "_Alignof(size_t)",
}
LEFT_OUT_ON_DARWIN = ("_POSIX_C_SOURCE", "_XOPEN_SOURCE", "_XOPEN_SOURCE_EXTENDED")
X86_ONLY = ("HAVE_GCC_ASM_FOR_X87", "HAVE_GCC_ASM_FOR_X64")
DEFINE = re.compile(r"^#define (\w+)(?: (.*))?$")
UNDEF = re.compile(r"^/\* #undef (\w+) \*/$")


def header_paths(macro: str) -> list[str]:
    """The headers a HAVE_..._H macro may stand for: configure turns '/', '.' and '_' alike into '_'."""
    parts = macro[len("HAVE_") : -len("_H")].lower().split("_")
    paths = []
    for separators in itertools.product("/_", repeat=len(parts) - 1):
        path = parts[0] + "".join(separator + part for separator, part in zip(separators, parts[1:]))
        paths.append(path + ".h")
    return paths


def probe(zig: str, target: str, headers: dict[str, list[str]]) -> dict[str, int]:
    """Compiles one file for the target; each fact is a constant read back from the assembly."""
    lines = ["#include <pthread.h>", "#include <stddef.h>", "#include <stdint.h>", "#include <stdio.h>",
             "#include <sys/types.h>", "#include <time.h>", "#include <wchar.h>"]
    for name, expression in SIZES.items():
        lines.append(f"const unsigned long long tarvo_{name} = {expression};")
    for name, paths in headers.items():
        found = " || ".join(f"__has_include(<{path}>)" for path in paths)
        lines += [f"#if {found}", f"const unsigned long long tarvo_{name} = 1;", "#endif"]
    with tempfile.TemporaryDirectory() as work:
        source = Path(work, "probe.c")
        source.write_text("\n".join(lines) + "\n", encoding="utf-8")
        assembly = Path(work, "probe.s")
        subprocess.run([zig, "cc", "-target", target, "-std=c11", "-Wno-unused-command-line-argument", "-S",
                        "-o", str(assembly), str(source)], check=True)
        text = assembly.read_text(encoding="utf-8")
    return {name: int(value) for name, value in re.findall(r"^_tarvo_(\w+):\s*\n\s*\.quad\s+(\d+)", text, re.M)}


def read_pyconfig(path: str) -> list[str]:
    """The lines of the pyconfig.h at path, or of the one that Debian's multiarch wrapper there names for
    this machine."""
    text = Path(path).read_text(encoding="utf-8")
    multiarch = sysconfig.get_config_var("MULTIARCH")
    wrapped = re.search(rf"#\s*include <({re.escape(multiarch or '-')}/python[^>]*/pyconfig\.h)>", text)
    if wrapped and "#define SIZEOF_INT" not in text:
        text = Path("/usr/include", wrapped.group(1)).read_text(encoding="utf-8")
    return text.splitlines()


def main() -> None:
    linux, zig, target, output = sys.argv[1:]
    lines = read_pyconfig(linux)
    defined = {m.group(1) for line in lines if (m := DEFINE.match(line))}
    sizes = {name for name in defined if name.startswith(("SIZEOF_", "ALIGNOF_"))}
    unknown = sizes - SIZES.keys()
    if unknown:
        sys.exit(f"no C type known for {sorted(unknown)}: add them to SIZES")
    header_macros = {m.group(1) for line in lines if (m := DEFINE.match(line) or UNDEF.match(line))
                     if re.fullmatch(r"HAVE_\w+_H", m.group(1))}
    facts = probe(zig, target, {macro: header_paths(macro) for macro in sorted(header_macros)})
    x86 = target.startswith("x86_64-")
    result: list[str] = []
    changes: list[tuple[str, str]] = []
    for line in lines:
        define, undef = DEFINE.match(line), UNDEF.match(line)
        named = define or undef
        name = named.group(1) if named else ""
        new = line
        if define and name in sizes:
            new = f"#define {name} {facts[name]}"
        elif name in header_macros:
            new = f"#define {name} 1" if name in facts else f"/* #undef {name} */"
        elif define and (name in LEFT_OUT_ON_DARWIN or (name in X86_ONLY and not x86)):
            new = f"/* #undef {name} */"
        if new != line:
            changes.append((name, f"{line}  ->  {new}"))
        result.append(new)
    Path(output).write_text("\n".join(result) + "\n", encoding="utf-8")
    Path(output + ".changes").write_text("".join(f"{change}\n" for _, change in changes), encoding="utf-8")
    include = Path(linux).parent
    public = "\n".join(header.read_text(encoding="utf-8") for header in sorted(include.rglob("*.h"))
                       if header.name != "pyconfig.h" and "internal" not in header.relative_to(include).parts)
    for name, change in changes:
        if re.search(rf"\b{name}\b", public):
            print(change)


if __name__ == "__main__":
    main()
