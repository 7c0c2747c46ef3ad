"""Order-preserving minimal perfect hash (Czech-Havas-Majewski over a 3-uniform hypergraph).

Every key of at most MAX_KEY_LENGTH characters from the codes FIRST_CODE..LAST_CODE is
hashed by three character tables T1, T2, T3 (one unsigned 32-bit entry per position and
character) into three sums a, b, c. The key's hyperedge is (a mod M, b mod M, c mod M).
When the hypergraph of all keys can be peeled (it is acyclic), the vertex table G is
assigned so that (G[a mod M] + G[b mod M] + G[c mod M]) mod N is the key's index.

The library evaluates exactly `evaluate` below (core/bank/directory_hash.cpp).
The random tables come from a fixed-seed SplitMix64 generator, so the same keys always
give the same tables, whatever the Python version.
"""

FIRST_CODE = 48  # "0"
LAST_CODE = 122  # "z"
ALPHABET = LAST_CODE - FIRST_CODE + 1  # 75
MIN_KEY_LENGTH = 6
MAX_KEY_LENGTH = 15
TABLE_SIZE = MAX_KEY_LENGTH * ALPHABET
DEFAULT_SEED = 0x5E9A_2025_0908
MAX_ATTEMPTS = 2000
MASK32 = 0xFFFFFFFF


class HashError(Exception):
    """The keys cannot be hashed (bad key, duplicate, or no acyclic graph found)."""


class SplitMix64:
    """Small deterministic generator (Steele, Lea, Flood 2014)."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFFFFFFFFFF

    def next(self):
        self.state = (self.state + 0x9E3779B97F4A7C15) & 0xFFFFFFFFFFFFFFFF
        z = self.state
        z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & 0xFFFFFFFFFFFFFFFF
        z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & 0xFFFFFFFFFFFFFFFF
        return z ^ (z >> 31)

    def below(self, bound):
        """Uniform value in 0..bound-1 (rejection sampling, no modulo bias)."""
        limit = (1 << 64) - ((1 << 64) % bound)
        while True:
            value = self.next()
            if value < limit:
                return value % bound


def vertex_count(key_count):
    """M = 1.23 x N rounded up, in integers so that no rounding of floats creeps in."""
    return (key_count * 123 + 99) // 100


def key_problem(key):
    """Why `key` cannot be stored, or None when it is fine."""
    if not MIN_KEY_LENGTH <= len(key) <= MAX_KEY_LENGTH:
        return "key length %d outside %d..%d" % (len(key), MIN_KEY_LENGTH, MAX_KEY_LENGTH)
    for ch in key:
        if not FIRST_CODE <= ord(ch) <= LAST_CODE:
            return "character %r outside the key alphabet" % ch
    return None


def sums(tables, key):
    a = b = c = 0
    t1, t2, t3 = tables
    for position, ch in enumerate(key):
        i = position * ALPHABET + ord(ch) - FIRST_CODE
        a = (a + t1[i]) & MASK32
        b = (b + t2[i]) & MASK32
        c = (c + t3[i]) & MASK32
    return a, b, c


def evaluate(tables, g, key_count, key):
    """The library's evaluation: slot of `key`, or a negative value."""
    if key_problem(key) is not None:
        return -1
    m = len(g)
    a, b, c = sums(tables, key)
    total = g[c % m] + g[b % m] + g[a % m]
    # reduce with the sign of the dividend, as C's % does
    return total % key_count if total >= 0 else -((-total) % key_count)


def _peel_order(edges, m):
    """Edges in peeling order, each with the vertex it was peeled by; None if cyclic."""
    incident = [[] for _ in range(m)]
    for index, edge in enumerate(edges):
        for v in edge:
            incident[v].append(index)
    degree = [len(lst) for lst in incident]
    removed = [False] * len(edges)
    order = []
    stack = [v for v in range(m) if degree[v] == 1]
    stack.reverse()
    while stack:
        v = stack.pop()
        if degree[v] != 1:
            continue
        edge_index = next(e for e in incident[v] if not removed[e])
        removed[edge_index] = True
        order.append((edge_index, v))
        for u in edges[edge_index]:
            degree[u] -= 1
            if degree[u] == 1:
                stack.append(u)
    return order if len(order) == len(edges) else None


def _assign(edges, order, key_count, m):
    g = [-1] * m
    for edge_index, free_vertex in reversed(order):
        others = 0
        for u in edges[edge_index]:
            if u == free_vertex:
                continue
            if g[u] < 0:
                g[u] = 0
            others += g[u]
        g[free_vertex] = (edge_index - others) % key_count
    return g


def build(keys, seed=DEFAULT_SEED):
    """Tables for `keys` (key i hashes to slot i): returns (tables, g, attempts)."""
    n = len(keys)
    if n == 0:
        raise HashError("no keys")
    seen = {}
    for index, key in enumerate(keys):
        problem = key_problem(key)
        if problem:
            raise HashError("key %r: %s" % (key, problem))
        if key in seen:
            raise HashError("key %r appears twice (records %d and %d)" % (key, seen[key], index))
        seen[key] = index
    m = vertex_count(n)
    rng = SplitMix64(seed)
    for attempt in range(1, MAX_ATTEMPTS + 1):
        tables = tuple([rng.below(m) for _ in range(TABLE_SIZE)] for _ in range(3))
        edges = []
        for key in keys:
            a, b, c = sums(tables, key)
            edge = (a % m, b % m, c % m)
            if len(set(edge)) < 3:
                break
            edges.append(edge)
        if len(edges) < n:
            continue
        order = _peel_order(edges, m)
        if order is None:
            continue
        g = _assign(edges, order, n, m)
        return tables, g, attempt
    raise HashError("no acyclic hypergraph found in %d attempts" % MAX_ATTEMPTS)


def verify(tables, g, keys):
    """Raises HashError unless every key hashes to its own slot."""
    for index, key in enumerate(keys):
        slot = evaluate(tables, g, len(keys), key)
        if slot != index:
            raise HashError("key %r (record %d) hashes to slot %d" % (key, index, slot))
