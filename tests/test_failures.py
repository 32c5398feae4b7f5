"""Failures of the core work: one diagnostic line on standard error and ValueError "Any { .. }"."""
import pytest
from hypothesis import HealthCheck, given, settings
from hypothesis import strategies as st

import tarvo_python_sdk
from expected_functions import FAILING_CALLS, NAMES


def assert_generic_value_error(error):
    assert type(error) is ValueError
    assert error.args == ("Any { .. }",)
    assert error.__cause__ is None
    assert error.__context__ is None
    assert error.__suppress_context__ is False


def failing(call_outcome, call):
    kind, error, diagnostic = call_outcome(call)
    assert kind == "ValueError"
    assert_generic_value_error(error)
    return diagnostic


def test_failing_calls_cover_every_function():
    assert sorted(name for name, _, _ in FAILING_CALLS) == sorted(NAMES)


@pytest.mark.parametrize("name, args, context", FAILING_CALLS)
def test_core_failure_is_a_generic_value_error_with_one_diagnostic_line(name, args, context, call_outcome):
    diagnostic = failing(call_outcome, lambda: getattr(tarvo_python_sdk, name)(*args))
    assert diagnostic.endswith("\n")
    assert len(diagnostic.splitlines()) == 1
    assert diagnostic.startswith("tarvo_python_sdk: " + context + ": ")


@pytest.mark.parametrize("call, context", [
    (lambda: tarvo_python_sdk.hash_withdraw("not json"), "Couldn't get hash: "),
    (lambda: tarvo_python_sdk.private_key_from_seed("a" * 31), "Couldn't derive private key from seed: "),
    (lambda: tarvo_python_sdk.sign_transfer("{}", "not a key"), "Couldn get jubjubSignature: "),
])
def test_diagnostic_names_the_failed_step(call, context, call_outcome):
    assert context in failing(call_outcome, call)


def test_value_error_raised_inside_an_except_block_carries_no_context(call_outcome):
    try:
        raise KeyError("handled")
    except KeyError:
        failing(call_outcome, lambda: tarvo_python_sdk.hash_withdraw("not json"))


def test_a_failed_call_leaves_nothing_behind(call_outcome):
    first = failing(call_outcome, lambda: tarvo_python_sdk.hash_transfer("not json"))
    assert failing(call_outcome, lambda: tarvo_python_sdk.hash_transfer("not json")) == first


@pytest.mark.parametrize("name, args, context", FAILING_CALLS)
def test_arguments_by_keyword_fail_the_same_way(name, args, context, call_outcome):
    function = getattr(tarvo_python_sdk, name)
    parameters = function.__text_signature__.strip("()").split(", ")
    by_position = failing(call_outcome, lambda: function(*args))
    assert failing(call_outcome, lambda: function(**dict(zip(parameters, args)))) == by_position


# Texts of any characters except lone surrogates, line breaks of every kind included: the core's error
# texts may quote them (an invalid hexadecimal character, a JSON parse position).
ANY_TEXT = st.text(alphabet=st.characters(blacklist_categories=("Cs",)), max_size=80)


@settings(max_examples=200, suppress_health_check=[HealthCheck.function_scoped_fixture], derandomize=True)
@given(text=ANY_TEXT)
def test_every_outcome_is_a_value_or_the_generic_error_after_exactly_one_line(text, call_outcome):
    for call in [lambda: tarvo_python_sdk.public_key_to_xy(text), lambda: tarvo_python_sdk.is_on_curve(text, text),
                 lambda: tarvo_python_sdk.hash_withdraw(text), lambda: tarvo_python_sdk.sign(text, text)]:
        kind, value, diagnostic = call_outcome(call)
        if kind == "value":
            assert diagnostic == ""
        else:
            assert_generic_value_error(value)
            assert len(diagnostic.splitlines()) == 1 and diagnostic.endswith("\n")
