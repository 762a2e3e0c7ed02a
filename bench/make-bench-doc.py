#!/usr/bin/env python3
"""Writes the benchmark's test documents.

make-bench-doc.py OUT_DIR [QUESTIONS]
    The everyday document as HTML: 200 questions with formatted bodies, a
    table now and then, 20 embedded pictures and a few picture lines naming
    files beside the document. run-bench.sh turns it into RTF with
    LibreOffice.

make-bench-doc.py --paragraphs N OUT.rtf
make-bench-doc.py --megabytes N OUT.rtf
make-bench-doc.py --pictures N OUT.rtf
    Large documents written as RTF directly (LibreOffice would take too
    long): N short paragraphs (a tag line and four answers per question,
    about 80 bytes a paragraph, as a Word document in Russian); about N
    megabytes of questions with long answers; or N tiny embedded pictures
    that cannot be decoded (four \bin bytes each), a hundred a question.
    All of them pass the check."""
import base64
import os
import random
import subprocess
import sys


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


if len(sys.argv) == 4 and sys.argv[1] in ("--paragraphs", "--megabytes", "--pictures"):
    write_large_rtf(sys.argv[1][2:], int(sys.argv[2]), sys.argv[3])
    sys.exit(0)

out = sys.argv[1]
questions = int(sys.argv[2]) if len(sys.argv) > 2 else 200
os.makedirs(out, exist_ok=True)
rng = random.Random(2026)

# Pictures: photographs of a few hundred pixels; LibreOffice stores each
# twice (the picture and a metafile copy), which is what makes a real test
# document with pictures weigh megabytes.
pictures = []
for k in range(20):
    ext = "jpg" if k % 2 else "png"
    path = os.path.join(out, "pic%02d.%s" % (k, ext))
    if not os.path.exists(path):
        noise = ["+noise", "Gaussian"] if ext == "jpg" else []
        subprocess.run(["convert", "-size", "160x120", "-seed", str(k + 1), "plasma:"] + noise
                       + ["-quality", "90", path], check=True)
    with open(path, "rb") as f:
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
with open(os.path.join(out, "bench.html"), "w", encoding="utf-8") as f:
    f.write("\n".join(parts))
