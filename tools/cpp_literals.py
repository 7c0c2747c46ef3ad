"""Rendering helpers shared by the table modules: C++ string and array literals."""

HEADER_RULE = "// " + "-" * 94


def byte_string_literal(data):
    """A C++ string literal holding exactly `data` (bytes).

    Printable ASCII stays as it is, UTF-8 sequences of printable characters stay as
    UTF-8 text (the sources are compiled as UTF-8), every other byte becomes a
    three-digit octal escape, which can never swallow a following digit.
    """
    out = []
    i = 0
    while i < len(data):
        byte = data[i]
        if 0x20 <= byte < 0x7F and byte not in (0x22, 0x5C, 0x3F):
            out.append(chr(byte))
            i += 1
            continue
        if byte >= 0xC2:
            length = 2 if byte < 0xE0 else 3 if byte < 0xF0 else 4
            try:
                ch = data[i:i + length].decode("utf-8")
            except UnicodeDecodeError:
                ch = ""
            if len(ch) == 1 and ch.isprintable():
                out.append(ch)
                i += length
                continue
        out.append("\\%03o" % byte)
        i += 1
    return '"' + "".join(out) + '"'


def number_rows(values, per_row, width=0):
    """Comma-separated numbers, `per_row` to a line, indented by four spaces."""
    lines = []
    for start in range(0, len(values), per_row):
        chunk = values[start:start + per_row]
        lines.append("    " + ", ".join(str(v).rjust(width) for v in chunk) + ",")
    return "\n".join(lines)


def comment_block(lines):
    """A // comment block framed by rules."""
    body = ["// " + line if line else "//" for line in lines]
    return "\n".join([HEADER_RULE] + body + [HEADER_RULE])
