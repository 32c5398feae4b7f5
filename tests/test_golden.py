"""Cross-check vectors computed independently of this code base: every recorded call must give exactly
the recorded result, or fail with ValueError "Any { .. }" and the recorded standard-error text."""

import json
import pathlib
import re

import pytest

import tarvo_python_sdk as sdk

DATA = pathlib.Path(__file__).parent / "data" / "golden"
POSITION = re.compile(r" at line \d+ column \d+")

def recorded_calls():
    for path in sorted(DATA.glob("*.json")):
        calls = json.loads(path.read_text(encoding="utf-8"))
        if not isinstance(calls, list):
            continue
        for index, call in enumerate(calls):
            if "function" in call:
                yield pytest.param(call, id=f"{path.stem}-{index}-{call['function']}")


@pytest.mark.parametrize("call", list(recorded_calls()))
def test_recorded_call(call, stderr_capture):
    function = getattr(sdk, call["function"])
    if "result" in call:
        assert function(*call["args"]) == call["result"]
        return
    with stderr_capture() as captured:
        with pytest.raises(ValueError) as raised:
            function(*call["args"])
    assert str(raised.value) == "Any { .. }"
    lines = [line for line in captured.text().splitlines() if line.strip()]
    assert len(lines) == 1
    if "diagnostic" in call:
        assert POSITION.sub("", call["diagnostic"]) in POSITION.sub("", lines[0])
        assert call["diagnostic"] in lines[0], "same text; the position differs"
