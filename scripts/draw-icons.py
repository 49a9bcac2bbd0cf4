#!/usr/bin/env python3
"""Draws the program and notification-area icons, the menu images and the about box's logo
clip as SVG files in resources/icons/. Run it after changing a drawing; the SVG files are
committed, so building needs no Python.

The picture is a green leaf held by a red pin. The notification-area frames swing the leaf
a little around the pin; the logo clip turns it once about its long axis and then rests.
"""
import math
import pathlib

OUT = pathlib.Path(__file__).resolve().parent.parent / "resources" / "icons"

LEAF_LIGHT = "#7cc46a"
LEAF_DARK = "#2f7d32"
LEAF_EDGE = "#1f5a22"
BACK_LIGHT = "#b9dca5"
BACK_DARK = "#6fa860"
PIN = "#d32f2f"
PIN_DARK = "#8e1b1b"


def svg(size, body, view=48):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{size}" height="{size}" '
            f'viewBox="0 0 {view} {view}">\n{body}</svg>\n')


def gradient(gid, light, dark):
    return (f'<defs><linearGradient id="{gid}" x1="0" y1="1" x2="1" y2="0">'
            f'<stop offset="0" stop-color="{dark}"/><stop offset="1" stop-color="{light}"/>'
            f'</linearGradient></defs>\n')


def leaf(detail, back=False):
    """The leaf in a 48-unit square, stalk at the bottom left, tip at the top right."""
    gid = "b" if back else "g"
    light, dark = (BACK_LIGHT, BACK_DARK) if back else (LEAF_LIGHT, LEAF_DARK)
    out = gradient(gid, light, dark)
    out += (f'<path d="M6 42 C1 21 16 4 45 3 C46 32 27 47 6 42 Z" fill="url(#{gid})" '
            f'stroke="{LEAF_EDGE}" stroke-width="{1.6 if detail else 2.4}" '
            f'stroke-linejoin="round"/>\n')
    out += f'<path d="M6 42 L2 46" stroke="{LEAF_EDGE}" stroke-width="2.4" stroke-linecap="round"/>\n'
    out += (f'<path d="M6 42 Q22 27 43 5" fill="none" stroke="#e8f5d8" '
            f'stroke-width="{1.2 if detail else 1.8}" stroke-linecap="round"/>\n')
    if detail:
        for x, y, dx, dy in ((13, 35, -4, -10), (20, 28, -3, -11), (28, 20, -2, -10),
                             (13, 35, 10, 4), (20, 28, 11, 4), (28, 20, 10, 3)):
            out += (f'<path d="M{x} {y} q{dx / 2} {dy / 2 - 1} {dx} {dy}" fill="none" '
                    f'stroke="#d5ecc0" stroke-width="0.9" stroke-linecap="round"/>\n')
    return out


def pin(detail, cx=27, cy=19, r=6.5, glint=0.0):
    """The round red head of the pin with its shadow; `glint` turns the highlight (degrees)."""
    out = f'<ellipse cx="{cx + 2}" cy="{cy + 3}" rx="{r}" ry="{r * 0.8}" fill="#000" fill-opacity="0.25"/>\n'
    out += f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="{PIN}" stroke="{PIN_DARK}" stroke-width="{1.2 if detail else 1.8}"/>\n'
    if detail:
        a = math.radians(225 + glint)
        hx, hy = cx + math.cos(a) * r * 0.45, cy + math.sin(a) * r * 0.45
        out += f'<circle cx="{hx:.2f}" cy="{hy:.2f}" r="{r * 0.32:.2f}" fill="#fff" fill-opacity="0.85"/>\n'
    return out


def icon(size, angle=0.0, detail=True):
    r = 6.5 if detail else 8.0
    body = f'<g transform="rotate({angle:.2f} 27 19)">\n' + leaf(detail) + '</g>\n' + pin(detail, r=r)
    return svg(size, body)


def write(name, text):
    (OUT / f"{name}.svg").write_text(text)


def menu_image(kind):
    """16 x 16 menu pictures of the window: "minimize" or "open". (The exit picture is the
    skin's MENUEXIT.)"""
    body = ('<rect x="1.5" y="1.5" width="13" height="12" fill="#ffffe1" stroke="#555"/>\n'
            '<rect x="1.5" y="1.5" width="13" height="3" fill="#2f7d32" stroke="#555"/>\n')
    if kind == "minimize":
        body += '<rect x="4" y="10" width="8" height="2" fill="#333"/>\n'
    else:
        body += ('<path d="M8 12 V6.5 M5.5 9 L8 6.5 L10.5 9" fill="none" stroke="#333" '
                 'stroke-width="1.6" stroke-linecap="round" stroke-linejoin="round"/>\n')
    return svg(16, body, view=16)


def thanks_image():
    """16 x 16: a small heart for the about box's credits."""
    body = ('<path d="M8 14 C3 10 1 7.5 1 5 C1 2.8 2.8 1.5 4.6 1.5 C6 1.5 7.3 2.3 8 3.6 '
            'C8.7 2.3 10 1.5 11.4 1.5 C13.2 1.5 15 2.8 15 5 C15 7.5 13 10 8 14 Z" '
            f'fill="{PIN}" stroke="{PIN_DARK}" stroke-width="1"/>\n'
            '<ellipse cx="4.8" cy="4.6" rx="1.6" ry="1.1" fill="#fff" fill-opacity="0.7"/>\n')
    return svg(16, body, view=16)


def logo_frame(index, count, turn_frames):
    """One picture of the logo clip: the leaf turns once about its axis, then rests while the
    pin's highlight goes round."""
    if index < turn_frames:
        c = math.cos(2 * math.pi * index / turn_frames)
        back = c < 0
        scale = max(abs(c), 0.06)
        # Squeezed across the leaf's long axis, which runs from the bottom left to the top right.
        axis = "translate(24 24) rotate(-45) scale(1 {:.3f}) rotate(45) translate(-24 -24)".format(scale)
        # From behind, only the point of the pin shows through the leaf.
        front = pin(True) if not back else '<circle cx="27" cy="19" r="1.3" fill="#555"/>\n'
        body = f'<g transform="{axis}">\n' + leaf(True, back) + front + '</g>\n'
    else:
        glint = 360 * (index - turn_frames) / (count - turn_frames)
        body = leaf(True) + pin(True, glint=glint)
    return svg(48, body)


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    write("MAINICON-48", icon(48))
    write("MAINICON-32", icon(32))
    write("MAINICON-16", icon(16, detail=False))
    # The frames in the order they show: ZICON2 … ZICON6, ZICON1.
    for step in range(6):
        name = f"ZICON{(step + 1) % 6 + 1}"
        write(name, icon(32, angle=8 * math.sin(2 * math.pi * step / 6)))
    write("MENUMINIMIZE", menu_image("minimize"))
    write("MENUOPEN", menu_image("open"))
    write("THANKS", thanks_image())
    count, turn = 20, 12
    for index in range(count):
        write(f"LOGOCLIP_{index + 1}", logo_frame(index, count, turn))


if __name__ == "__main__":
    main()
