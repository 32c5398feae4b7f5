"""Hostile input at all 17 functions: whatever the arguments, a call returns its value or raises TypeError,
UnicodeEncodeError or ValueError "Any { .. }", and a ValueError is preceded by exactly one diagnostic line on
standard error. Huge and deeply nested texts run in a child interpreter, so that a crash fails the test
instead of ending the test run, as do the import and calls with an allocator that fails."""
import json
import os
import subprocess
import sys
import textwrap

import pytest
from hypothesis import HealthCheck, given, settings
from hypothesis import strategies as st

import tarvo_python_sdk
from conftest import examples
from expected_functions import FUNCTIONS, VALID_KEY

GOLDEN = os.path.join(os.path.dirname(__file__), "data", "golden")


def golden_requests():
    with open(os.path.join(GOLDEN, "hashes.json"), encoding="utf-8") as file:
        return [entry["args"][0] for entry in json.load(file)]


REQUESTS = golden_requests()


def has_surrogate(text):
    return any(0xD800 <= ord(c) <= 0xDFFF for c in text)


def expected_argument_error(args):
    """The exception type argument conversion must raise, or None when every argument is a UTF-8 encodable
    str. Arguments are converted in parameter order and the first bad one decides."""
    for arg in args:
        if not isinstance(arg, str):
            return TypeError
        if has_surrogate(arg):
            return UnicodeEncodeError
    return None


def check_call(name, args, stderr_capture):
    """Calls the function with stderr captured and checks its outcome against the arguments."""
    with stderr_capture() as captured:
        try:
            outcome = getattr(tarvo_python_sdk, name)(*args)
        except Exception as error:  # noqa: BLE001 - the type is what is checked
            outcome = error
    diagnostic = captured.text()
    expected_error = expected_argument_error(args)
    if expected_error is not None:
        assert type(outcome) is expected_error, (name, args, outcome)
        assert diagnostic == ""
    elif isinstance(outcome, BaseException):
        assert type(outcome) is ValueError, (name, args, outcome)
        assert outcome.args == ("Any { .. }",)
        assert diagnostic.endswith("\n") and len(diagnostic.splitlines()) == 1, (name, args, diagnostic)
        assert diagnostic.startswith("tarvo_python_sdk: ")
    else:
        assert type(outcome) in (str, bool), (name, args, outcome)
        assert diagnostic == ""


# Any character, lone surrogates and NUL included.
ANY_CHARACTER = st.characters(codec=None, exclude_categories=())
PLAIN_TEXT = st.text(alphabet=ANY_CHARACTER, max_size=100)
HEX_TEXT = st.text(alphabet="0123456789abcdefABCDEFxX\u0000\n\u2028é \U0001F600\ud800", max_size=70).map(
    lambda digits: "0x" + digits)

JSON_SCALARS = st.one_of(st.none(), st.booleans(), st.integers(), st.floats(allow_nan=False), PLAIN_TEXT)
JSON_VALUES = st.recursive(JSON_SCALARS, lambda inner: st.one_of(
    st.lists(inner, max_size=4), st.dictionaries(PLAIN_TEXT, inner, max_size=4)), max_leaves=12)


@st.composite
def mutated_requests(draw):
    """A golden request with one member replaced, removed or added, or its text cut or wrapped."""
    request = json.loads(draw(st.sampled_from(REQUESTS)))
    keys = sorted(request) if isinstance(request, dict) else []
    action = draw(st.sampled_from(["replace", "remove", "add", "cut", "wrap", "as_text"]))
    if action == "replace" and keys:
        request[draw(st.sampled_from(keys))] = draw(JSON_VALUES)
    elif action == "remove" and keys:
        del request[draw(st.sampled_from(keys))]
    elif action == "add" and keys:
        request[draw(st.sampled_from(keys + ["extra"]))] = draw(JSON_VALUES)
    elif action == "wrap":
        request = draw(st.sampled_from([[request], {"liquidator_order": request}, [request, "1", "2", "3", "4"]]))
    text = json.dumps(request, ensure_ascii=draw(st.booleans()))
    if action == "cut":
        text = text[:draw(st.integers(0, len(text)))]
    return text


NON_STR = st.one_of(st.none(), st.integers(), st.binary(max_size=8), st.floats(), st.lists(st.integers(), max_size=2),
                    st.just(object()), st.just(b"0x1"), st.just(bytearray(b"{}")))
ARGUMENT = st.one_of(PLAIN_TEXT, HEX_TEXT, mutated_requests(), st.just(VALID_KEY), NON_STR)


@settings(max_examples=examples(400), derandomize=True, deadline=None,
          suppress_health_check=[HealthCheck.function_scoped_fixture, HealthCheck.too_slow])
@given(data=st.data())
def test_any_arguments_give_a_value_or_one_of_three_exceptions(data, stderr_capture):
    name, parameters = data.draw(st.sampled_from(FUNCTIONS))
    args = [data.draw(ARGUMENT) for _ in parameters]
    check_call(name, args, stderr_capture)


@settings(max_examples=examples(150), derandomize=True, deadline=None,
          suppress_health_check=[HealthCheck.function_scoped_fixture, HealthCheck.too_slow])
@given(data=st.data())
def test_request_texts_with_a_valid_key_give_a_value_or_one_diagnostic_line(data, stderr_capture):
    name = data.draw(st.sampled_from([n for n, p in FUNCTIONS if p[0] == "json"]))
    args = [data.draw(mutated_requests())] + ([VALID_KEY] if name.startswith("sign_") else [])
    check_call(name, args, stderr_capture)


# Runs in a child interpreter: calls every function with every big input in every parameter position (the
# other parameters get a valid key), prints the exception type name of each call (or "value"), one per line.
CHILD = textwrap.dedent("""
    import json, random, sys
    import tarvo_python_sdk
    from expected_functions import FUNCTIONS, VALID_KEY

    seed = int(sys.argv[1])
    rng = random.Random(seed)
    request = json.loads(sys.argv[2])
    size = 100_000
    texts = [
        "[" * size, "{\\"a\\":" * size, '{"liquidator_order":' * 20_000,
        "[" * 127 + "]" * 127, "[" * 128 + "]" * 128, "[" * 129 + "]" * 129,
        "0x" + "f" * size, "\\0" * size, "\\u2028\\r\\x85" * (size // 3), "\\U0001F600" * (size // 4),
        json.dumps(dict(request, extra="x" * size)), json.dumps(request) + " " * size,
        json.dumps(request)[:-1] + ", " + ", ".join(f'"k{i}": [{i}]' for i in range(size // 12)) + "}",
        "".join(chr(rng.randrange(1, 0xD800)) for _ in range(size)),
    ]
    outcomes = []
    for name, parameters in FUNCTIONS:
        for text in texts:
            for position in range(len(parameters)):
                args = [VALID_KEY] * len(parameters)
                args[position] = text
                try:
                    getattr(tarvo_python_sdk, name)(*args)
                    outcomes.append("value")
                except BaseException as error:
                    outcomes.append(type(error).__name__)
    print(json.dumps(outcomes))
""")


def test_huge_and_deeply_nested_texts_never_crash_the_process():
    seed = 1729
    tests_dir = os.path.dirname(os.path.abspath(__file__))
    # The module may itself come through PYTHONPATH (the Windows wheels' tests install it that way).
    path = os.pathsep.join(filter(None, [tests_dir, os.environ.get("PYTHONPATH")]))
    child = subprocess.run([sys.executable, "-c", CHILD, str(seed), REQUESTS[0]], cwd=tests_dir,
                           capture_output=True, timeout=120,
                           env=dict(os.environ, PYTHONPATH=path, PYTHONFAULTHANDLER="1"))
    assert child.returncode == 0, f"seed {seed}: child ended with {child.returncode}: {child.stderr[-2000:]!r}"
    outcomes = json.loads(child.stdout)
    assert set(outcomes) <= {"value", "ValueError"}, f"seed {seed}: {set(outcomes)}"
    diagnostics = child.stderr.decode("utf-8").splitlines()
    assert len(diagnostics) == outcomes.count("ValueError"), f"seed {seed}"
    assert all(line.startswith("tarvo_python_sdk: ") for line in diagnostics), f"seed {seed}"


# Runs one step in a child interpreter whose allocator fails from its `after`-th allocation on (counted from 0), or
# at that allocation alone when `once` is 1, and prints how the step ended: "value", or the exception's type name
# and that of its cause. A function is called from the child's own frame: an exception leaving a Python function
# while one allocation fails can end in SystemError in the interpreter itself (CPython 3.12).
OUT_OF_MEMORY_CHILD = textwrap.dedent("""
    import importlib.util, json, sys, _testcapi
    after, once = int(sys.argv[1]), int(sys.argv[4])
    if sys.argv[2] == "import":
        spec = importlib.util.find_spec("tarvo_python_sdk")
        function, args = spec.loader.create_module, [spec]
    else:
        import tarvo_python_sdk
        function, args = getattr(tarvo_python_sdk, sys.argv[2]), json.loads(sys.argv[3])
    error = None
    _testcapi.set_nomemory(after, after + 1 if once else 0)
    try:
        function(*args)
    except BaseException as raised:
        error = raised
    finally:
        _testcapi.remove_mem_hooks()
    print(json.dumps(["value"] if error is None else [type(error).__name__, type(error.__cause__).__name__]))
""")


def test_a_failing_allocator_gives_memory_error_at_import_and_in_calls():
    """The interpreter runs out of memory at each allocation of the module's initialisation and of a call in
    turn: the step raises MemoryError (or InternalError, once the core call is done), never another error and
    never with a crash, until it has all the memory it needs. A call whose allocations fail from one on cannot
    show a SystemError (making one needs memory too): with that one allocation failing alone, the call must
    recover from it or raise MemoryError or InternalError as well."""
    pytest.importorskip("_testcapi")
    steps = [("private_key_from_seed", ["\0" * 32], ["value"]),
             ("private_key_from_seed", ["\u00e9" * 32], ["value"]),  # its UTF-8 form is made when bound
             ("hash_transfer", ["{}"], ["ValueError", "NoneType"]),
             ("hash_transfer", [5], ["TypeError", "NoneType"])]
    # From 3.13 on, the interpreter's own bookkeeping after a single-phase initialisation can crash when it
    # runs out of memory, whatever the module did.
    if sys.version_info < (3, 13):
        steps.insert(0, ("import", None, ["value"]))

    def outcome(name, args, after, once):
        child = subprocess.run([sys.executable, "-c", OUT_OF_MEMORY_CHILD, str(after), name, json.dumps(args),
                                str(int(once))],
                               capture_output=True, timeout=60, env=dict(os.environ, PYTHONFAULTHANDLER="1"))
        assert child.returncode == 0, (name, after, once, child.stderr[-2000:])
        return json.loads(child.stdout)

    for name, args, with_memory in steps:
        for after in range(400):
            outcomes = [outcome(name, args, after, once=False)]
            if outcomes[0] == with_memory:
                break
            if name != "import":
                outcomes.append(outcome(name, args, after, once=True))
            for ended in outcomes:
                if ended == with_memory:
                    continue
                assert ended[0] in ("MemoryError", "InternalError"), (name, after, outcomes)
                assert ended[1] in ("NoneType", "MemoryError"), (name, after, outcomes)
        else:
            pytest.fail(f"{name} never got the memory it needs")
