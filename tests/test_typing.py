"""The type stub agrees with the built module (mypy's stubtest), and the examples type-check strictly
against it. Skipped where mypy is not installed, or cannot keep its cache because the interpreter was
built without sqlite3 (as the wheels' test interpreters on Debian 11 and on musl are)."""

import pathlib
import subprocess
import sys

import pytest

pytest.importorskip("mypy")
pytest.importorskip("sqlite3")

ROOT = pathlib.Path(__file__).resolve().parent.parent


def run_mypy(module, arguments, cwd):
    return subprocess.run([sys.executable, "-m", module, *arguments], cwd=cwd, capture_output=True,
                          text=True, timeout=600)


def test_stub_matches_the_module(tmp_path):
    # From an empty directory, so that mypy finds the stub that was installed with the module.
    completed = run_mypy("mypy.stubtest", ["tarvo_python_sdk"], cwd=tmp_path)
    assert completed.returncode == 0, completed.stdout + completed.stderr


def test_examples_type_check_strictly(tmp_path):
    completed = run_mypy("mypy", ["--strict", "--cache-dir", str(tmp_path / "cache"), str(ROOT / "examples")],
                         cwd=tmp_path)
    assert completed.returncode == 0, completed.stdout + completed.stderr


def test_stub_rejects_a_wrong_argument_type(tmp_path):
    source = tmp_path / "wrong.py"
    source.write_text("import tarvo_python_sdk\n"
                      "digest: bool = tarvo_python_sdk.hash_transfer(b'{}')\n")
    completed = run_mypy("mypy", ["--strict", "--cache-dir", str(tmp_path / "cache"), str(source)], cwd=tmp_path)
    assert completed.returncode == 1
    assert 'Argument 1 to "hash_transfer" has incompatible type "bytes"; expected "str"' in completed.stdout
    assert 'Incompatible types in assignment (expression has type "str", variable has type "bool")' in completed.stdout
