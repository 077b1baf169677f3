#!/usr/bin/env python3
"""Seed corpora for the fuzz targets: small valid files of every kind each reader takes.

    python3 scripts/fuzz-seeds.py OUTDIR

writes OUTDIR/fuzz_<target>/ for every target: GIFs, pictures, settings files, videos,
QuickBack presets, user vector strings and scripts.
Pictures come from ImageMagick (convert) and gifsicle, which cover the encoders' many
variants; a few odd but valid files are built here byte by byte. `make fuzz` runs it.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from gif_bytes import lzw_plain, sub_blocks  # noqa: E402


def write(folder, name, data):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def run(args):
    """Runs a tool; returns False (and says so) when it is missing or fails."""
    try:
        subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        return True
    except (OSError, subprocess.CalledProcessError) as e:
        print("fuzz-seeds: skipped (%s): %s" % (" ".join(args[:3]), e), file=sys.stderr)
        return False


# --- GIF bytes by hand ---------------------------------------------------------------

def gif_header(w, h, colours=4):
    bits = max(1, (colours - 1).bit_length())
    table = bytes(v for i in range(1 << bits) for v in (i * 60 % 256, i * 90 % 256, i * 30 % 256))
    return b"GIF89a" + struct.pack("<HHBBB", w, h, 0x80 | (bits - 1), 0, 0) + table


def gif_frame(w, h, pixels, left=0, top=0, interlaced=False):
    return struct.pack("<BHHHHB", 0x2C, left, top, w, h, 0x40 if interlaced else 0) + lzw_plain(pixels, 2)


def gce(delay, transparent=None, disposal=0):
    flags = (disposal << 2) | (1 if transparent is not None else 0)
    return struct.pack("<BBBBHBB", 0x21, 0xF9, 4, flags, delay, transparent or 0, 0)


def hand_made_gifs(folder):
    w, h = 6, 4
    px = [(x + y) % 4 for y in range(h) for x in range(w)]
    loop = b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
    anim = gif_header(w, h) + loop
    for i in range(3):
        anim += gce(5 * (i + 1), transparent=i if i else None, disposal=i) + gif_frame(w, h, [(p + i) % 4 for p in px])
    anim += b"\x3B"
    write(folder, "hand-animated.gif", anim)
    # Comment of 1-byte sub-blocks, plain text, an unknown application and label.
    odd = gif_header(w, h)
    odd += b"\x21\xFE" + sub_blocks(b"a comment in tiny blocks", 1)
    odd += b"\x21\x01\x0C" + struct.pack("<HHHHBBBB", 0, 0, 6, 4, 1, 1, 1, 0) + sub_blocks(b"text")
    odd += b"\x21\xFF\x0BXMP DataXMP" + sub_blocks(bytes(range(40)), 7)
    odd += b"\x21\xFF\x0A" + bytes(10) + sub_blocks(b"ten-byte block")
    odd += b"\x21\xF2" + sub_blocks(b"unknown label")
    odd += gif_frame(w, h, px, interlaced=True) + b"\x3B"
    write(folder, "hand-extensions.gif", odd)
    # A frame of 0 x 0 (takes the screen size), a frame past the screen, no trailer.
    edge = gif_header(w, h) + gif_frame(0, 0, px) + gif_frame(4, 2, px[:8], left=4, top=3)
    write(folder, "hand-edges.gif", edge)
    # Cut in the middle of the last frame.
    write(folder, "hand-cut.gif", anim[:len(anim) - 9])


# --- other formats by hand ---------------------------------------------------------------

def bmp_rle8(w, h):
    palette = b"".join(struct.pack("<BBBB", i * 80 % 256, i * 40 % 256, i * 20 % 256, 0) for i in range(4))
    data = bytearray()
    for y in range(h):
        data += bytes([3, y % 4, 0, 3, 1, 2, 3, 0])  # a run, a literal run of 3 (padded)
        data += bytes([0, 0])
    data += bytes([0, 2, 1, 0, 0, 1])  # a move, then the end of the bitmap
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 1, len(data), 2835, 2835, 4, 0)
    off = 14 + len(info) + len(palette)
    return b"BM" + struct.pack("<IHHI", off + len(data), 0, 0, off) + info + palette + bytes(data)


def png_bytes(w, h, colour_type, depth, rows, interlace=0):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    raw = b"".join(b"\x00" + r for r in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, depth, colour_type, 0, 0, interlace))
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def ico_with(images):
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, bodies = b"", b""
    for w, h, body in images:
        entries += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(body), offset)
        bodies += body
        offset += len(body)
    return head + entries + bodies


def icon_dib32(w, h):
    info = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytes(v for i in range(w * h) for v in (i * 7 % 256, i * 3 % 256, 200, 255 if i % 3 else 0))
    mask = bytes(((w + 31) // 32) * 4 * h)
    return info + pixels + mask


def hand_made_images(folder):
    write(folder, "hand-rle8.bmp", bmp_rle8(12, 5))
    write(folder, "hand-gray2.png", png_bytes(5, 3, 0, 2, [bytes([0x1B, 0x40]) for _ in range(3)]))
    write(folder, "hand-rgba16.png", png_bytes(2, 2, 6, 16, [bytes(range(16)) for _ in range(2)], interlace=1))
    write(folder, "hand-icon32.ico", ico_with([(8, 8, icon_dib32(8, 8)),
                                               (4, 4, png_bytes(4, 4, 2, 8, [bytes(12)] * 4))]))


# --- files from ImageMagick and gifsicle -------------------------------------------------

def tool_images(gif_folder, image_folder):
    if not shutil.which("convert"):
        print("fuzz-seeds: ImageMagick's convert is missing: only hand-made seeds", file=sys.stderr)
        return
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, "src.png")
        if not run(["convert", "-size", "24x16", "gradient:red-blue", "-fill", "yellow", "-draw", "circle 12,8 12,3", src]):
            return
        out = lambda folder, name: os.path.join(folder, name)
        for name, args in [
            ("rgb24.bmp", ["-type", "TrueColor", "BMP3:"]),
            ("palette8.bmp", ["-colors", "16", "-type", "Palette", "BMP3:"]),
            ("rle8.bmp", ["-colors", "16", "-type", "Palette", "-compress", "RLE", "BMP3:"]),
            ("mono1.bmp", ["-monochrome", "BMP3:"]),
            ("rgba32.bmp", ["-alpha", "set", "-channel", "A", "-evaluate", "set", "60%", "BMP:"]),
            ("rgb565.bmp", ["-define", "bmp:subtype=RGB565", "BMP:"]),
            ("os2.bmp", ["BMP2:"]),
            ("icon.ico", ["-resize", "16x16!", "ICO:"]),
            ("gray.png", ["-colorspace", "Gray", "PNG8:"]),
            ("palette.png", ["-colors", "8", "PNG8:"]),
            ("rgb48.png", ["-depth", "16", "PNG48:"]),
            ("rgba.png", ["-alpha", "set", "-channel", "A", "-evaluate", "set", "50%", "PNG32:"]),
            ("interlaced.png", ["-interlace", "PNG", "PNG24:"]),
            ("baseline.jpg", ["-quality", "80", "JPEG:"]),
            ("progressive.jpg", ["-interlace", "JPEG", "-quality", "70", "JPEG:"]),
            ("gray.jpg", ["-colorspace", "Gray", "JPEG:"]),
            ("sampling444.jpg", ["-sampling-factor", "1x1", "JPEG:"]),
        ]:
            fmt = args[-1]
            if not run(["convert", src] + args[:-1] + [fmt + out(image_folder, name)]):
                if os.path.exists(out(image_folder, name)):
                    os.remove(out(image_folder, name))
        frames = []
        for i, colour in enumerate(["red", "lime", "blue"]):
            f = os.path.join(tmp, "f%d.png" % i)
            run(["convert", "-size", "16x12", "xc:" + colour, "-fill", "white", "-draw", "rectangle %d,2 %d,6" % (i * 4, i * 4 + 3), f])
            frames.append(f)
        anim = out(gif_folder, "animated.gif")
        run(["convert", "-delay", "7", "-loop", "0"] + frames + [anim])
        run(["convert", "-delay", "3", "-dispose", "Background", "-transparent", "white"] + frames + [out(gif_folder, "transparent.gif")])
        run(["convert", src, "-interlace", "GIF", out(gif_folder, "interlaced.gif")])
        run(["convert", src, "GIF87:" + out(gif_folder, "gif87a.gif")])
        if shutil.which("gifsicle") and os.path.exists(anim):
            run(["gifsicle", "-O3", anim, "-o", out(gif_folder, "optimized.gif")])
            run(["gifsicle", "--comment", "seed", "--loopcount=2", "--disposal=previous", anim, "-o", out(gif_folder, "comment.gif")])
            run(["gifsicle", "--colors", "4", "--interlace", anim, "-o", out(gif_folder, "four-colours.gif")])


# --- settings files ----------------------------------------------------------------------

INI_SEEDS = {
    "settings.ini": "[Window]\nState=0\nLeft=10\nTop=20\nWidth=800\nHeight=600\n[Directories]\nFrames=/home/a/\n"
                    "Open=/home/a/gifs/\nSave=/tmp/\n[Frames]\nCount=10\nWidth=120\nHeight=60\nDelay=10\n"
                    "[Memory]\nLimit=2G\n",
    "crlf.ini": "[Frames]\r\nCount=0x20\r\nDelay=-5\r\n\r\n[Memory]\r\nLimit = 512 MiB \r\n",
    "odd.ini": "; comment\n[ Frames ]\nCount\n=no key\nWidth=99999999999\n[Frames]\nHeight=+7\n[]\n[Memory]\nLimit=12 apples\n",
    "drawf.ini": "[DrawF]\nLeft=1\nTop=2\nPenColor=16711680\nFont=Times New Roman\n",
}


def videos(folder):
    """Short videos FFmpeg writes in the containers and codecs the video reader meets."""
    with tempfile.TemporaryDirectory() as tmp:
        jobs = [
            ("raw.avi", ["-c:v", "rawvideo", "-pix_fmt", "bgr24"]),
            ("pal8.avi", ["-c:v", "rawvideo", "-pix_fmt", "pal8"]),
            ("mjpeg.avi", ["-c:v", "mjpeg", "-q:v", "8"]),
            ("mpeg4.avi", ["-c:v", "mpeg4"]),
            ("h264.mp4", ["-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p"]),
            ("vp8.webm", ["-c:v", "libvpx", "-b:v", "50k"]),
            ("ffv1.mkv", ["-c:v", "ffv1"]),
        ]
        for name, codec in jobs:
            out = os.path.join(tmp, name)
            if run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=32x24:rate=5:duration=0.6"]
                   + codec + [out]):
                shutil.copy(out, os.path.join(folder, name))


def animations(folder):
    """APNG files FFmpeg writes (with and without transparency) and animated WebP files
    img2webp writes (lossless and lossy)."""
    with tempfile.TemporaryDirectory() as tmp:
        jobs = [("rgb.apng", ["-pix_fmt", "rgb24", "-plays", "2", "-f", "apng"]),
                ("rgba.apng", ["-vf", "format=rgba,geq=r='X*8':g='Y*8':b='T*90':a='if(gt(X,16),255,0)'",
                               "-f", "apng"])]
        for name, args in jobs:
            out = os.path.join(tmp, name)
            if run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=32x24:rate=5:duration=0.6"]
                   + args + [out]):
                shutil.copy(out, os.path.join(folder, name))
        frames = []
        for i in range(3):
            out = os.path.join(tmp, "f%d.png" % i)
            if run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=24x16:rate=5",
                    "-vf", "select=eq(n\\,%d)" % i, "-frames:v", "1", out]):
                frames.append(out)
        for name, mode in (("lossless.webp", ["-lossless"]), ("lossy.webp", ["-lossy", "-q", "50"])):
            out = os.path.join(tmp, name)
            if frames and run(["img2webp", "-loop", "2"] + mode + ["-d", "70"] + frames + ["-o", out]):
                shutil.copy(out, os.path.join(folder, name))


PRESET_SEEDS = {
    "one.txt": "Plasma=0,0,0,12,3,7,100\n",
    "several.txt": "a=1,2,3,4,5,6,16\r\nb=40,40,40,0,0,0,255\nc=0,255,128,1,1,1,64\n",
    "odd.txt": "\n=1,2,3\nname=\nx=1,2,3,4,5,6,15\ny=-1,0,0,0,0,0,100\n",
}

VECTOR_SEEDS = {
    "triangle": "\x05\x03" + "0.5,0,1,1,0,1",
    "square": "\x10\x07" + "0,0,1,0,1,1,0,1",
    "odd": "\x02\x01" + "0.1,0.2,0.3",
    "outside": "\x08\x0f" + "-2,-2,3,0.5,0.5,4,1e9,-1e9",
    "spaces": "\x03\x04" + " 0.25 , 0.75 ,0.9,0.1,0.5,0.5 ",
}


SCRIPT_SEEDS = {
    "members.js": "\x00gfx.PenColor = '#F00'; gfx.Rectangle(1, 1, 10, 8); gfx.TextOut(2, 2, 'Hi');"
                  " gfx.Polygon([1, 1, 5, 9, 9, 1]); gfx.Effect('Invert', 0);",
    "polygon.js": "\x02 1, 2, 3, 4, 5, 6]);",
    "effect.js": "\x03Blur', 2);",
}


def project_seeds(folder):
    """Small projects as Anivor writes them: a manifest and stored PNG frames."""
    import io
    import zipfile
    frames = [png_bytes(4, 3, 2, 8, [bytes([200, 0, 0] * 4)] * 3),
              png_bytes(4, 3, 2, 8, [bytes([0, 0, 200] * 4)] * 3)]
    manifest = ('{"format":"anivor-project","version":1,"frameWidth":4,"frameHeight":3,'
                '"nextFrameNumber":3,"loopCount":0,"assembly":{"palette":"optimized","bits":8,'
                '"dither":"nearest","merge":false,"crop":true,"framePalettes":false},"frames":['
                '{"name":"Frame1","delay":"10","transparent":false,"picture":"frames/00001.png"},'
                '{"name":"Frame2","delay":"7","transparent":true,"picture":"frames/00002.png"}]}')
    for name, compression in (("stored.anivor", zipfile.ZIP_STORED), ("deflated.anivor", zipfile.ZIP_DEFLATED)):
        out = io.BytesIO()
        with zipfile.ZipFile(out, "w", compression) as z:
            z.writestr("project.json", manifest)
            for i, data in enumerate(frames):
                z.writestr("frames/%05d.png" % (i + 1), data)
        write(folder, name, out.getvalue())
        write(folder, "cut-" + name, out.getvalue()[: len(out.getvalue()) * 2 // 3])


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: fuzz-seeds.py OUTDIR")
    root = sys.argv[1]
    gifs = os.path.join(root, "fuzz_gif_reader")
    images = os.path.join(root, "fuzz_image_files")
    inis = os.path.join(root, "fuzz_ini_reader")
    hand_made_gifs(gifs)
    hand_made_images(images)
    tool_images(gifs, images)
    for name, text in INI_SEEDS.items():
        write(inis, name, text.encode())
    avis = os.path.join(root, "fuzz_avi_reader")
    os.makedirs(avis, exist_ok=True)
    videos(avis)
    presets = os.path.join(root, "fuzz_quickback_presets")
    for name, text in PRESET_SEEDS.items():
        write(presets, name, text.encode())
    vectors = os.path.join(root, "fuzz_user_vector_string")
    for name, text in VECTOR_SEEDS.items():
        write(vectors, name, text.encode("latin-1"))
    # Scripts: the sample scripts, each behind the byte that picks no prefix.
    scripts = os.path.join(root, "fuzz_script_host")
    samples = os.path.join(os.path.dirname(HERE), "examples", "scripts")
    for name in sorted(os.listdir(samples)) if os.path.isdir(samples) else []:
        if name.endswith(".js"):
            with open(os.path.join(samples, name), "rb") as f:
                write(scripts, name, b"\x00" + f.read())
    for name, text in SCRIPT_SEEDS.items():
        write(scripts, name, text.encode())
    projects = os.path.join(root, "fuzz_project_reader")
    project_seeds(projects)
    animated = os.path.join(root, "fuzz_animation_readers")
    os.makedirs(animated, exist_ok=True)
    animations(animated)
    for folder in (gifs, images, inis, avis, presets, vectors, scripts, projects, animated):
        print("%s: %d seeds" % (folder, len(os.listdir(folder))))


if __name__ == "__main__":
    main()
