"""Checks that wheel WHEEL holds the type stubs and exactly one extension module of tarvo_python_sdk, unpacks
the extension into directory DIR and prints its path; exits non-zero, naming what is wrong, otherwise.

  wheel_extension.py WHEEL DIR
"""

import sys
import zipfile

REQUIRED = {"tarvo_python_sdk.pyi", "py.typed", "tarvo_python_sdk-stubs/__init__.pyi"}

wheel_path, directory = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(wheel_path) as wheel:
    names = set(wheel.namelist())
    extensions = [name for name in names if name.startswith("tarvo_python_sdk.") and name.endswith((".so", ".pyd"))]
    missing = sorted(REQUIRED - names)
    if missing or len(extensions) != 1:
        sys.exit(f"missing: {missing}, extension modules: {extensions}")
    print(wheel.extract(extensions[0], directory))
