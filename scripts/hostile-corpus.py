#!/usr/bin/env python3
"""A corpus of hostile picture files, none larger than about 1 MB.

    python3 scripts/hostile-corpus.py OUTDIR [--quick]

Claimed sizes up to 65535 x 65535, every cut of a small animated GIF, extensions of
1-byte sub-blocks, run-length data that claims the whole picture in a few bytes, files
that decode legally to very large pictures, GIFs without frames or with a 0 x 0 screen,
frames far larger than their screen, run-length AVIs of a few bytes a frame claiming
large pictures, many frames or more frames than they hold.
--quick leaves out the large files that take a while to make (the test run).
scripts/hostile-measure.py runs anivor-cli over the corpus.
"""
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from gif_bytes import lzw_plain, pack_codes, sub_blocks  # noqa: E402


def lzw_flat(pixel_count, code_size=2):
    """One colour, as tightly as LZW packs it: each code one pixel longer than the last."""
    clear, end = 1 << code_size, (1 << code_size) + 1
    codes, done = [], 0
    while done < pixel_count:
        width, free, length = code_size + 1, clear + 2, 1
        codes.append((clear, width))
        codes.append((0, width))
        done += 1
        while done < pixel_count and free < 4095:
            length += 1
            codes.append((free, width))  # not yet in the table: the previous string plus 0
            done += length
            free += 1
            if free >= (1 << width) and width < 12:
                width += 1
    codes.append((end, 12))
    return bytes([code_size]) + sub_blocks(pack_codes(codes))


def gif_screen(w, h, table=True):
    flags = 0x81 if table else 0
    head = b"GIF89a" + struct.pack("<HHBBB", w, h, flags, 0, 0)
    return head + (bytes([0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 0, 255]) if table else b"")


def gif_frame(w, h, data, left=0, top=0):
    return struct.pack("<BHHHHB", 0x2C, left, top, w, h, 0) + data


def three_frame_gif():
    w, h = 12, 8
    out = gif_screen(w, h) + b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
    for i in range(3):
        px = [(x + y + i) % 4 for y in range(h) for x in range(w)]
        out += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, 0, 10, 0, 0) + gif_frame(w, h, lzw_plain(px))
    return out + b"\x3B"


def bmp(info, palette, data):
    off = 14 + len(info) + len(palette)
    return b"BM" + struct.pack("<IHHI", off + len(data), 0, 0, off) + info + palette + data


def bmp_info(w, h, bits, compression=0):
    return struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, compression, 0, 2835, 2835, 0, 0)


GRAYS = b"".join(bytes([i, i, i, 0]) for i in range(256))


def png(w, h, colour_type, depth, idat, interlace=0):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, depth, colour_type, 0, 0, interlace))
            + chunk(b"IDAT", idat) + chunk(b"IEND", b""))


def deflate_zeros(total):
    """zlib data of `total` zero bytes, made piece by piece."""
    z = zlib.compressobj(9)
    out, chunk = bytearray(), bytes(1 << 20)
    left = total
    while left > 0:
        n = min(left, len(chunk))
        out += z.compress(chunk[:n])
        left -= n
    return bytes(out + z.flush())


def adam7_bytes(w, h, channels):
    """Bytes of filtered rows an interlaced 8-bit picture decompresses to."""
    total = 0
    for xs, ys, dx, dy in [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]:
        cols, rows = (w - xs + dx - 1) // dx, (h - ys + dy - 1) // dy
        if cols > 0 and rows > 0:
            total += rows * (1 + cols * channels)
    return total


def jpeg_claiming(w, h, progressive=False):
    """SOI, a quantisation table, a frame header claiming w x h, Huffman tables, a scan
    header and a few bytes of data."""
    soi = b"\xFF\xD8"
    dqt = b"\xFF\xDB" + struct.pack(">H", 67) + b"\x00" + bytes([1] * 64)
    sof = (b"\xFF\xC2" if progressive else b"\xFF\xC0") + struct.pack(">HBHHB", 11, 8, h, w, 1) + b"\x01\x11\x00"
    dht = b"\xFF\xC4" + struct.pack(">H", 3 + 16 + 1) + b"\x00" + bytes([1] + [0] * 15) + b"\x00"
    dht += b"\xFF\xC4" + struct.pack(">H", 3 + 16 + 1) + b"\x10" + bytes([1] + [0] * 15) + b"\x00"
    sos = b"\xFF\xDA" + struct.pack(">HB", 8, 1) + b"\x01\x00" + (b"\x00\x00\x00" if progressive else b"\x00\x3F\x00")
    return soi + dqt + sof + dht + sos + bytes(64) + b"\xFF\xD9"


def ico(entries):
    out = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    bodies = b""
    for body in entries:
        out += struct.pack("<BBBBHHII", 0, 0, 0, 0, 1, 32, len(body), offset)
        offset += len(body)
        bodies += body
    return out + bodies


def avi_rle8(w, h, frames, data=b"\x00\x01", claimed=None):
    """An 8-bit run-length AVI of `frames` frames claiming w x h, each frame's data
    `data` (by default only the end-of-picture code); the headers claim `claimed` frames."""
    def chunk(kind, body):
        return kind + struct.pack("<I", len(body)) + body + (b"\0" if len(body) % 2 else b"")

    def lst(kind, body):
        return chunk(b"LIST", kind + body)
    claimed = frames if claimed is None else claimed
    avih = struct.pack("<14I", 40000, 0, 0, 0x10, claimed, 0, 1, 0, w, h, 0, 0, 0, 0)
    strh = b"vidsmrle" + struct.pack("<IHHIIIIIIIIhhhh", 0, 0, 0, 0, 1, 25, 0, claimed, 0, 0, 0, 0, 0, 0, 0)
    strf = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 1, 0, 0, 0, 256, 0) + GRAYS
    hdrl = lst(b"hdrl", chunk(b"avih", avih) + lst(b"strl", chunk(b"strh", strh) + chunk(b"strf", strf)))
    movi, index, offset = b"", b"", 4
    for _ in range(frames):
        movi += chunk(b"00dc", data)
        index += b"00dc" + struct.pack("<III", 0x10, offset, len(data))
        offset += 8 + len(data) + len(data) % 2
    return chunk(b"RIFF", b"AVI " + hdrl + lst(b"movi", movi) + chunk(b"idx1", index))


def corpus(quick):
    files = {}
    # GIF: claimed screens and frames.
    one_pixel = gif_frame(1, 1, lzw_plain([1]))
    files["gif-screen-16384.gif"] = gif_screen(16384, 16384) + one_pixel + b"\x3B"
    files["gif-screen-65535.gif"] = gif_screen(65535, 65535) + one_pixel + b"\x3B"
    files["gif-frame-65535.gif"] = gif_screen(10, 10) + gif_frame(65535, 65535, lzw_plain([1, 2, 3])) + b"\x3B"
    files["gif-frame-16384-short.gif"] = gif_screen(16384, 16384) + gif_frame(16384, 16384, lzw_plain([1] * 40)) + b"\x3B"
    files["gif-no-frames.gif"] = gif_screen(20, 20) + b"\x3B"
    files["gif-zero-screen.gif"] = gif_screen(0, 0) + b"\x3B"
    files["gif-zero-screen-zero-frame.gif"] = gif_screen(0, 0) + gif_frame(0, 0, lzw_plain([1])) + b"\x3B"
    files["gif-extensions-only.gif"] = gif_screen(8, 8) + b"\x21\xFE" + sub_blocks(b"only a comment") + b"\x3B"
    # Extensions of 1-byte sub-blocks, about 1 MB of them.
    tiny = b"\x21\xFE" + b"\x01a" * 500000 + b"\x00"
    files["gif-tiny-subblocks.gif"] = gif_screen(4, 4) + tiny + gif_frame(4, 4, lzw_plain([1] * 16)) + b"\x3B"
    files["gif-tiny-unknown-app.gif"] = (gif_screen(4, 4) + b"\x21\xFF\x0BXXXXXXXXYYY" + b"\x01\x07" * 500000 + b"\x00"
                                         + gif_frame(4, 4, lzw_plain([2] * 16)) + b"\x3B")
    # Many tiny frames: gif-frames writes each one as a file.
    many = gif_screen(2, 2) + b"".join(gif_frame(2, 2, lzw_plain([i % 4] * 4)) for i in range(1000)) + b"\x3B"
    files["gif-1000-frames.gif"] = many
    # Every cut of a small animated GIF.
    anim = three_frame_gif()
    files["gif-animated.gif"] = anim
    for cut in range(1, len(anim)):
        files["gif-cut-%04d.gif" % cut] = anim[:cut]
    if not quick:
        # A legal 16384 x 16384 frame of one colour in about 100 KB.
        files["gif-frame-16384-flat.gif"] = gif_screen(16384, 16384) + gif_frame(16384, 16384, lzw_flat(16384 * 16384)) + b"\x3B"

        # The same frame on a 10 x 10 screen: the frame is clipped to the screen.
        files["gif-frame-16384-on-10.gif"] = gif_screen(10, 10) + gif_frame(16384, 16384, lzw_flat(16384 * 16384)) + b"\x3B"

    # AVI: run-length frames of a few bytes claiming large pictures.
    files["avi-rle8-8192.avi"] = avi_rle8(8192, 8192, 8)
    files["avi-rle8-8192-claims-a-million.avi"] = avi_rle8(8192, 8192, 4, claimed=1000000)
    files["avi-rle8-16000-long.avi"] = avi_rle8(16000, 16000, 2000)
    files["avi-rle8-4096-long.avi"] = avi_rle8(4096, 4096, 30000)

    # BMP.
    files["bmp-65535-header.bmp"] = bmp(bmp_info(65535, 65535, 24), b"", bytes(16))
    files["bmp-rle8-16384-eob.bmp"] = bmp(bmp_info(16384, 16384, 8, 1), GRAYS, b"\x00\x01")
    files["bmp-rle8-16384-skips.bmp"] = bmp(bmp_info(16384, 16384, 8, 1), GRAYS, b"\x00\x02\xFF\xFF" * 64 + b"\x00\x01")
    files["bmp-rle4-65535.bmp"] = bmp(bmp_info(65535, 65535, 4, 2), GRAYS[:64], b"\x00\x01")
    # A megabyte of end-of-line codes: enough data for the bound, a 256 MB picture.
    files["bmp-rle8-16384-lines.bmp"] = bmp(bmp_info(16384, 16384, 8, 1), GRAYS, b"\x10\x07\x00\x00" * 262200 + b"\x00\x01")
    files["bmp-negative-width.bmp"] = bmp(bmp_info(-5, 5, 24), b"", bytes(100))
    files["bmp-huge-offset.bmp"] = b"BM" + struct.pack("<IHHI", 60, 0, 0, 0xFFFFFFF0) + bmp_info(4, 4, 24) + bytes(8)

    # PNG.
    files["png-65535-header.png"] = png(65535, 65535, 2, 8, zlib.compress(bytes(100)))
    files["png-16384-tiny.png"] = png(16384, 16384, 2, 8, zlib.compress(bytes(1000)))
    if not quick:
        # Legal, compressed as far as deflate goes: under a megabyte for 768 MB of pixels.
        rows = 16384
        files["png-16384-zeros.png"] = png(16384, 16384, 2, 8, deflate_zeros(rows * (1 + 16384 * 3)))
        files["png-8192-rgba-interlaced.png"] = png(8192, 8192, 6, 8, deflate_zeros(adam7_bytes(8192, 8192, 4)), interlace=1)

    # JPEG.
    files["jpeg-65500-header.jpg"] = jpeg_claiming(65500, 65500)
    files["jpeg-16384-progressive.jpg"] = jpeg_claiming(16384, 16384, progressive=True)
    files["jpeg-truncated.jpg"] = jpeg_claiming(64, 64)[:-40]

    # ICO.
    files["ico-16384-doubled.ico"] = ico([bmp_info(16384, 2 * 16384, 24) + bytes(64)])
    files["ico-60000.ico"] = ico([bmp_info(60000, 2 * 60000, 32) + bytes(64)])
    files["ico-png-65535.ico"] = ico([png(65535, 65535, 6, 8, zlib.compress(bytes(100)))])
    files["ico-count-65535.ico"] = struct.pack("<HHH", 0, 1, 65535) + bytes(64)
    if not quick:
        files["ico-png-16384.ico"] = ico([files["png-16384-zeros.png"]])
    return files


def main():
    args = [a for a in sys.argv[1:] if a != "--quick"]
    if len(args) != 1:
        sys.exit("usage: hostile-corpus.py OUTDIR [--quick]")
    out = args[0]
    os.makedirs(out, exist_ok=True)
    files = corpus("--quick" in sys.argv)
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
    print("%d files in %s, largest %d bytes" % (len(files), out, max(len(d) for d in files.values())))


if __name__ == "__main__":
    main()
