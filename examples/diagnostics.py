"""What a failed call looks like, and how to capture its reason from standard error.

A failure of the work raises ValueError("Any { .. }"), always with that message; the reason is one line
that the module writes with the C standard I/O to file descriptor 2. sys.stderr and
contextlib.redirect_stderr do not see it: redirect the file descriptor itself.

    .venv/bin/python examples/diagnostics.py
"""

import contextlib
import os
import sys
import tempfile
from collections.abc import Iterator

import tarvo_python_sdk as sdk


@contextlib.contextmanager
def captured_fd2() -> Iterator[list[str]]:
    """Redirects file descriptor 2 into a temporary file; the lines written meanwhile land in the list."""
    lines: list[str] = []
    with tempfile.TemporaryFile() as file:
        sys.stderr.flush()
        saved = os.dup(2)
        os.dup2(file.fileno(), 2)
        try:
            yield lines
        finally:
            os.dup2(saved, 2)
            os.close(saved)
            file.seek(0)
            lines.extend(file.read().decode("utf-8", "replace").splitlines())


with captured_fd2() as diagnostics:
    try:
        sdk.hash_transfer('{"amount": "12"}')
    except ValueError as error:
        print(f"ValueError: {error}")
print(f"standard error:    {diagnostics}")

with captured_fd2() as diagnostics:
    try:
        sdk.private_key_from_seed("too short")
    except ValueError as error:
        print(f"ValueError: {error}")
print(f"standard error:    {diagnostics}")

# Wrong argument types are TypeErrors, raised before any work and with nothing on standard error.
try:
    sdk.sign(b"0x01", "0x02")  # type: ignore[arg-type]
except TypeError as error:
    print(f"TypeError: {error}")

if not diagnostics or not diagnostics[0].startswith("tarvo_python_sdk: "):
    sys.exit("no diagnostic captured")
