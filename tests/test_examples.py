"""Every script in examples/ runs to completion with the installed module and prints what it promises;
the Python blocks of the README run too."""

import pathlib
import re
import subprocess
import sys

import pytest

import tarvo_python_sdk as sdk

ROOT = pathlib.Path(__file__).resolve().parent.parent
EXAMPLES = ROOT / "examples"
HEX = r"0x[0-9a-f]{64}"

# For each example, patterns that its standard output must contain.
EXPECTED_OUTPUT = {
    "quickstart.py": [r"17 functions", r"all calls succeeded", r"layer-one signature record +\{"],
    "transfer.py": [rf"transfer hash +{HEX}", r"verifies against the sender's public key"],
    "withdrawal.py": [rf"withdrawal hash +{HEX}", r"the signature verifies"],
    "limit_order.py": [rf"buy +order hash +{HEX}", rf"sell order hash +{HEX}", r"both signatures verify"],
    "liquidation.py": [rf"liquidation hash +{HEX}", r"equals the hash of the liquidator's order"],
    "oracle_price.py": [rf"oracle price hash +{HEX}", r"the signature verifies"],
    "verify_signature.py": [r"the signed message +True", r"another message +False", r"signed message +False"],
    "keys_from_seed.py": [rf"private key +{HEX}", rf"packed public key +{HEX}", r"is_on_curve +True"],
    "layer_one_signature.py": [rf"pk_x +{HEX}", rf"pk_y +{HEX}", r"matches sign\(\)"],
    "concurrent_signing.py": [r"thread pool signed 100 orders in \d+ slices", r"asyncio executor signed 100 orders",
                              r"all concurrent signatures equal the sequential ones and verify"],
    "diagnostics.py": [r"ValueError: Any \{ \.\. \}",
                       r"tarvo_python_sdk: Couldn't get hash: missing field `sender_position_id` at line 1",
                       r"seed is too short", r"TypeError: argument 'private_key'"],
}


def run(arguments, cwd):
    return subprocess.run([sys.executable, *arguments], cwd=cwd, capture_output=True, text=True, timeout=300)


def test_every_example_has_expectations():
    assert sorted(path.name for path in EXAMPLES.glob("*.py")) == sorted(EXPECTED_OUTPUT)


@pytest.mark.parametrize("name", sorted(EXPECTED_OUTPUT))
def test_example_runs(name, tmp_path):
    completed = run([str(EXAMPLES / name)], cwd=tmp_path)
    assert completed.returncode == 0, completed.stdout + completed.stderr
    for pattern in EXPECTED_OUTPUT[name]:
        assert re.search(pattern, completed.stdout), f"{pattern!r} not in the output of {name}"
    if name != "diagnostics.py":  # its diagnostics are captured; nothing else fails
        assert "tarvo_python_sdk:" not in completed.stderr


def readme_blocks(language):
    readme = (ROOT / "README.md").read_text(encoding="utf-8")
    return re.findall(rf"```{language}\n(.*?)```", readme, flags=re.DOTALL)


def readme_python_blocks():
    return readme_blocks("python")


@pytest.mark.parametrize("index", range(len(readme_python_blocks())))
def test_readme_python_block_runs(index, tmp_path):
    script = tmp_path / f"readme_block_{index}.py"
    script.write_text(readme_python_blocks()[index], encoding="utf-8")
    completed = run([str(script)], cwd=tmp_path)
    assert completed.returncode == 0, completed.stdout + completed.stderr


def test_readme_request_examples_are_requests():
    """Every JSON block of the README is a complete request of some kind: one of the hash functions takes it."""
    kinds = ["transfer", "withdraw", "limit_order", "liquidate", "signed_oracle_price"]
    blocks = readme_blocks("json")
    assert len(blocks) == len(kinds)
    for kind, block in zip(kinds, blocks):
        assert getattr(sdk, f"hash_{kind}")(block).startswith("0x"), kind
