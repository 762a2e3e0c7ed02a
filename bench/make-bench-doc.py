#!/usr/bin/env python3
"""Writes the benchmark's test document as HTML: 200 questions with
formatted bodies, a table now and then, 20 embedded pictures and a few
picture lines naming files beside the document. run-bench.sh turns it into
RTF with LibreOffice."""
import base64
import os
import random
import subprocess
import sys

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
