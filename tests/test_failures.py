"""Failures of the core work: one diagnostic line on standard error and ValueError "Any { .. }"."""
import pytest
from hypothesis import HealthCheck, given, settings
from hypothesis import strategies as st

import tarvo_python_sdk
from conftest import examples
from expected_functions import BINDING_CALLS, FAILING_CALLS, NAMES


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
    assert set(name for name, _, _ in FAILING_CALLS) == set(NAMES)


@pytest.mark.parametrize("call", BINDING_CALLS)
def test_binding_call_gives_its_result_or_exactly_its_diagnostic_line(call, call_outcome):
    kind, value, diagnostic = call_outcome(lambda: getattr(tarvo_python_sdk, call["function"])(*call["args"]))
    if "result" in call:
        assert (kind, value, diagnostic) == ("value", call["result"], "")
        return
    assert kind == "ValueError"
    assert_generic_value_error(value)
    assert diagnostic == call["diagnostic"] + "\n"
    assert len(diagnostic.splitlines()) == 1


def test_value_error_raised_inside_an_except_block_carries_no_context(call_outcome):
    try:
        raise KeyError("handled")
    except KeyError:
        failing(call_outcome, lambda: tarvo_python_sdk.hash_withdraw("not json"))


def test_a_failed_call_leaves_nothing_behind(call_outcome):
    first = failing(call_outcome, lambda: tarvo_python_sdk.hash_transfer("not json"))
    assert failing(call_outcome, lambda: tarvo_python_sdk.hash_transfer("not json")) == first


@pytest.mark.parametrize("name, args, diagnostic", FAILING_CALLS)
def test_arguments_by_keyword_fail_the_same_way(name, args, diagnostic, call_outcome):
    function = getattr(tarvo_python_sdk, name)
    parameters = function.__text_signature__.strip("()").split(", ")
    by_position = failing(call_outcome, lambda: function(*args))
    assert failing(call_outcome, lambda: function(**dict(zip(parameters, args)))) == by_position


# Texts of any characters except lone surrogates, line breaks of every kind included: the core's error
# texts may quote them (an invalid hexadecimal character, a JSON parse position).
ANY_TEXT = st.text(alphabet=st.characters(blacklist_categories=("Cs",)), max_size=80)


# No deadline: it checks outcomes, and on a loaded machine a single example can take a hundred times longer.
@settings(max_examples=examples(200), derandomize=True, deadline=None,
          suppress_health_check=[HealthCheck.function_scoped_fixture])
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
