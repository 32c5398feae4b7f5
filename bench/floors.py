"""Floors: the least time an operation needs, from its counted work at the measured unit costs."""


class Bounds:
    """Lower bounds from counted work: field multiplications and squarings, each at the measured cost
    of one multiplication, plus the SHA-256 compressions that the nonce's HMAC-SHA-256 evaluations need
    at least, each at the measured cost of one compression."""

    def __init__(self, kernels, counts):
        self.kernels = counts["kernels"]
        self.functions = counts["functions"]
        self.mul_ns = kernels["field/mul"]["median_ns"]
        self.compression_ns = kernels["sha256/compression"]["median_ns"]
        k = {name: self.ops(work) for name, work in self.kernels.items()}
        self.fixed, self.variable = k["mul_generator5"], k["mul_var"]
        self.inverse, self.sqrt = k["field_inverse"], k["field_sqrt_of_decoded_point"]
        self.by_order, self.permutation = k["mul_var_by_subgroup_order"], k["poseidon_permute"]

    @staticmethod
    def ops(work):
        return work["multiplications"] + work["squarings"]

    def nonce_ns(self, work):
        return work.get("nonce_sha256_compressions", 0) * self.compression_ns

    def counted(self, work):
        """The bound of an operation as it is performed: its counted work."""
        return self.ops(work) * self.mul_ns + self.nonce_ns(work)

    def permutations(self, hash_function):
        return max(1, round(self.ops(self.functions[hash_function]) / self.permutation))

    def function_floor(self, name):
        """The least time a module function needs: its least work at the measured unit costs (None for
        a function without field arithmetic)."""
        work = self.functions[name]
        signature = 3 * self.fixed + self.variable + self.inverse  # sk·G, r·G, s·G and m·A, R to affine
        if name == "sign":
            ops = signature
        elif name.startswith("sign_"):
            ops = signature + self.permutations("hash_" + name[len("sign_"):]) * self.permutation
        elif name == "eth_sign":
            ops = signature + self.inverse  # the key's affine coordinates as well
        elif name == "verify_signature":
            ops = 2 * self.sqrt + 2 * self.by_order + self.variable + self.fixed
        elif name.startswith("hash_"):
            ops = self.permutations(name) * self.permutation
        elif name in ("is_on_curve", "public_key_to_xy"):
            ops = self.sqrt + self.inverse  # decoding: x² = (y² - 1) / (d·y² + 1)
        elif name == "private_key_to_public_key_xy":
            ops = self.fixed + self.inverse
        else:
            return None
        return ops * self.mul_ns + self.nonce_ns(work)
