#!/usr/bin/env python3
"""Writes the benchmarks' test documents; the benchmarks call it on first use.

make-bench-doc.py OUT.rtf
    The everyday document (bench_rtf, run-bench.sh): 200 questions with
    formatted bodies, a table now and then, 20 embedded photographs and a
    few picture lines naming files written beside the document. Written as
    HTML and saved as RTF by LibreOffice, which stores every picture twice
    (the picture and a metafile copy), as a real document with pictures is.

make-bench-doc.py --opening N OUT.rtf
    N questions, each with formatted text and an embedded picture of its
    own, so none can be shared (bench_opentest).

make-bench-doc.py --paragraphs N OUT.rtf
make-bench-doc.py --megabytes N OUT.rtf
make-bench-doc.py --pictures N OUT.rtf
    Large documents written as RTF directly (LibreOffice would take too
    long): N short paragraphs (a tag line and four answers per question,
    about 80 bytes a paragraph, as a Word document in Russian); about N
    megabytes of questions with long answers; or N tiny embedded pictures
    that cannot be decoded (four \\bin bytes each), a hundred a question.
    All of them pass the check."""
import base64
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib


def rtf_text(text):
    """Russian text as Word writes it: \'hh escapes of Windows-1251."""
    return "".join(c if ord(c) < 128 else "\\'%02x" % c.encode("cp1251")[0] for c in text)


def write_large_rtf(kind, n, path):
    rng = random.Random(2026)
    words = ("сила масса ускорение скорость энергия работа мощность давление объём плотность "
             "температура заряд напряжение ток сопротивление частота волна период импульс").split()
    head = ("{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\froman\\fcharset204 Times New Roman;}}"
            "\\pard\\plain\\f0\\fs24\n")
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write(head)
        f.write(rtf_text("Контрольная работа") + "\\par\n")
        q = 0
        written = 0
        while True:
            if kind == "paragraphs" and q * 5 + 5 > n - 1:
                break
            if kind == "pictures" and q * 100 >= n:
                break
            if kind == "megabytes" and written >= n * 1_000_000:
                break
            q += 1
            parts = ["\\{test=%d\\}\\par\n" % rng.randint(1, 4)]
            if kind == "pictures":
                parts.append(rtf_text("Вопрос %d. " % q)
                             + "{\\pict\\pngblip\\bin4 PNG?}" * min(100, n - q * 100 + 100)
                             + "\\par\n")
                parts += ["%d) %s\\par\n" % (a, rtf_text(rng.choice(words))) for a in range(1, 4)]
            elif kind == "paragraphs":
                parts.append(rtf_text("Вопрос %d. %s?" % (q, " ".join(rng.choice(words) for _ in range(3))))
                             + "\\par\n")
                parts += ["%d) %s %s\\par\n" % (a, rtf_text(rng.choice(words)), rtf_text(rng.choice(words)))
                          for a in range(1, 4)]
            else:
                parts.append(rtf_text("Вопрос %d. %s?" % (q, " ".join(rng.choice(words) for _ in range(40))))
                             + "\\par\n")
                parts += ["%d) %s\\par\n" % (a, rtf_text(" ".join(rng.choice(words) for _ in range(40))))
                          for a in range(1, 4)]
            chunk = "".join(parts)
            written += len(chunk)
            f.write(chunk)
        f.write("}\n")


def png(width, height, pixel):
    """A small RGB PNG, written without any imaging library."""
    rows = b"".join(b"\0" + bytes(c for x in range(width) for c in pixel(x, y)) for y in range(height))
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def write_opening_rtf(questions, path):
    with open(path, "w", encoding="ascii", newline="\r\n") as f:
        f.write("{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\froman\\fcharset204 Times New Roman;}}"
                "{\\colortbl;\\red192\\green0\\blue0;\\red0\\green64\\blue192;}\n")
        f.write("\\pard\\plain\\f0\\fs28 " + rtf_text("Большая контрольная работа") + "\\par\n")
        for q in range(1, questions + 1):
            picture = png(120, 90, lambda x, y: ((x * q) % 256, (y * 7 + q) % 256, (x ^ y ^ q) % 256))
            f.write("\\{test=%d\\}\\par\n" % ((q - 1) % 4 + 1))
            f.write("{\\b " + rtf_text("Вопрос %d." % q) + "} " + rtf_text("Прочитайте условие и выберите ответ. ")
                    + "{\\i\\cf1 " + rtf_text("Скорость v") + "{\\sub 0}" + rtf_text(" и ускорение a") + "}\\par\n")
            f.write("{\\pict\\pngblip\\picw120\\pich90\\picwgoal1800\\pichgoal1350\n" + picture.hex() + "}\\par\n")
            for a in range(1, 5):
                f.write(rtf_text("%d) вариант ответа номер %d к вопросу %d" % (a, a, q)) + "{\\super 2}\\par\n")
        f.write("}\n")


def write_everyday_rtf(path, questions=200):
    out = os.path.dirname(os.path.abspath(path))
    os.makedirs(out, exist_ok=True)
    rng = random.Random(2026)

    # Photographs of a few hundred pixels, also kept beside the document for
    # its picture lines.
    pictures = []
    for k in range(20):
        ext = "jpg" if k % 2 else "png"
        picture = os.path.join(out, "pic%02d.%s" % (k, ext))
        if not os.path.exists(picture):
            noise = ["+noise", "Gaussian"] if ext == "jpg" else []
            subprocess.run(["convert", "-size", "160x120", "-seed", str(k + 1), "plasma:"] + noise
                           + ["-quality", "90", picture], check=True)
        with open(picture, "rb") as f:
            pictures.append((ext, base64.b64encode(f.read()).decode()))

    words = ("сила масса ускорение скорость энергия работа мощность давление объём плотность температура "
             "заряд напряжение ток сопротивление частота волна период импульс траектория").split()

    def sentence(n):
        return " ".join(rng.choice(words) for _ in range(n)).capitalize()

    parts = ["<html><head><meta charset='utf-8'><title>Бенчмарк</title></head><body>",
             "<h1>Контрольная работа</h1><p>Вариант 1. Выберите правильный ответ.</p>"]
    picture_lines = 0
    for q in range(questions):
        parts.append("<p>{test=%d}</p>" % rng.randint(1, 4))
        if q % 20 == 7:
            parts.append("<p>{pic=pic%02d.%s}</p>" % (picture_lines, "jpg" if picture_lines % 2 else "png"))
            picture_lines += 1
        parts.append("<p><b>Вопрос %d.</b> %s <i>%s</i> <span style='color:#c00000'>%s</span>?</p>"
                     % (q + 1, sentence(8), sentence(3), sentence(2)))
        if q % 10 == 3:
            parts.append("<p align='center'><img src='data:image/%s;base64,%s' width='280' height='200'></p>"
                         % (("jpeg", "png")[pictures[q // 10][0] == "png"], pictures[q // 10][1]))
        if q % 7 == 2:
            parts.append("<table border='1'><tr><td>1) %s</td><td>2) %s</td></tr><tr><td>3) %s</td><td>4) %s</td></tr></table>"
                         % tuple(sentence(2) for _ in range(4)))
        else:
            for a in range(4):
                parts.append("<p>%d) %s</p>" % (a + 1, sentence(rng.randint(2, 6))))
    parts.append("</body></html>")

    work = tempfile.mkdtemp()
    try:
        html = os.path.join(work, "bench.html")
        with open(html, "w", encoding="utf-8") as f:
            f.write("\n".join(parts))
        profile = os.path.join(work, "profile")
        subprocess.run(["soffice", "--headless", "-env:UserInstallation=file://" + profile,
                        "--convert-to", "rtf:Rich Text Format", "--outdir", work, html],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       env=dict(os.environ, HOME=work))
        shutil.move(os.path.join(work, "bench.rtf"), path)
    finally:
        shutil.rmtree(work, ignore_errors=True)


os.makedirs(os.path.dirname(os.path.abspath(sys.argv[-1])), exist_ok=True)
if len(sys.argv) == 4 and sys.argv[1] in ("--paragraphs", "--megabytes", "--pictures"):
    write_large_rtf(sys.argv[1][2:], int(sys.argv[2]), sys.argv[3])
elif len(sys.argv) == 4 and sys.argv[1] == "--opening":
    write_opening_rtf(int(sys.argv[2]), sys.argv[3])
elif len(sys.argv) == 2:
    write_everyday_rtf(sys.argv[1])
else:
    sys.exit(__doc__)
