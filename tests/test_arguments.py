"""Binding of positional and keyword arguments to parameters, and their conversion to text."""
import pytest

import tarvo_python_sdk
from expected_functions import FUNCTIONS, IDENTITY_PACKED, IDENTITY_X


def function(name):
    return getattr(tarvo_python_sdk, name)


def quoted_list(names):
    quoted = [f"'{name}'" for name in names]
    if len(quoted) == 1:
        return quoted[0]
    if len(quoted) == 2:
        return f"{quoted[0]} and {quoted[1]}"
    return ", ".join(quoted[:-1]) + ", and " + quoted[-1]


def missing_message(name, missing):
    plural = "" if len(missing) == 1 else "s"
    return f"{name}() missing {len(missing)} required positional argument{plural}: {quoted_list(missing)}"


def raises_type_error(call, message):
    with pytest.raises(TypeError) as caught:
        call()
    assert type(caught.value) is TypeError
    assert caught.value.args == (message,)
    return caught.value


def reaches_the_core(call, call_outcome):
    """True when the call got past argument handling: it returned, or its core work failed (ValueError
    "Any { .. }" after one diagnostic line)."""
    kind, value, diagnostic = call_outcome(call)
    if kind == "ValueError":
        assert str(value) == "Any { .. }"
        assert diagnostic.count("\n") == 1
    return True


# ---------------------------------------------------------------- too many positional arguments

@pytest.mark.parametrize("name, parameters", FUNCTIONS)
@pytest.mark.parametrize("extra", [1, 3])
def test_too_many_positional_arguments(name, parameters, extra):
    given = len(parameters) + extra
    raises_type_error(lambda: function(name)(*["a"] * given),
                      f"{name}() takes {len(parameters)} positional arguments but {given} were given")


def test_too_many_positional_says_arguments_even_for_one():
    raises_type_error(lambda: tarvo_python_sdk.hash_transfer("a", "b"),
                      "hash_transfer() takes 1 positional arguments but 2 were given")
    raises_type_error(lambda: tarvo_python_sdk.sign("a", "b", "c"),
                      "sign() takes 2 positional arguments but 3 were given")


def test_too_many_positional_is_reported_before_keywords_and_conversion():
    raises_type_error(lambda: tarvo_python_sdk.sign(1, 2, 3, bogus=4),
                      "sign() takes 2 positional arguments but 3 were given")


# ---------------------------------------------------------------- missing arguments

@pytest.mark.parametrize("name, parameters", FUNCTIONS)
def test_missing_all_arguments(name, parameters):
    raises_type_error(lambda: function(name)(), missing_message(name, parameters))


@pytest.mark.parametrize("name, parameters", [(n, p) for n, p in FUNCTIONS if len(p) > 1])
def test_missing_the_arguments_after_the_first(name, parameters):
    raises_type_error(lambda: function(name)("a"), missing_message(name, parameters[1:]))


@pytest.mark.parametrize("message, call", [
    ("sign_withdraw() missing 1 required positional argument: 'pri_key'",
     lambda: tarvo_python_sdk.sign_withdraw("{}")),
    ("hash_withdraw() missing 1 required positional argument: 'json'",
     lambda: tarvo_python_sdk.hash_withdraw()),
    ("sign() missing 2 required positional arguments: 'private_key' and 'msg'",
     lambda: tarvo_python_sdk.sign()),
    ("verify_signature() missing 5 required positional arguments: 'sig_r', 'sig_s', 'pub_key_x', 'pub_key_y',"
     " and 'msg'", lambda: tarvo_python_sdk.verify_signature()),
    ("verify_signature() missing 3 required positional arguments: 'sig_s', 'pub_key_x', and 'pub_key_y'",
     lambda: tarvo_python_sdk.verify_signature(msg="m", sig_r="r")),
    ("verify_signature() missing 1 required positional argument: 'pub_key_y'",
     lambda: tarvo_python_sdk.verify_signature("r", "s", "x", msg="m")),
    ("is_on_curve() missing 1 required positional argument: 'x'",
     lambda: tarvo_python_sdk.is_on_curve(y="y")),
])
def test_missing_arguments_are_listed_in_parameter_order(message, call):
    raises_type_error(call, message)


def test_missing_is_reported_before_conversion():
    raises_type_error(lambda: tarvo_python_sdk.sign(1), "sign() missing 1 required positional argument: 'msg'")


# ---------------------------------------------------------------- keywords

@pytest.mark.parametrize("name, parameters", FUNCTIONS)
def test_unexpected_keyword(name, parameters):
    raises_type_error(lambda: function(name)(bogus="a"), f"{name}() got an unexpected keyword argument 'bogus'")


def test_unexpected_keyword_keeps_its_name_as_given():
    raises_type_error(lambda: tarvo_python_sdk.sign(**{"clé": "a"}),
                      "sign() got an unexpected keyword argument 'clé'")
    raises_type_error(lambda: tarvo_python_sdk.sign(**{"Msg": "a"}),
                      "sign() got an unexpected keyword argument 'Msg'")


@pytest.mark.parametrize("name, parameters", FUNCTIONS)
def test_parameter_given_by_position_and_keyword(name, parameters):
    for i, parameter in enumerate(parameters):
        raises_type_error(lambda: function(name)(*["a"] * (i + 1), **{parameter: "b"}),
                          f"{name}() got multiple values for argument '{parameter}'")


def test_is_on_curve_x_by_position_and_keyword():
    raises_type_error(lambda: tarvo_python_sdk.is_on_curve("a", x="b"),
                      "is_on_curve() got multiple values for argument 'x'")


def test_keywords_are_checked_in_the_order_given():
    raises_type_error(lambda: tarvo_python_sdk.sign("k", bogus="b", private_key="k"),
                      "sign() got an unexpected keyword argument 'bogus'")
    raises_type_error(lambda: tarvo_python_sdk.sign("k", private_key="k", bogus="b"),
                      "sign() got multiple values for argument 'private_key'")


@pytest.mark.parametrize("name, parameters", FUNCTIONS)
def test_keywords_bind_by_name_whatever_their_order(name, parameters):
    # All arguments by keyword in reverse order, one of them not a str: the error names that parameter.
    for i, parameter in enumerate(parameters):
        keywords = {p: (1 if p == parameter else "a") for p in reversed(parameters)}
        raises_type_error(lambda: function(name)(**keywords),
                          f"argument '{parameter}': 'int' object cannot be converted to 'PyString'")


def test_is_on_curve_binds_keywords_by_name():
    raises_type_error(lambda: tarvo_python_sdk.is_on_curve(y="0x1", x=1),
                      "argument 'x': 'int' object cannot be converted to 'PyString'")
    raises_type_error(lambda: tarvo_python_sdk.is_on_curve(y=1, x="0x1"),
                      "argument 'y': 'int' object cannot be converted to 'PyString'")


def test_is_on_curve_by_keywords_y_first_acts_like_the_positional_call(call_outcome):
    def summary(call):
        kind, value, diagnostic = call_outcome(call)
        return kind, str(value), diagnostic

    by_keyword = summary(lambda: tarvo_python_sdk.is_on_curve(y=IDENTITY_X, x=IDENTITY_PACKED))
    by_position = summary(lambda: tarvo_python_sdk.is_on_curve(IDENTITY_PACKED, IDENTITY_X))
    assert by_keyword == by_position


# ---------------------------------------------------------------- conversion to text

class Custom:
    pass


def local_class():
    class Local:
        pass
    return Local()


@pytest.mark.parametrize("value, type_name", [
    (1, "int"), (b"0x01", "bytes"), (None, "NoneType"), (1.5, "float"), (bytearray(b"a"), "bytearray"),
    (["a"], "list"), (Custom(), "Custom"), (local_class(), "local_class.<locals>.Local"),
])
def test_non_str_argument_names_parameter_and_qualified_type(value, type_name):
    raises_type_error(lambda: tarvo_python_sdk.sign(value, "0x1"),
                      f"argument 'private_key': '{type_name}' object cannot be converted to 'PyString'")


def test_bytes_private_key_is_refused():
    error = raises_type_error(lambda: tarvo_python_sdk.sign(b"0x01", "0x1"),
                              "argument 'private_key': 'bytes' object cannot be converted to 'PyString'")
    assert error.__cause__ is None


@pytest.mark.parametrize("name, parameters", FUNCTIONS)
def test_every_parameter_refuses_non_str(name, parameters):
    for i, parameter in enumerate(parameters):
        args = ["a"] * len(parameters)
        args[i] = None
        raises_type_error(lambda: function(name)(*args),
                          f"argument '{parameter}': 'NoneType' object cannot be converted to 'PyString'")


@pytest.mark.parametrize("name, parameters", [(n, p) for n, p in FUNCTIONS if len(p) > 1])
def test_conversion_runs_in_parameter_order(name, parameters):
    args = [b"x"] * len(parameters)
    raises_type_error(lambda: function(name)(*args),
                      f"argument '{parameters[0]}': 'bytes' object cannot be converted to 'PyString'")
    args = ["\ud800"] * (len(parameters) - 1) + [b"x"]
    with pytest.raises(UnicodeEncodeError):
        function(name)(*args)


@pytest.mark.parametrize("name, parameters", FUNCTIONS)
def test_lone_surrogate_raises_the_interpreters_unicode_encode_error(name, parameters, stderr_capture):
    with pytest.raises(UnicodeEncodeError) as expected:
        "ab\ud800".encode("utf-8")
    with stderr_capture() as captured:
        for i in range(len(parameters)):
            args = ["a"] * len(parameters)
            args[i] = "ab\ud800"
            with pytest.raises(UnicodeEncodeError) as caught:
                function(name)(*args)
            assert type(caught.value) is UnicodeEncodeError
            assert str(caught.value) == str(expected.value)
            assert caught.value.object == "ab\ud800"
    assert captured.text() == ""


def test_binding_and_conversion_errors_write_no_diagnostic(stderr_capture):
    with stderr_capture() as captured:
        for call in [lambda: tarvo_python_sdk.sign(), lambda: tarvo_python_sdk.sign(1, 2),
                     lambda: tarvo_python_sdk.sign("a", "b", "c"), lambda: tarvo_python_sdk.sign("a", x="b")]:
            with pytest.raises(TypeError):
                call()
    assert captured.text() == ""


def test_type_errors_raised_inside_an_except_block_carry_no_context():
    try:
        raise KeyError("handled")
    except KeyError:
        for call in [lambda: tarvo_python_sdk.sign(), lambda: tarvo_python_sdk.sign(1, "a"),
                     lambda: tarvo_python_sdk.sign("a", "b", "c"), lambda: tarvo_python_sdk.sign("a", msg="b", x=1)]:
            with pytest.raises(TypeError) as caught:
                call()
            assert caught.value.__context__ is None
            assert caught.value.__cause__ is None


class SubclassedStr(str):
    def __str__(self):
        return "not what the module converts"


@pytest.mark.parametrize("name, parameters", FUNCTIONS)
def test_str_subclass_is_accepted(name, parameters, call_outcome):
    args = [SubclassedStr("0x1")] * len(parameters)
    assert reaches_the_core(lambda: function(name)(*args), call_outcome)
    assert reaches_the_core(lambda: function(name)(**{p: SubclassedStr("0x1") for p in parameters}), call_outcome)


def test_text_with_nul_and_non_ascii_reaches_the_core(call_outcome):
    assert reaches_the_core(lambda: tarvo_python_sdk.hash_withdraw("{\u0000é}"), call_outcome)
