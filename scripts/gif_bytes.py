"""GIF pieces built byte by byte, shared by the scripts that make test files."""


def sub_blocks(data, size=255):
    out = bytearray()
    for i in range(0, len(data), size):
        chunk = data[i:i + size]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def pack_codes(codes):
    """(code, width) pairs, least significant bit first."""
    acc, bits, out = 0, 0, bytearray()
    for code, width in codes:
        acc |= code << bits
        bits += width
        while bits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            bits -= 8
    if bits:
        out.append(acc & 0xFF)
    return bytes(out)


def lzw_plain(pixels, code_size=2):
    """Every pixel its own code, a clear code before the table would grow."""
    clear, end, width = 1 << code_size, (1 << code_size) + 1, code_size + 1
    room = (1 << width) - (clear + 2) - 1
    codes = [(clear, width)]
    for i, p in enumerate(pixels):
        if i and i % room == 0:
            codes.append((clear, width))
        codes.append((p, width))
    codes.append((end, width))
    return bytes([code_size]) + sub_blocks(pack_codes(codes))
