import contextlib
import os
import sys
import tempfile

import pytest
from hypothesis import settings

# Under user-mode emulation (scripts/build-wheels sets TARVO_EMULATED=1 for the aarch64 wheels) every call
# takes a hundred times as long as on hardware: no time limit per hypothesis example there, and the large
# properties draw a tenth of their examples (the same derandomized ones first).
EMULATED = os.environ.get("TARVO_EMULATED") == "1"
if EMULATED:
    settings.register_profile("emulated", deadline=None)
    settings.load_profile("emulated")


def examples(count):
    """The number of hypothesis examples for a property that draws `count` on hardware."""
    return max(count // 10, 10) if EMULATED else count


class CapturedStderr:
    """What the process wrote to file descriptor 2 (where the C stdio stderr writes) inside the block."""

    def __init__(self, file):
        self._file = file
        self._final = None

    def text(self):
        if self._final is not None:
            return self._final
        self._file.seek(0)
        return self._file.read().decode("utf-8", "replace")

    def _close(self):
        self._final = self.text()


@pytest.fixture
def stderr_capture():
    """A context manager that redirects file descriptor 2 into a temporary file for the length of its block.

    It is used inside the test body: pytest's own capturing swaps file descriptor 2 between the setup and
    call phases, which would undo a redirection made by the fixture itself."""

    @contextlib.contextmanager
    def capture():
        with tempfile.TemporaryFile() as file:
            captured = CapturedStderr(file)
            sys.stderr.flush()
            saved = os.dup(2)
            os.dup2(file.fileno(), 2)
            try:
                yield captured
            finally:
                sys.stderr.flush()
                os.dup2(saved, 2)
                os.close(saved)
                captured._close()

    return capture


@pytest.fixture
def call_outcome(stderr_capture):
    """Runs call() with file descriptor 2 captured. Returns ("value", result, diagnostic) or, when the call
    raises ValueError, ("ValueError", the exception, diagnostic); other exceptions propagate."""

    def run(call):
        with stderr_capture() as captured:
            try:
                outcome = ("value", call())
            except ValueError as error:
                outcome = ("ValueError", error)
        return outcome + (captured.text(),)

    return run
