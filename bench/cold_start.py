"""One cold start, in the fresh process this script runs in: the time to import tarvo_python_sdk, then
to make the first hash (which builds the Poseidon tables) and the first signature (which sets up the
curve parameter set, loads the embedded fixed-base table of generator 5 and builds its public tables).
The interpreter's own start is not included. Prints one JSON object in ns.

    python bench/cold_start.py REQUEST_JSON PRIVATE_KEY MESSAGE
"""

import sys
import time

request, private_key, message = sys.argv[1:4]

start = time.perf_counter_ns()
import tarvo_python_sdk  # noqa: E402  (the import is what is timed)

imported = time.perf_counter_ns()
tarvo_python_sdk.hash_transfer(request)
hashed = time.perf_counter_ns()
tarvo_python_sdk.sign(private_key, message)
signed = time.perf_counter_ns()

print(f'{{"import_ns": {imported - start}, "first_hash_ns": {hashed - imported}, '
      f'"first_sign_ns": {signed - hashed}, "total_ns": {signed - start}}}')
