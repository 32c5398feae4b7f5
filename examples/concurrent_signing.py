"""Sign a batch of limit orders from several threads: through a thread pool, and from an asyncio program
through its executor. Each call runs its hashing and signing with the interpreter released, so the
threads sign side by side and the event loop keeps serving its other tasks meanwhile.

    .venv/bin/python examples/concurrent_signing.py
"""

import asyncio
import concurrent.futures
import json
import sys

import tarvo_python_sdk as sdk

private_key = sdk.private_key_from_seed("market maker example: the quoting bot's seed, 32+ bytes")
maker: dict[str, str] = json.loads(sdk.private_key_to_public_key_xy(private_key))


def quote(nonce: int, buying: bool, price: int) -> str:
    """One limit order of a ladder of quotes, as the JSON request text."""
    return json.dumps({
        "nonce": str(nonce),
        "public_key": maker["x"],
        "expiration_timestamp": "1764000000",
        "amount_synthetic": "1000",
        "amount_collateral": str(price * 1000),
        "amount_fee": "32000",
        "asset_id_synthetic": "0x4254432d3130000000000000000000",
        "asset_id_collateral": "0x1",
        "position_id": "100",
        "is_buying_synthetic": buying,
    })


orders = [quote(nonce, nonce % 2 == 0, 64000 + (nonce // 2) * (1 if nonce % 2 else -1))
          for nonce in range(1, 65)]


def sign_order(order: str) -> str:
    return sdk.sign_limit_order(order, private_key)


sequential = [sign_order(order) for order in orders]

# A thread pool: map keeps the orders' sequence in its results.
with concurrent.futures.ThreadPoolExecutor(max_workers=4) as pool:
    pooled = list(pool.map(sign_order, orders))
print(f"thread pool signed {len(pooled)} orders")


async def sign_all() -> list[str]:
    """Signs every order in the loop's default executor while a heartbeat task keeps running."""
    loop = asyncio.get_running_loop()
    beats = 0

    async def heartbeat() -> None:
        nonlocal beats
        while True:
            await asyncio.sleep(0.001)
            beats += 1

    beating = asyncio.create_task(heartbeat())
    signatures = await asyncio.gather(*(loop.run_in_executor(None, sign_order, order) for order in orders))
    beating.cancel()
    print(f"asyncio executor signed {len(signatures)} orders; the event loop stayed responsive "
          f"({beats} heartbeats meanwhile)")
    return list(signatures)


awaited = asyncio.run(sign_all())

if pooled != sequential or awaited != sequential:
    sys.exit("the concurrent signatures differ from the sequential ones")
for order, signature_text in zip(orders, sequential):
    signature: dict[str, str] = json.loads(signature_text)
    digest = sdk.hash_limit_order(order)
    if not sdk.verify_signature(signature["r"], signature["s"], maker["x"], maker["y"], digest):
        sys.exit("a signature does not verify")
print("all concurrent signatures equal the sequential ones and verify")
