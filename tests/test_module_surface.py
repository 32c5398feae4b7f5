"""What a caller sees of the module after import: its functions, their signatures and __all__."""
import ast
import inspect
import pathlib
import re
import subprocess
import sys
import textwrap

import pytest

import tarvo_python_sdk
from expected_functions import FUNCTIONS, NAMES

METH_FASTCALL_KEYWORDS = 0x80 | 0x02
ROOT = pathlib.Path(__file__).resolve().parent.parent


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


# ---- Every binding declares the functions of the core's table (the module is built from it), with the
# same parameters in the same order. Each reader returns {name: parameters} for what one file declares.

def go_name(name):
    return "".join(part.upper() if part == "xy" else part.capitalize() for part in name.split("_"))


def go_parameter(name):
    first, *rest = name.split("_")
    return first + "".join(part.upper() if part == "xy" else part.capitalize() for part in rest)


def declared_in_header(text):
    return {name: tuple(re.findall(r"const char\* (\w+),\s+size_t \1_len", arguments))
            for name, arguments in re.findall(r"tarvo_status tarvo_(\w+)\(([^)]*)\);", text)}


def declared_in_c_library(text):
    declared = {name: tuple(rest.split(", ")) for name, rest in
                re.findall(r"^TARVO_TEXT_FUNCTION_\d\((\w+), ([\w, ]+)\)$", text, re.MULTILINE)}
    # The functions with a truth value are written out: the table entry each one calls must be its own.
    for name, arguments, called in re.findall(r"^tarvo_status tarvo_(\w+)\(([^)]*)\) \{.*?call\(\"(\w+)\"",
                                              text, re.MULTILINE | re.DOTALL):
        declared[name if called == name else f"{name} calling {called}"] = tuple(
            re.findall(r"const char\* (\w+),\s+size_t \1_len", arguments))
    return declared


def declared_in_c_test(text):
    declared = {name: tuple(re.findall(r'"(\w+)"', rest))
                for name, rest in re.findall(r"^ +TEXT[12]\((\w+), ([^)]*)\),$", text, re.MULTILINE)}
    for name, arity, parameters, functions in re.findall(
            r'^ +\{"(\w+)", (\d), (?:true|false), \{([^}]*)\},([^}]*)\},$', text, re.MULTILINE):
        parameters = tuple(re.findall(r'"(\w+)"', parameters))
        c_functions = re.findall(r"tarvo_\w+", functions)
        declared[name if c_functions == ["tarvo_" + name] and int(arity) == len(parameters) else name + "?"] = \
            parameters
    return declared


def declared_in_stub(text):
    return {node.name: tuple(argument.arg for argument in node.args.args)
            for node in ast.parse(text).body if isinstance(node, ast.FunctionDef)}


def declared_in_go(text):
    declared = {}
    for chunk in re.split(r"\n(?=func )", text):
        header = re.match(r"func ([A-Z]\w*)\(([^)]*)\) \((?:string|bool), error\)", chunk)
        if header is None:
            continue
        name, body = header[1], chunk[header.end():]
        parameters = [parameter.split()[0] for parameter in header[2].split(", ")]
        called = re.findall(r"C\.tarvo_(\w+)", body)
        # The body hands the texts on in the order of the parameters.
        handed_on = sorted(parameters, key=lambda parameter: re.search(rf"\b{parameter}\b", body).start())
        agrees = len(called) == 1 and go_name(called[0]) == name and handed_on == parameters
        declared[name if agrees else name + "?"] = tuple(parameters)
    return declared


def declared_in_rust(text):
    declared = {name: tuple(parameters.split(", ")) if c_name == "tarvo_" + name else c_name
                for name, c_name, parameters in re.findall(r"^ +(\w+) => (\w+)\(([\w, ]+)\);$", text, re.MULTILINE)}
    for chunk in re.split(r"\n(?=pub fn )", text):
        header = re.match(r"pub fn (\w+)\(([^)]*)\) -> Result<bool, Error>", chunk)
        if header is None:
            continue
        name, parameters = header[1], tuple(re.findall(r"(\w+): &str", header[2]))
        called = re.search(r"ffi::(tarvo_\w+)\(([^;]*)\);", chunk)
        handed_on = tuple(re.findall(r"text\((\w+)\)", called[2])) if called else ()
        declared[name if called and called[1] == "tarvo_" + name and handed_on == parameters else name + "?"] = \
            parameters
    return declared


BINDING_SOURCES = [
    ("c-library/include/tarvo.h", declared_in_header, str),
    ("c-library/src/tarvo.cpp", declared_in_c_library, str),
    ("c-library/tests/tarvo_test.c", declared_in_c_test, str),
    ("stubs/tarvo_python_sdk.pyi", declared_in_stub, str),
    ("examples/go/tarvo.go", declared_in_go, go_name),
    ("examples/rust/src/lib.rs", declared_in_rust, str),
]


@pytest.mark.parametrize("path, declared_in, named", BINDING_SOURCES, ids=[path for path, _, _ in BINDING_SOURCES])
def test_every_binding_declares_the_functions_of_the_core_table(path, declared_in, named):
    table = {name: tuple(inspect.signature(getattr(tarvo_python_sdk, name)).parameters)
             for name in tarvo_python_sdk.__all__}
    parameter_named = go_parameter if named is go_name else str
    expected = {named(name): tuple(parameter_named(p) for p in parameters) for name, parameters in table.items()}
    assert declared_in((ROOT / path).read_text(encoding="utf-8")) == expected
