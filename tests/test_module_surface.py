"""What a caller sees of the module after import: its functions, their signatures and __all__."""
import inspect
import subprocess
import sys
import textwrap

import pytest

import tarvo_python_sdk
from expected_functions import FUNCTIONS, NAMES

METH_FASTCALL_KEYWORDS = 0x80 | 0x02


def test_all_lists_the_17_functions_in_registration_order():
    assert tarvo_python_sdk.__all__ == NAMES
    assert type(tarvo_python_sdk.__all__) is list


def test_module_exposes_exactly_the_functions_of_all():
    public = {name for name in vars(tarvo_python_sdk) if not name.startswith("_")}
    assert public == set(NAMES)


def test_module_docstring_is_one_sentence():
    doc = tarvo_python_sdk.__doc__
    assert isinstance(doc, str) and doc.strip()
    assert doc.count(".") == 1 and doc.endswith(".")


@pytest.mark.parametrize("name, parameters", FUNCTIONS)
def test_each_function_is_a_builtin_bound_to_the_module(name, parameters):
    function = getattr(tarvo_python_sdk, name)
    assert type(function).__name__ == "builtin_function_or_method"
    assert function.__name__ == name
    assert function.__qualname__ == name
    assert function.__module__ == "tarvo_python_sdk"
    assert function.__self__ is tarvo_python_sdk


@pytest.mark.parametrize("name, parameters", FUNCTIONS)
def test_signature_text_names_the_parameters_and_doc_is_none(name, parameters):
    function = getattr(tarvo_python_sdk, name)
    assert function.__text_signature__ == "(" + ", ".join(parameters) + ")"
    assert function.__doc__ is None
    signature = inspect.signature(function)
    assert tuple(signature.parameters) == parameters
    for parameter in signature.parameters.values():
        assert parameter.kind is inspect.Parameter.POSITIONAL_OR_KEYWORD
        assert parameter.default is inspect.Parameter.empty


def test_sign_withdraw_signature_reads_json_then_pri_key():
    assert str(inspect.signature(tarvo_python_sdk.sign_withdraw)) == "(json, pri_key)"
    assert tarvo_python_sdk.sign_withdraw.__doc__ is None


@pytest.mark.skipif(not getattr(sys, "_is_gil_enabled", lambda: True)(),
                    reason="reads the default build's object layout")
@pytest.mark.parametrize("name", NAMES)
def test_each_function_uses_the_fast_call_with_keywords_convention(name):
    ctypes = pytest.importorskip("ctypes", reason="reads the method table with ctypes, which this interpreter lacks")

    class MethodDef(ctypes.Structure):
        _fields_ = [("ml_name", ctypes.c_char_p), ("ml_meth", ctypes.c_void_p),
                    ("ml_flags", ctypes.c_int), ("ml_doc", ctypes.c_char_p)]

    class CFunctionObject(ctypes.Structure):  # PyObject_HEAD, then m_ml
        _fields_ = [("ob_refcnt", ctypes.c_ssize_t), ("ob_type", ctypes.c_void_p),
                    ("m_ml", ctypes.POINTER(MethodDef))]

    function = getattr(tarvo_python_sdk, name)
    definition = CFunctionObject.from_address(id(function)).m_ml.contents
    assert definition.ml_name == name.encode()
    assert definition.ml_flags == METH_FASTCALL_KEYWORDS
    assert definition.ml_doc == f"{name}{inspect.signature(function)}\n--\n\n".encode()


def run_python(code):
    completed = subprocess.run([sys.executable, "-c", textwrap.dedent(code)], capture_output=True, text=True,
                               timeout=60)
    assert completed.returncode == 0, completed.stderr
    return completed.stdout.splitlines()


def test_second_initialisation_in_one_process_raises_import_error():
    lines = run_python("""
        import sys
        import tarvo_python_sdk as first
        del sys.modules["tarvo_python_sdk"]
        try:
            import tarvo_python_sdk
        except ImportError as error:
            print("ImportError", type(error) is ImportError, bool(str(error)))
        else:
            print("imported again")
        print(first.__all__[0], first.hash_withdraw.__module__)
        try:
            first.hash_withdraw("not json")
        except ValueError as error:
            print("first module still works:", error)
    """)
    assert lines == ["ImportError True True", "verify_signature tarvo_python_sdk",
                     "first module still works: Any { .. }"]


def test_every_later_initialisation_fails_too():
    lines = run_python("""
        import importlib, sys
        import tarvo_python_sdk
        for attempt in range(2):
            sys.modules.pop("tarvo_python_sdk", None)
            try:
                importlib.import_module("tarvo_python_sdk")
            except ImportError:
                print("ImportError")
    """)
    assert lines == ["ImportError", "ImportError"]


@pytest.mark.parametrize("imports", ["tarvo_python_sdk, hashlib, ssl", "hashlib, ssl, tarvo_python_sdk"])
def test_module_and_the_interpreters_libcrypto_work_side_by_side(imports):
    # hashlib and ssl load the system's libcrypto; the module's own SHA-256 must neither bind to it nor
    # disturb it, whichever comes first. An interpreter built without OpenSSL has no libcrypto to meet.
    pytest.importorskip("_ssl", reason="this interpreter was built without OpenSSL")
    lines = run_python(f"""
        import {imports}
        print(tarvo_python_sdk.private_key_from_seed("a" * 32))
        print(tarvo_python_sdk.sign("0x" + "0" * 64, "0x"))
        print(hashlib.sha256(b"abc").hexdigest())
        print(ssl.create_default_context().verify_mode == ssl.CERT_REQUIRED)
    """)
    assert lines == [
        "0x038035fccedd1639813330babae48b024420a4039fad14fd39992b61fa94a7b8",
        '{"r":"0x130c3cdf731781c25d5f38f6faf6fd21e01f3710b50206bc89469fd7a0a8bb2e",'
        '"s":"0x00ae93fc812ca56c92889b0e0c5f861aa6e48bc895e5a9c94e57a9e7a92183a4"}',
        "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad",
        "True",
    ]
