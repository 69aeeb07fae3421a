#!/usr/bin/env python3
"""Writes the hand-made part of the fuzz seed corpus into corpus/<target>/.

The seeds named gen_* come from the project's generator (a 6 x 4 stack of
two energies in every format, and the reference spectrum of a 2 x 2 stack:
lumacresta-stackgen --width 6 --height 4 --energies 2
--formats tif,img16,img32,vrsk), demo.bat from examples/. This script adds
what the generator does not write: compressed and
big-endian TIFFs, damaged headers, "9809" files, configuration files and
batch texts with every keyword. Every seed stays a few KB.
"""
import math
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def put(target, name, data):
    d = os.path.join(HERE, "corpus", target)
    os.makedirs(d, exist_ok=True)
    if isinstance(data, str):
        data = data.encode()
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)


def tiff(width, height, rows_per_strip, compression, pixels, big_endian=False, shared=False):
    """A 16-bit grey TIFF; `shared` points every strip at the first one
    (then `pixels` need only cover the first strip)."""
    e = ">" if big_endian else "<"
    raw = b"".join(struct.pack(e + "H", p) for p in pixels)
    row_bytes = width * 2
    strips = []
    for y in range(0, rows_per_strip if shared else height, rows_per_strip):
        chunk = raw[y * row_bytes:(y + rows_per_strip) * row_bytes]
        if compression == 8:
            chunk = zlib.compress(chunk)
        elif compression == 32773:
            out = b""
            for i in range(0, len(chunk), 128):
                part = chunk[i:i + 128]
                out += bytes([len(part) - 1]) + part
            chunk = out
        strips.append(chunk)
    if shared:
        strips = [strips[0]] * ((height + rows_per_strip - 1) // rows_per_strip)
    n = len(strips)
    entries = [
        (256, 4, 1, width), (257, 4, 1, height), (258, 3, 1, 16), (259, 3, 1, compression),
        (262, 3, 1, 1), (273, 4, n, None), (277, 3, 1, 1), (278, 4, 1, rows_per_strip),
        (279, 4, n, None), (284, 3, 1, 1),
    ]
    header = (b"MM" if big_endian else b"II") + struct.pack(e + "HI", 42, 8)
    ifd_size = 2 + len(entries) * 12 + 4
    data_at = 8 + ifd_size
    offsets_at = data_at
    counts_at = offsets_at + (4 * n if n > 1 else 0)
    strip_at = counts_at + (4 * n if n > 1 else 0)
    offsets, counts, blob, pos = [], [], b"", strip_at
    seen = {}
    for s in strips:
        if shared and id(s) in seen:
            offsets.append(seen[id(s)])
        else:
            seen[id(s)] = pos
            offsets.append(pos)
            blob += s
            pos += len(s)
        counts.append(len(s))
    ifd = struct.pack(e + "H", len(entries))
    for tag, typ, count, value in entries:
        if tag in (273, 279):
            values = offsets if tag == 273 else counts
            if n == 1:
                value = values[0]
            else:
                value = offsets_at if tag == 273 else counts_at
        if typ == 3 and count == 1:
            ifd += struct.pack(e + "HHIHH", tag, typ, count, value, 0)
        else:
            ifd += struct.pack(e + "HHII", tag, typ, count, value)
    ifd += struct.pack(e + "I", 0)
    extra = b""
    if n > 1:
        extra = struct.pack(e + "%dI" % n, *offsets) + struct.pack(e + "%dI" % n, *counts)
    return header + ifd + extra + blob


def ramp(w, h):
    return [(x * 37 + y * 1013) % 65536 for y in range(h) for x in range(w)]


def tiffs():
    w, h = 8, 6
    put("fuzz_tiff", "plain_1strip.tif", tiff(w, h, h, 1, ramp(w, h)))
    put("fuzz_tiff", "plain_strips.tif", tiff(w, h, 2, 1, ramp(w, h)))
    put("fuzz_tiff", "bigendian.tif", tiff(w, h, 3, 1, ramp(w, h), big_endian=True))
    put("fuzz_tiff", "deflate.tif", tiff(w, h, 2, 8, ramp(w, h)))
    put("fuzz_tiff", "packbits.tif", tiff(w, h, 3, 32773, ramp(w, h)))
    # Strips sharing one compressed run: the shape of the half-GiB claim.
    put("fuzz_tiff", "deflate_shared.tif", tiff(64, 32, 1, 8, [0] * (64 * 32), shared=True))
    full = tiff(w, h, 2, 1, ramp(w, h))
    put("fuzz_tiff", "cut_directory.tif", full[:40])
    put("fuzz_tiff", "text_named_tif.tif", "this is a text file, not an image\n")


def img(w, h, bpp, comment):
    head = b"IM" + struct.pack("<HHH", len(comment), w, h) + b"\0" * 56
    fmt = "<H" if bpp == 2 else "<I"
    px = b"".join(struct.pack(fmt, p % (1 << (8 * bpp))) for p in ramp(w, h))
    return head + comment.encode() + px


def imgs():
    put("fuzz_img", "img16.img", img(8, 6, 2, "Prop_ImageWidth=8,Prop_ImageHeight=6,BytesPerPixel=2"))
    put("fuzz_img", "img32.img", img(8, 6, 4, "Prop_ImageWidth=8,Prop_ImageHeight=6,BytesPerPixel=4"))
    put("fuzz_img", "nocomment.img", img(4, 3, 2, ""))
    put("fuzz_img", "short.img", img(8, 6, 2, "BytesPerPixel=2")[:100])


def vrsk():
    lines = ["#VRSK-CTImg", "# RANGE_X0 0", "# RANGE_X1 4", "# RANGE_Y0 0", "# RANGE_Y1 3",
             "# comment \"quoted item\""]
    data = ["%d %d %g" % (x, y, (x + y) * 0.01 - 0.02) for y in range(3) for x in range(4)]
    put("fuzz_vrsk", "small.dat", "\n".join(lines + data) + "\n")
    put("fuzz_vrsk", "header_only.dat", "\n".join(lines) + "\n")
    put("fuzz_vrsk", "odd_values.dat",
        "\n".join(lines[:5] + ["0 0 nan", "1 0 1e999", "2 0 -0.1", "3 0 0.01", "x"]) + "\n")
    put("fuzz_vrsk", "float_range.dat",
        "#VRSK-CTImg\n#\trange_x0\t-1.5\n# RANGE_X1 2.9\n# RANGE_Y0 1e3\n# RANGE_Y1 1001\n0 0 1\n")


def file9809(n):
    head = (" 9809     KEK-PF   BL9A\n Sample          22.05.11 17:26\n F2T0\n"
            " Mono :   Si(111)       D=  3.13551 A    Initial angle= 13.93 deg\n"
            "  Angle(c)  Angle(o)    time/s         2         3\n"
            "      Mode         0         0         1         3\n"
            "    Offset         0         0  7753.700  7157.100\n")
    rows = []
    for i in range(n):
        a = 14.2 - i * 0.01
        rows.append("  %.5f  %.5f      1.00   %d     %d" % (a, a, 1700000 - i * 50, 14000 - i * 30))
    return head + "\n".join(rows) + "\n"


def spectra():
    put("fuzz_spectrum", "f9809.dat", file9809(40))
    cols = "# Energy mu\nEnergy mu\n" + "".join(
        "%.2f %.5f\n" % (8950 + i, 0.3 + 0.7 / (1 + math.exp(-(i - 29) / 1.5))) for i in range(60))
    put("fuzz_spectrum", "columns.dat", cols)
    put("fuzz_spectrum", "odd_columns.dat", "1 2\n-5 3\n0 0\nnan 1\n8000 inf\n8001 1e308\n8002\n")
    put("fuzz_energyref", "f9809.dat", file9809(30))
    put("fuzz_energyref", "angles.txt", "# angle\n" + "".join("%.4f 1\n" % (14.2 - i * 0.01) for i in range(30)))
    put("fuzz_energyref", "odd.txt", "# x\n0 0\n180 1\n-3 2\n90 x\n1e308 1\n")


def configs():
    put("fuzz_config", "basic.cfg",
        "-d /tmp -br /tmp -showA2B 1 -x -e\n"
        "DataRoot \"/tmp/My Data\"   # measured stacks\nBatchRoot /tmp\nShowAnalyzer2Button 1\n")
    put("fuzz_config", "odd.cfg",
        "-c\n# only a comment\nDataRoot\nDataRoot twice\nUnknownKey \"unclosed\n'quoted # not' a\nx\"y\n")


def batches():
    put("fuzz_batch", "loops.bat",
        ":echo \"start\"\n:for i %i 1 3\n:for j %j 03 01 1\n  load_file \"a%i_%j.tif\" # c\n"
        ":next j\n:next i\n:end\nnever_run\n")
    put("fuzz_batch", "rem.bat",
        ":rem_start\nanything here\n:rem_end\n:echo after\nunknown_word 1 2\n")
    put("fuzz_batch", "continued.bat",
        "load_i1_files \\\n  a.tif \\\n  b.tif\n:for k K 1 2 0\nsave_data \"K K\" \\\n\n:next k\n")
    put("fuzz_batch", "quotes.bat", "cmd \"unclosed\ncmd a\" b\n\"\" x\n# only comment\n\n")


def reproducers():
    """Inputs of the fault classes closed after fuzzing, for the ordinary
    suite (tests/data/fuzz)."""
    d = os.path.join(HERE, "..", "data", "fuzz")
    os.makedirs(d, exist_ok=True)
    # 33 KB claiming 65535 x 4096 pixels: 4096 one-row strips that all
    # point at the same deflated row of zeros.
    with open(os.path.join(d, "deflate_shared_strips.tif"), "wb") as f:
        f.write(tiff(65535, 4096, 1, 8, [0] * 65535, shared=True))
    # A VRSK header announcing 65535 x 4096 float pixels and no data line.
    with open(os.path.join(d, "vrsk_header_only.dat"), "w") as f:
        f.write("#VRSK-CTImg\n# RANGE_X0 0\n# RANGE_X1 65535\n# RANGE_Y0 0\n# RANGE_Y1 4096\n")
    # Found by fuzz_emp: a valid header claiming 88979 x 359 values and no
    # body (each missing value once wrote "run out!").
    with open(os.path.join(d, "emp_header_only_large.emp"), "wb") as f:
        f.write(b'###Lumacresta::LMCR\nRe53\nWidth [pix]             : 88979\nSpac    : 4\nHeight [pix]            : 359\nStd Edge Energy [eV]    : 88979\nSpacing [nm]            : 3.14\n##-----------------Bin Half Heighex]')


if __name__ == "__main__":
    reproducers()
    tiffs()
    imgs()
    vrsk()
    spectra()
    configs()
    batches()
    sys.exit(0)
