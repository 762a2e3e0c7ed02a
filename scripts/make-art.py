#!/usr/bin/env python3
"""Draws the program's pictures.

Writes the SVG sources into resources/art/ and renders them into
resources/bitmaps/<Name>.png at the sizes the windows expect. The PNGs are
committed, so building the program needs none of the tools used here:
rsvg-convert (librsvg2-bin) renders, ImageMagick crops and flattens.

The notebook background "tetrad" holds the tutor and his answer board. The
head frames and the board bitmap are cut out of renderings of that same
scene, so drawing any of them over the background at its place is seamless:
"Hd_Normal" and "ButNorm" are the very pixels of "tetrad".

The help file's pictures (resources/help/images) are copies of some of them.

Usage: scripts/make-art.py            (from anywhere in the repository)
"""
import os
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ART = os.path.join(ROOT, "resources", "art")
BITMAPS = os.path.join(ROOT, "resources", "bitmaps")

SERIF = "Liberation Serif"
SANS = "Liberation Sans"

PAPER = "#fffef5"
GRID = "#c7dcef"
PAGE = "#fbf6e6"

# Where the head tile and the board lie in the main window.
HEAD_AT = (34, 273)
HEAD_SIZE = (45, 54)
BOARD_AT = (67, 344)
BOARD_SIZE = (224, 163)

# Answer fields of the board: (left, top, right, bottom), inclusive.
FIELDS = {
    1: (83, 364, 175, 420),
    2: (187, 364, 281, 420),
    3: (83, 432, 175, 485),
    4: (187, 432, 281, 485),
}
FIELD_COLOURS = {
    1: ("#dcebfa", "#8fb3d9", "#2f5d8a"),
    2: ("#ddf1d9", "#8fc28a", "#32703a"),
    3: ("#fff2c4", "#d9bd62", "#93690a"),
    4: ("#fde0e6", "#e0a0ad", "#a23d55"),
}

# Head poses: feature shift (dx, dy) in pixels. Positive dx turns the face
# towards the right side of the window, negative dy raises it.
POSES = {
    "Hd_Normal": (0, 0),
    "Hd_No1": (2.5, 0),
    "Hd_No2": (5, 0),
    "Hd_No3": (-2.5, 0),
    "Hd_No4": (-5, 0),
    "Hd_Yes1": (0, -2),
    "Hd_Yes2": (0, -4),
    "Hd_Yes3": (0, 2),
    "Hd_Yes4": (0, 3.6),
}


def svg(width, height, body, background=None):
    bg = f'<rect width="{width}" height="{height}" fill="{background}"/>' if background else ""
    return (f'<?xml version="1.0" encoding="UTF-8"?>\n'
            f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
            f'viewBox="0 0 {width} {height}">\n{bg}\n{body}\n</svg>\n')


def grid(x0, y0, x1, y1, step=16, colour=GRID, offset=(0, 0)):
    """Crisp one-pixel lines of squared paper over the given rectangle."""
    d = []
    x = x0 + offset[0]
    while x <= x1:
        d.append(f"M{x + 0.5} {y0}V{y1}")
        x += step
    y = y0 + offset[1]
    while y <= y1:
        d.append(f"M{x0} {y + 0.5}H{x1}")
        y += step
    return (f'<path d="{"".join(d)}" stroke="{colour}" stroke-width="1" fill="none" '
            f'shape-rendering="crispEdges"/>')


def head(dx, dy):
    """The tutor's head around (56, 299): bald crown, grey hair at the sides,
    round glasses, a white moustache. Features follow (dx, dy); the outline
    follows a little, the ears move against them, the nose a little more."""
    ox, oy = dx * 0.35, dy * 0.45
    hx = dx * 0.6
    nx, ny = dx * 1.3, dy * 1.2
    skin, line = "#f6d2b3", "#b97e5c"
    # Turning, the ear on the side the face turns to slides behind the head
    # and the other one comes round towards the cheek; nodding, both ears
    # move a little against the face.
    left_ear_x = 41.5 + (dx * 0.4 if dx < 0 else dx * 0.25)
    right_ear_x = 70.5 + (dx * 0.4 if dx > 0 else dx * 0.25)
    ear_y = 302 - dy * 0.4
    return f'''
<g id="head">
  <ellipse cx="{left_ear_x}" cy="{ear_y}" rx="3.6" ry="5.5" fill="{skin}" stroke="{line}" stroke-width="1"/>
  <ellipse cx="{right_ear_x}" cy="{ear_y}" rx="3.6" ry="5.5" fill="{skin}" stroke="{line}" stroke-width="1"/>
  <g transform="translate({ox} {oy})">
    <ellipse cx="56" cy="299" rx="14.5" ry="17.5" fill="{skin}" stroke="{line}" stroke-width="1.1"/>
    <ellipse cx="{52 - dx * 0.6}" cy="{287 - dy * 0.6}" rx="5" ry="2.6" fill="#ffffff" opacity="0.55"/>
  </g>
  <g transform="translate({hx} {oy})">
    <path d="M41.6 296 C41 288 44 285 46.5 288 C45 291 45.5 294 44.8 298 Z" fill="#dedede" stroke="#a3a3a3" stroke-width="0.8"/>
    <path d="M70.4 296 C71 288 68 285 65.5 288 C67 291 66.5 294 67.2 298 Z" fill="#dedede" stroke="#a3a3a3" stroke-width="0.8"/>
  </g>
  <g transform="translate({dx} {dy})">
    <path d="M46 293.2 Q50 290.6 53.6 292.6" stroke="#9a9a9a" stroke-width="1.8" fill="none" stroke-linecap="round"/>
    <path d="M58.4 292.6 Q62 290.6 66 293.2" stroke="#9a9a9a" stroke-width="1.8" fill="none" stroke-linecap="round"/>
    <ellipse cx="50.2" cy="299" rx="1.5" ry="1.8" fill="#2b2b2b"/>
    <ellipse cx="61.8" cy="299" rx="1.5" ry="1.8" fill="#2b2b2b"/>
    <circle cx="50" cy="298.8" r="4.9" fill="#eaf4ff" fill-opacity="0.25" stroke="#3b3b3b" stroke-width="1.3"/>
    <circle cx="62" cy="298.8" r="4.9" fill="#eaf4ff" fill-opacity="0.25" stroke="#3b3b3b" stroke-width="1.3"/>
    <path d="M54.9 298.4 Q56 297.4 57.1 298.4" stroke="#3b3b3b" stroke-width="1.1" fill="none"/>
    <ellipse cx="46" cy="306" rx="3" ry="2" fill="#f2a0a0" opacity="0.45"/>
    <ellipse cx="66" cy="306" rx="3" ry="2" fill="#f2a0a0" opacity="0.45"/>
    <path d="M51.8 313.6 Q56 316.4 60.2 313.6" stroke="#a24e3a" stroke-width="1.2" fill="none" stroke-linecap="round"/>
  </g>
  <g transform="translate({nx} {ny})">
    <path d="M47.2 311.4 C48.5 306.8 53 306.6 56 308.4 C59 306.6 63.5 306.8 64.8 311.4 C62 310.6 59 311.8 56 310.8 C53 311.8 50 310.6 47.2 311.4 Z"
          fill="#f4f4f4" stroke="#a8a8a8" stroke-width="0.9"/>
    <ellipse cx="56" cy="305.4" rx="2.6" ry="3.1" fill="#eeb08e" stroke="{line}" stroke-width="0.8"/>
  </g>
</g>'''


def tutor(dx=0, dy=0):
    """The tutor standing at the lower left, his left hand on the board's
    left edge (the hand is drawn separately, over the board)."""
    return f'''
<g id="tutor">
  <ellipse cx="55" cy="498" rx="30" ry="3.5" fill="#000000" opacity="0.12"/>
  <path d="M37 414 L54.5 414 L53.5 490 L38.5 490 Z" fill="#5b6577" stroke="#3e4656" stroke-width="1"/>
  <path d="M56.5 414 L74 414 L72.5 490 L57.5 490 Z" fill="#5b6577" stroke="#3e4656" stroke-width="1"/>
  <path d="M33 499 C32 492 36 488.5 44 488.5 L54 488.5 L54.5 499 Z" fill="#4a3426" stroke="#2e1f16" stroke-width="1"/>
  <path d="M57 499 L57.5 488.5 L67 488.5 C75 488.5 79 492 78 499 Z" fill="#4a3426" stroke="#2e1f16" stroke-width="1"/>
  <path d="M49 310 L63 310 L63.5 326 L48.5 326 Z" fill="#f0c7a5" stroke="#b97e5c" stroke-width="1"/>
  <path d="M29.5 336 C30 328 38 323.5 47 323 L65 323 C74 323.5 81 328 81.5 336 L80 364 L31 364 Z"
        fill="#dfeaf6" stroke="#8aa2bd" stroke-width="1"/>
  <path d="M31.5 340 C27 360 25 385 24.5 410 L33.5 411 C34.5 390 36 368 38 350 Z" fill="#dfeaf6" stroke="#8aa2bd" stroke-width="1"/>
  <rect x="23.2" y="406" width="11" height="5.5" rx="1.5" fill="#ffffff" stroke="#8aa2bd" stroke-width="0.9"/>
  <ellipse cx="28.8" cy="416.4" rx="5.3" ry="5.6" fill="#f6d2b3" stroke="#b97e5c" stroke-width="1"/>
  <path d="M47.5 322.5 L56 329 L52 333 Z M64.5 322.5 L56 329 L60 333 Z" fill="#ffffff" stroke="#8aa2bd" stroke-width="0.8"/>
  <path d="M36 330 C42 329 46 331 50 336 L56 352 L62 336 C66 331 70 329 76 330 L77 346 L75.5 422 C68 425 44 425 36.5 422 L35 346 Z"
        fill="#8b5a3c" stroke="#5a3825" stroke-width="1.1"/>
  <path d="M50 336 L56 352 L62 336" fill="none" stroke="#5a3825" stroke-width="1"/>
  <path d="M56 352 L56 422" stroke="#5a3825" stroke-width="0.9"/>
  <circle cx="58.8" cy="362" r="1.6" fill="#e9c46a" stroke="#9c7a2a" stroke-width="0.6"/>
  <circle cx="58.8" cy="376" r="1.6" fill="#e9c46a" stroke="#9c7a2a" stroke-width="0.6"/>
  <circle cx="58.8" cy="390" r="1.6" fill="#e9c46a" stroke="#9c7a2a" stroke-width="0.6"/>
  <circle cx="58.8" cy="404" r="1.6" fill="#e9c46a" stroke="#9c7a2a" stroke-width="0.6"/>
  <path d="M58.8 376 C50 382 44 384 41 380" fill="none" stroke="#e3b94f" stroke-width="1.1"/>
  <rect x="38.5" y="378" width="6" height="3" rx="1" fill="#6d4530"/>
  <path d="M51 330.5 L56 333.5 L61 330.5 L61 337.5 L56 334.5 L51 337.5 Z" fill="#c9423a" stroke="#8a241e" stroke-width="0.8"/>
  <circle cx="56" cy="334" r="1.4" fill="#a8322b"/>
  <path d="M76.5 340 C80.5 352 80 372 77 392 L70 392 C72 374 72 356 70.5 344 Z" fill="#dfeaf6" stroke="#8aa2bd" stroke-width="1"/>
  {head(dx, dy)}
</g>'''


def tutor_hand():
    return ('<g id="hand"><rect x="69.2" y="389.5" width="10" height="5" rx="1.5" fill="#ffffff" stroke="#8aa2bd" stroke-width="0.9"/>'
            '<path d="M69.5 394.5 C68.5 400 70 405.5 74.5 406.5 C78.5 407.5 81.5 405 81.3 400.5 '
            'C81 397 79.5 394.6 77 394.3 Z" fill="#f6d2b3" stroke="#b97e5c" stroke-width="1"/>'
            '<path d="M75 399 L81 399 M75 402.5 L80.8 402.5" stroke="#c98f6b" stroke-width="0.7"/></g>')


def board():
    parts = ['<g id="board">',
             '<rect x="75" y="355" width="215" height="143" rx="7" fill="#000000" opacity="0.15"/>',
             '<rect x="72.5" y="352.5" width="215" height="143" rx="7" fill="#c28b5c" stroke="#7d5230" stroke-width="1.5"/>',
             '<rect x="77.5" y="357.5" width="205" height="133" rx="3" fill="#3f6f5b" stroke="#2c4f40" stroke-width="1"/>']
    for n, (x0, y0, x1, y1) in FIELDS.items():
        fill, stroke, ink = FIELD_COLOURS[n]
        w, h = x1 - x0 + 1, y1 - y0 + 1
        cx, cy = x0 + w / 2, y0 + h / 2
        parts.append(f'<rect x="{x0 + 0.5}" y="{y0 + 0.5}" width="{w - 1}" height="{h - 1}" rx="5" '
                     f'fill="{fill}" stroke="{stroke}" stroke-width="1"/>')
        parts.append(f'<text x="{cx + 1.2}" y="{cy + 16.2}" font-family="{SERIF}" font-weight="bold" '
                     f'font-size="46" text-anchor="middle" fill="#000000" opacity="0.15">{n}</text>')
        parts.append(f'<text x="{cx}" y="{cy + 15}" font-family="{SERIF}" font-weight="bold" '
                     f'font-size="46" text-anchor="middle" fill="{ink}">{n}</text>')
    parts.append('</g>')
    return "\n".join(parts)


def notebook(w, h, margin=True):
    out = [f'<rect width="{w}" height="{h}" fill="{PAPER}"/>', grid(0, 0, w, h, offset=(4, 6))]
    if margin:
        out.append(f'<path d="M776.5 0V{h}" stroke="#ef9a9a" stroke-width="1.5"/>')
    return "\n".join(out)


def tetrad(dx=0, dy=0, dark=False):
    body = [notebook(787, 548),
            # Question frame around (18, 16) 746 x 257.
            '<rect x="15" y="13" width="755" height="267" rx="9" fill="#000000" opacity="0.10"/>',
            '<rect x="12.5" y="10.5" width="755" height="267" rx="9" fill="#ffffff" stroke="#7b9fcb" stroke-width="3"/>',
            '<rect x="16.5" y="14.5" width="749" height="260" fill="#ffffff" stroke="#c9d8ea" stroke-width="1"/>',
            # The clock sign hanging on a nail, around (269, 301) 131 x 41.
            '<path d="M334.5 288 L276 298 M334.5 288 L393 298" stroke="#7d5a3a" stroke-width="1.4" fill="none"/>',
            '<circle cx="334.5" cy="287.5" r="2.6" fill="#9aa3ad" stroke="#5e666f" stroke-width="0.8"/>',
            '<rect x="265" y="297" width="144" height="52" rx="7" fill="#000000" opacity="0.12"/>',
            '<rect x="262.5" y="294.5" width="144" height="52" rx="7" fill="#e8c38e" stroke="#9b6b3a" stroke-width="2"/>',
            '<rect x="267.5" y="299.5" width="134" height="44" rx="2" fill="#ffffff" stroke="#b58a58" stroke-width="1"/>',
            # The picture frame around (443, 303) 322 x 181.
            '<rect x="438" y="298" width="336" height="196" rx="5" fill="#000000" opacity="0.12"/>',
            '<rect x="434.5" y="294.5" width="336" height="196" rx="5" fill="#d9b88f" stroke="#8f6540" stroke-width="2"/>',
            # Left plain: a narrow picture is centred in it with the frame's
            # paper on both sides.
            '<rect x="440.5" y="300.5" width="326" height="186" fill="#fffdf8" stroke="#bfa27c" stroke-width="1"/>',
            # Books, an apple and a pencil between the board and the picture.
            '<ellipse cx="362" cy="502" rx="62" ry="4" fill="#000000" opacity="0.12"/>',
            '<rect x="308.5" y="480.5" width="104" height="18" rx="2" fill="#5b84b1" stroke="#36597f" stroke-width="1"/>',
            '<rect x="312" y="484" width="97" height="2" fill="#e8eef6"/>',
            '<rect x="316.5" y="463.5" width="90" height="17" rx="2" fill="#c85a4f" stroke="#8a3129" stroke-width="1"/>',
            '<rect x="320" y="467" width="83" height="2" fill="#f6dedb"/>',
            '<circle cx="376" cy="451" r="11" fill="#d8473b" stroke="#9c2a21" stroke-width="1"/>',
            '<ellipse cx="372" cy="447" rx="3" ry="2" fill="#ffffff" opacity="0.5"/>',
            '<path d="M376 441 Q377 436 379 434" stroke="#6b4226" stroke-width="1.6" fill="none"/>',
            '<path d="M379 437 Q386 431 390 436 Q384 440 379 437 Z" fill="#6fae4f" stroke="#467a30" stroke-width="0.8"/>',
            # The pencil lies wholly above the bottom edge of the window (514).
            '<g transform="rotate(-6 330 504)"><rect x="300" y="501" width="70" height="6" fill="#f2c94c" stroke="#b38b1d" stroke-width="0.8"/>'
            '<path d="M370 501 L380 504 L370 507 Z" fill="#f1d9b5" stroke="#b38b1d" stroke-width="0.8"/>'
            '<rect x="294" y="501" width="6" height="6" fill="#e88f9a"/></g>',
            tutor(dx, dy),
            board(),
            tutor_hand()]
    if dark:
        body.append('<rect width="787" height="548" fill="#0c0a14" opacity="0.62"/>')
    return svg(787, 548, "\n".join(body))


def book():
    body = [
        # The cover fills the part of the picture the chooser shows (609 x 413),
        # so no paper-white strip is left beside it.
        '<rect width="610" height="420" fill="#5b2219"/>',
        '<rect x="1" y="1" width="607" height="411" rx="6" fill="#8c3b2e" stroke="#5b2219" stroke-width="2"/>',
        # Page edges under the top pages.
        '<path d="M16 20 Q160 8 302 20 L302 410 Q160 400 16 410 Z" fill="#e9dfc4" stroke="#b7a47c" stroke-width="1"/>',
        '<path d="M308 20 Q450 8 594 20 L594 410 Q450 400 308 410 Z" fill="#e9dfc4" stroke="#b7a47c" stroke-width="1"/>',
        f'<path d="M21 16 Q160 4 303 18 L303 404 Q160 394 21 404 Z" fill="{PAGE}" stroke="#c4b28a" stroke-width="1"/>',
        f'<path d="M307 18 Q450 4 589 16 L589 404 Q450 394 307 404 Z" fill="{PAGE}" stroke="#c4b28a" stroke-width="1"/>',
        '<defs><linearGradient id="spine" x1="0" x2="1" y1="0" y2="0">'
        '<stop offset="0" stop-color="#000000" stop-opacity="0"/>'
        '<stop offset="0.5" stop-color="#6b5536" stop-opacity="0.35"/>'
        '<stop offset="1" stop-color="#000000" stop-opacity="0"/></linearGradient></defs>',
        '<rect x="285" y="10" width="40" height="398" fill="url(#spine)"/>',
        '<path d="M305 14 L305 406" stroke="#a48e64" stroke-width="1"/>',
        # Frames behind the two lists.
        '<rect x="45.5" y="43.5" width="222" height="292" rx="4" fill="#ffffff" stroke="#d2bf95" stroke-width="1.5"/>',
        '<rect x="322.5" y="44.5" width="239" height="290" rx="4" fill="#ffffff" stroke="#d2bf95" stroke-width="1.5"/>',
        f'<text x="156" y="36" font-family="{SERIF}" font-style="italic" font-weight="bold" font-size="21" '
        'text-anchor="middle" fill="#7a4e2d">Предметы</text>',
        f'<text x="442" y="36" font-family="{SERIF}" font-style="italic" font-weight="bold" font-size="21" '
        'text-anchor="middle" fill="#7a4e2d">Темы</text>',
        # Ribbon bookmark.
        '<path d="M520 6 L520 46 L527 39 L534 46 L534 6 Z" fill="#3f6fa8" stroke="#2b4f7a" stroke-width="1"/>',
        # Ruled lines and a small tutor's star between the lists and the buttons.
        '<path d="M48 360.5H265 M326 360.5H560" stroke="#d9cba8" stroke-width="1" stroke-dasharray="3 3"/>',
        f'<text x="156" y="356" font-family="{SERIF}" font-style="italic" font-size="14" text-anchor="middle" '
        'fill="#9c7c55">выберите предмет</text>',
        f'<text x="442" y="356" font-family="{SERIF}" font-style="italic" font-size="14" text-anchor="middle" '
        'fill="#9c7c55">и тему теста</text>',
        # Spots under the two buttons.
        '<rect x="46" y="377" width="109" height="27" rx="6" fill="#e6dcc2"/>',
        '<rect x="451" y="377" width="109" height="27" rx="6" fill="#e6dcc2"/>',
        '<path d="M300 380 l3 -7 l3 7 l7 0 l-5.5 4.5 l2 7 l-6.5 -4 l-6.5 4 l2 -7 l-5.5 -4.5 Z" '
        'fill="#e9c46a" stroke="#a07f2a" stroke-width="0.8"/>',
    ]
    return svg(610, 420, "\n".join(body))


BUTTON_STATES = {
    1: ("#eef4fb", "#c7d9ef", "#6f8fb5", "#23456e", 0),
    2: ("#fff7da", "#f5d785", "#c1932b", "#6b4a00", 0),
    3: ("#b9cde6", "#d7e3f2", "#4f6f95", "#1b3555", 1),
}


def button(label, state, size):
    top, bottom, stroke, ink, shift = BUTTON_STATES[state]
    body = [
        '<defs><linearGradient id="g" x1="0" x2="0" y1="0" y2="1">'
        f'<stop offset="0" stop-color="{top}"/><stop offset="1" stop-color="{bottom}"/></linearGradient></defs>',
        '<rect x="0.5" y="0.5" width="104" height="22" rx="5" fill="url(#g)" stroke="%s" stroke-width="1"/>' % stroke,
        f'<text x="{52.5 + shift}" y="{17 + shift}" font-family="{SERIF}" font-style="italic" font-weight="bold" '
        f'font-size="{size}" text-anchor="middle" fill="{ink}">{label}</text>',
    ]
    return svg(105, 23, "\n".join(body), background="#e6dcc2")


def marker():
    import math
    cx, cy, ro, ri = 49.5, 50.5, 45, 19
    pts = []
    for i in range(10):
        r = ro if i % 2 == 0 else ri
        a = -math.pi / 2 + i * math.pi / 5
        pts.append(f"{cx + r * math.cos(a):.2f},{cy + r * math.sin(a) + 2:.2f}")
    star = " ".join(pts)
    body = [
        '<defs><radialGradient id="s" cx="0.42" cy="0.38" r="0.6">'
        '<stop offset="0" stop-color="#ff6b5c"/><stop offset="1" stop-color="#d3261d"/></radialGradient></defs>',
        f'<polygon points="{star}" fill="url(#s)" stroke="#6e0c08" stroke-width="3" stroke-linejoin="round"/>',
        f'<circle cx="{cx - 9}" cy="{cy - 8}" r="5" fill="#ffffff" opacity="0.4"/>',
    ]
    return svg(99, 101, "\n".join(body))


def nopic():
    return svg(300, 200, '<path d="M0 0 L300 200 M300 0 L0 200" stroke="#e00000" stroke-width="3"/>',
               background="#ffffff")


def fonp():
    body = [f'<rect width="388" height="255" fill="{PAPER}"/>',
            grid(0, 0, 388, 255, step=16, colour="#d3e3f2", offset=(5, 3)),
            '<path d="M0 64.5H388" stroke="#ef9a9a" stroke-width="1.2"/>',
            # The window shows the top-left 380 x 228 pixels: the frame and
            # the star lie within them, the star clear of the meaning line.
            '<rect x="1" y="1" width="378" height="226" fill="none" stroke="#b7c9dd" stroke-width="2"/>',
            '<g transform="translate(352 198) rotate(-12)">'
            '<circle r="21" fill="#f7d774" stroke="#c79a2e" stroke-width="1.5"/>'
            '<path d="M0 -13 L3.8 -4.2 L13 -4 L5.8 2 L8.2 11 L0 5.8 L-8.2 11 L-5.8 2 L-13 -4 L-3.8 -4.2 Z" '
            'fill="#e4572e" stroke="#9e3219" stroke-width="0.8"/></g>']
    return svg(388, 255, "\n".join(body))


def tablefon():
    body = [f'<rect width="787" height="548" fill="{PAPER}"/>',
            grid(0, 0, 787, 548, step=16, colour="#d6e6dc", offset=(3, 4))]
    return svg(787, 548, "\n".join(body))


def about():
    body = [f'<rect width="450" height="275" fill="{PAPER}"/>',
            grid(0, 0, 450, 275, step=16, colour="#d7e5f1", offset=(4, 2)),
            '<rect x="3" y="3" width="444" height="269" rx="10" fill="none" stroke="#7b9fcb" stroke-width="3"/>',
            '<g transform="translate(18 -250)">',
            tutor(),
            # A card with a five in the tutor's hand.
            '<g transform="rotate(6 95 395)"><rect x="77.5" y="366.5" width="44" height="52" rx="4" fill="#ffffff" stroke="#c0392b" stroke-width="1.5"/>'
            f'<text x="99.5" y="408" font-family="{SERIF}" font-weight="bold" font-size="42" text-anchor="middle" fill="#c0392b">5</text></g>',
            tutor_hand(),
            '</g>',
            f'<text x="285" y="92" font-family="{SERIF}" font-weight="bold" font-size="50" text-anchor="middle" '
            'fill="#2f5d8a">Наставник</text>',
            '<path d="M170 106 H400" stroke="#ef9a9a" stroke-width="2"/>',
            f'<text x="285" y="135" font-family="{SERIF}" font-style="italic" font-size="22" text-anchor="middle" '
            'fill="#3c3c3c">версия 1.0</text>',
            f'<text x="285" y="172" font-family="{SERIF}" font-size="17" text-anchor="middle" fill="#4a4a4a">'
            'Программа тестирования знаний</text>',
            f'<text x="285" y="193" font-family="{SERIF}" font-size="17" text-anchor="middle" fill="#4a4a4a">'
            'для школы</text>',
            f'<text x="285" y="250" font-family="{SANS}" font-size="12" text-anchor="middle" fill="#8a8a8a">'
            'Щёлкните, чтобы закрыть</text>']
    return svg(450, 275, "\n".join(body))


def icon():
    """The program's icon: the tutor's answer board on a notebook page, with
    the star of a pressed field. Shapes only, so that it stays legible down
    to 16 pixels, where it reads as four coloured fields. The build renders
    it to the PNG sizes the desktop asks for."""
    import math
    body = ['<rect x="8" y="8" width="240" height="240" rx="40" fill="#fffef5" stroke="#7b9fcb" stroke-width="10"/>',
            '<rect x="30" y="42" width="196" height="176" rx="18" fill="#c28b5c" stroke="#7d5230" stroke-width="6"/>',
            '<rect x="44" y="56" width="168" height="148" rx="8" fill="#3f6f5b"/>']
    places = {1: (54, 66), 2: (132, 66), 3: (54, 134), 4: (132, 134)}
    for n, (x, y) in places.items():
        fill, stroke, _ = FIELD_COLOURS[n]
        body.append(f'<rect x="{x}" y="{y}" width="70" height="60" rx="8" fill="{fill}" stroke="{stroke}" '
                    f'stroke-width="4"/>')
    cx, cy, ro, ri = 167, 97, 27, 11.5
    pts = []
    for i in range(10):
        r = ro if i % 2 == 0 else ri
        a = -math.pi / 2 + i * math.pi / 5
        pts.append(f"{cx + r * math.cos(a):.2f},{cy + r * math.sin(a) + 2:.2f}")
    body.append(f'<polygon points="{" ".join(pts)}" fill="#e0362b" stroke="#6e0c08" stroke-width="4" '
                'stroke-linejoin="round"/>')
    return svg(256, 256, "\n".join(body))


def run(*cmd):
    subprocess.run(cmd, check=True)


def magick(*args):
    # -strip and no time chunks: the same drawing gives the same bytes.
    run("convert", *args[:-1], "-strip", "-define", "png:exclude-chunks=date,time", args[-1])


def render(svg_path, png_path, w, h, opaque=True):
    with tempfile.TemporaryDirectory() as tmp:
        raw = os.path.join(tmp, "raw.png")
        run("rsvg-convert", "-w", str(w), "-h", str(h), svg_path, "-o", raw)
        if opaque:
            magick(raw, "-background", "white", "-alpha", "remove", "-alpha", "off", "PNG24:" + png_path)
        else:
            run("cp", raw, png_path)


def write(name, text):
    path = os.path.join(ART, name + ".svg")
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    return path


def crop(src, dst, at, size):
    magick(src, "-crop", f"{size[0]}x{size[1]}+{at[0]}+{at[1]}", "+repage", "PNG24:" + dst)


def draw(suffix, scale):
    """Renders every bitmap, at scale times its size in the windows, into
    <Name><suffix>.png: "" at 1, "@2x" at 2 for screens scaled to 150 % or
    more, which Qt's bitmap loading pairs with the plain name."""
    png = lambda name: os.path.join(BITMAPS, name + suffix + ".png")
    at = lambda point: (point[0] * scale, point[1] * scale)
    sized = lambda w, h: (w * scale, h * scale)

    render(write("tetrad", tetrad()), png("tetrad"), *sized(787, 548))
    render(write("Tetrad_black", tetrad(dark=True)), png("Tetrad_black"), *sized(787, 548))
    crop(png("tetrad"), png("ButNorm"), at(BOARD_AT), at(BOARD_SIZE))

    with tempfile.TemporaryDirectory() as tmp:
        for name, (dx, dy) in POSES.items():
            scene = os.path.join(tmp, name + ".png")
            if (dx, dy) == (0, 0):
                scene = png("tetrad")
            else:
                render(write("tetrad_" + name, tetrad(dx, dy)), scene, *sized(787, 548))
            crop(scene, png(name), at(HEAD_AT), at(HEAD_SIZE))

        # The marker is drawn transparently with its top-left colour as the
        # key, so its edge must not blend into that colour: alpha is cut hard.
        raw = os.path.join(tmp, "marker.png")
        render(write("Marker", marker()), raw, *sized(99, 101), opaque=False)
        magick(raw, "-channel", "A", "-threshold", "50%", "+channel", "-background", "#ff00ff",
               "-alpha", "remove", "-alpha", "off", "PNG24:" + png("Marker"))

    render(write("Book", book()), png("Book"), *sized(610, 420))
    for state in (1, 2, 3):
        render(write(f"ButOpen{state}", button("Открыть", state, 16)), png(f"ButOpen{state}"), *sized(105, 23))
        render(write(f"ButSort{state}", button("А…Я", state, 16)), png(f"ButSort{state}"), *sized(105, 23))
    render(write("Fonp", fonp()), png("Fonp"), *sized(388, 255))
    render(write("NoPic", nopic()), png("NoPic"), *sized(300, 200))
    render(write("About", about()), png("About"), *sized(450, 275))
    render(write("TableFon", tablefon()), png("TableFon"), *sized(787, 548))


def main():
    os.makedirs(ART, exist_ok=True)
    os.makedirs(BITMAPS, exist_ok=True)
    draw("", 1)
    draw("@2x", 2)
    write("nastavnik", icon())

    # Pictures of the help file.
    png = lambda name: os.path.join(BITMAPS, name + ".png")
    help_images = os.path.join(ROOT, "resources", "help", "images")
    os.makedirs(help_images, exist_ok=True)
    magick(png("About"), "PNG24:" + os.path.join(help_images, "about.png"))
    magick(png("ButNorm"), "PNG24:" + os.path.join(help_images, "board.png"))
    magick(png("Book"), "-resize", "305x210!", "PNG24:" + os.path.join(help_images, "book.png"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
