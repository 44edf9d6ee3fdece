#!/usr/bin/env python3
"""Writes the WAV reader's seed corpus: small valid files of every supported
layout and malformed ones that exercise each failure of the chunk walk.

Usage: tools/make_wav_corpus.py [OUTPUT_DIR]   (default fuzz/corpus/wavread)
The output depends on nothing but this script."""

import math
import os
import struct
import sys


def chunk(cid, body):
    pad = b"\0" if len(body) % 2 else b""
    return cid + struct.pack("<I", len(body)) + body + pad


def fmt(tag=1, channels=1, rate=11025, bits=16, align=None, extra=b""):
    if align is None:
        align = channels * ((bits + 7) // 8)
    return struct.pack("<HHIIHH", tag, channels, rate, rate * align, align, bits) + extra


def riff(body, size=None):
    if size is None:
        size = len(body) + 4
    return b"RIFF" + struct.pack("<I", size) + b"WAVE" + body


def tone16(n, rate, channels=1):
    out = bytearray()
    for i in range(n):
        s = int(12000 * math.sin(2 * math.pi * 700 * i / rate))
        out += struct.pack("<h", s) * channels
    return bytes(out)


def samples(n, bits, rate):
    out = bytearray()
    for i in range(n):
        s = int(12000 * math.sin(2 * math.pi * 700 * i / rate))
        if bits == 8:
            out.append((s >> 8) + 128)
        elif bits == 24:
            out += struct.pack("<i", s << 8)[:3]
        elif bits == 32:
            out += struct.pack("<i", s << 16)
        else:
            out += struct.pack("<h", s)
    return bytes(out)


def files():
    yield "mono16_11025.wav", riff(chunk(b"fmt ", fmt()) + chunk(b"data", tone16(300, 11025)))
    yield "stereo16_22050.wav", riff(
        chunk(b"fmt ", fmt(channels=2, rate=22050)) + chunk(b"data", tone16(300, 22050, 2)))
    yield "mono16_44100.wav", riff(
        chunk(b"fmt ", fmt(rate=44100)) + chunk(b"data", tone16(600, 44100)))
    for bits in (8, 24, 32):
        yield "mono%d_11025.wav" % bits, riff(
            chunk(b"fmt ", fmt(bits=bits)) + chunk(b"data", samples(200, bits, 11025)))
    yield "odd_data.wav", riff(chunk(b"fmt ", fmt(bits=8)) + chunk(b"data", b"\x80\x90\xa0"))
    yield "junk_and_list.wav", riff(
        chunk(b"JUNK", b"x" * 5) + chunk(b"fmt ", fmt()) + chunk(b"LIST", b"INFOabcd")
        + chunk(b"data", tone16(50, 11025)))
    yield "extensible.wav", riff(
        chunk(b"fmt ", fmt(tag=0xFFFE, extra=struct.pack("<HHI", 22, 16, 4) + b"\0" * 16))
        + chunk(b"data", tone16(50, 11025)))
    yield "float.wav", riff(
        chunk(b"fmt ", fmt(tag=3, bits=32)) + chunk(b"data", struct.pack("<4f", 0, .5, -.5, 1)))
    yield "rate48000.wav", riff(chunk(b"fmt ", fmt(rate=48000)) + chunk(b"data", tone16(50, 48000)))
    yield "wide_frame.wav", riff(
        chunk(b"fmt ", fmt(channels=10)) + chunk(b"data", tone16(20, 11025, 10)))
    yield "data_before_fmt.wav", riff(chunk(b"data", tone16(50, 11025)) + chunk(b"fmt ", fmt()))
    yield "no_fmt.wav", riff(chunk(b"data", tone16(10, 11025)))
    yield "fmt_cut.wav", riff(b"fmt " + struct.pack("<I", 16) + b"\1\0\1\0")
    yield "data_past_end.wav", riff(
        chunk(b"fmt ", fmt()) + b"data" + struct.pack("<I", 0xFFFFFFF0) + tone16(40, 11025))
    yield "riff_past_end.wav", riff(
        chunk(b"fmt ", fmt()) + chunk(b"data", tone16(40, 11025)), size=0x7FFFFFFF)
    yield "huge_unknown_chunk.wav", riff(
        chunk(b"fmt ", fmt()) + b"LIST" + struct.pack("<I", 0xFFFFFFFE) + b"\0" * 8)
    yield "zero_align.wav", riff(chunk(b"fmt ", fmt(align=0)) + chunk(b"data", b"\1\2\3\4"))
    yield "not_riff.wav", b"RIFX" + struct.pack("<I", 4) + b"WAVE"
    yield "short_header.wav", b"RIFF\x10\x00"


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "fuzz", "corpus", "wavread")
    os.makedirs(out, exist_ok=True)
    for name, data in files():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
