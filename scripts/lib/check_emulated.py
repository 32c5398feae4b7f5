"""Checks that this interpreter and a child it starts through sys.executable both run under qemu (their
process name) and that tarvo_python_sdk is the one installed in this environment; exits non-zero if not."""

import subprocess
import sys

import tarvo_python_sdk

PROCESS_NAME = "import sys; print(open(\"/proc/self/comm\").read().strip())"
names = [
    open("/proc/self/comm").read().strip(),
    subprocess.run([sys.executable, "-c", PROCESS_NAME], capture_output=True, text=True, check=True).stdout.strip(),
]
if not all(name.startswith("qemu") for name in names) or not tarvo_python_sdk.__file__.startswith(sys.prefix):
    sys.exit(f"not emulated: {names}, {tarvo_python_sdk.__file__}")
print(f"emulated on qemu64: the interpreter and its children ({names[1]}); module {tarvo_python_sdk.__file__}")
