#!/usr/bin/env python3
"""Draws every picture of the plant and writes it under resources/.

    python3 tools/make_pictures.py            # all pictures
    python3 tools/make_pictures.py relay ...  # only the named groups (see GROUPS at the end)

Vector pictures are written as SVG text (standard library only). Raster pictures are drawn as
SVG too (tools/raster/) and rendered to PNG at their exact size by tools/svg2png.cpp, which this
script compiles on first use with g++ and pkg-config (Qt 6 Svg).

Conventions of the drawings, shared by every picture so that the plant reads as one set:
- black outlines on white; state is carried by solid fills:
  yellow = energised or live, green = running, yellow = tripped, orange/red = overheated,
  red = open thermal relay, blue = fluid, a lighter cap = a pressed button;
- the viewBox is in the picture's own natural pixels, so strokes of 1.5-2 units stay visible
  when the window shrinks a picture to two thirds of its size;
- where the two pictures of a pair have different natural sizes, both share the viewBox of the
  first one, so that stretched into the same control they line up exactly and only the state
  changes on screen;
- no background: every picture is transparent outside its drawing.
"""
import math
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PICTURES = os.path.join(ROOT, "resources", "pictures")
RASTER_SRC = os.path.join(ROOT, "tools", "raster")
ICON_DIR = os.path.join(ROOT, "resources", "icon")
SVG2PNG = os.path.join(ROOT, "build", "tools", "svg2png")

BLACK = "#000"
WHITE = "#fff"
YELLOW = "#ffe21a"
GREEN = "#2fbf3a"
SILVER = "#c0c0c0"
ORANGE = "#ff8c1a"
RED = "#e01010"
BLUE = "#1e6fe0"
FONT = "DejaVu Sans, Arial, Helvetica, sans-serif"


def n(v):
    """A number as short SVG text: at most two decimals, no trailing zeros."""
    s = f"{v:.2f}".rstrip("0").rstrip(".")
    return "0" if s in ("-0", "") else s


def pts(points):
    return " ".join(f"{n(x)},{n(y)}" for x, y in points)


def style(fill=None, stroke=None, sw=None, extra=""):
    out = []
    if fill is not None:
        out.append(f'fill="{fill}"')
    if stroke is not None:
        out.append(f'stroke="{stroke}"')
    if sw is not None:
        out.append(f'stroke-width="{n(sw)}"')
    if extra:
        out.append(extra)
    return " ".join(out)


def rect(x, y, w, h, fill=WHITE, stroke=BLACK, sw=1.5, rx=0, extra=""):
    r = f' rx="{n(rx)}"' if rx else ""
    return f'<rect x="{n(x)}" y="{n(y)}" width="{n(w)}" height="{n(h)}"{r} {style(fill, stroke, sw, extra)}/>'


def circle(cx, cy, r, fill=WHITE, stroke=BLACK, sw=1.5, extra=""):
    return f'<circle cx="{n(cx)}" cy="{n(cy)}" r="{n(r)}" {style(fill, stroke, sw, extra)}/>'


def ellipse(cx, cy, rx, ry, fill=WHITE, stroke=BLACK, sw=1.5, extra=""):
    return f'<ellipse cx="{n(cx)}" cy="{n(cy)}" rx="{n(rx)}" ry="{n(ry)}" {style(fill, stroke, sw, extra)}/>'


def line(x1, y1, x2, y2, stroke=BLACK, sw=1.5, extra=""):
    return (f'<line x1="{n(x1)}" y1="{n(y1)}" x2="{n(x2)}" y2="{n(y2)}" '
            f'{style(None, stroke, sw, extra)}/>')


def polyline(points, stroke=BLACK, sw=1.5, extra=""):
    return f'<polyline points="{pts(points)}" {style("none", stroke, sw, extra)}/>'


def polygon(points, fill=WHITE, stroke=BLACK, sw=1.5, extra=""):
    return f'<polygon points="{pts(points)}" {style(fill, stroke, sw, extra)}/>'


def path(d, fill="none", stroke=BLACK, sw=1.5, extra=""):
    return f'<path d="{d}" {style(fill, stroke, sw, extra)}/>'


def text(x, y, s, size, fill=BLACK, weight="bold", anchor="middle", extra=""):
    return (f'<text x="{n(x)}" y="{n(y)}" font-family="{FONT}" font-size="{n(size)}" '
            f'font-weight="{weight}" text-anchor="{anchor}" fill="{fill}" {extra}>{s}</text>')


def group(items, transform=None, extra=""):
    t = f' transform="{transform}"' if transform else ""
    e = f" {extra}" if extra else ""
    return f"<g{t}{e}>" + "".join(items) + "</g>"


def linear_gradient(gid, stops, x1=0, y1=0, x2=0, y2=1):
    s = "".join(f'<stop offset="{n(o)}" stop-color="{c}"/>' for o, c in stops)
    return (f'<linearGradient id="{gid}" x1="{n(x1)}" y1="{n(y1)}" x2="{n(x2)}" y2="{n(y2)}">'
            f"{s}</linearGradient>")


def radial_gradient(gid, stops, cx=0.5, cy=0.5, r=0.5, fx=None, fy=None):
    f = f' fx="{n(fx)}" fy="{n(fy)}"' if fx is not None else ""
    s = "".join(f'<stop offset="{n(o)}" stop-color="{c}"/>' for o, c in stops)
    return f'<radialGradient id="{gid}" cx="{n(cx)}" cy="{n(cy)}" r="{n(r)}"{f}>{s}</radialGradient>'


def svg(width, height, items, defs=(), view=None):
    """A complete SVG document; view = (w, h) of the viewBox when it differs from the size."""
    vw, vh = view if view else (width, height)
    d = "<defs>" + "".join(defs) + "</defs>" if defs else ""
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
            f'viewBox="0 0 {n(vw)} {n(vh)}">{d}' + "".join(items) + "</svg>\n")


def write(name, content, folder=PICTURES):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name + ".svg"), "w", encoding="ascii") as f:
        f.write(content)


# ---------------------------------------------------------------------------------------------
# Relay (contactor): a coil on the left, the power contact on the right, top to bottom, so that
# the supply enters at the top and leaves at the bottom in the wiring backdrop.
# Yellow parts: the supply terminal when the supply is present, the coil when energised, and the
# whole power path (supply, blade, output) when the contact passes the supply.

RELAY_W, RELAY_H = 57, 77
RELAY_PATH_X = 38  # x of the power path, also used by the wiring backdrop


def relay(coil, supply):
    x = RELAY_PATH_X
    passing = coil and supply
    items = [
        # housing
        rect(1.5, 1.5, 54, 74, fill=WHITE, stroke="#777", sw=1, rx=4),
        # supply terminal (top) and output terminal (bottom)
        rect(x - 4.5, 0.75, 9, 24, fill=YELLOW if supply else WHITE, sw=1.5, rx=2),
        rect(x - 4.5, 50, 9, 26.25, fill=YELLOW if passing else WHITE, sw=1.5, rx=2),
        # fixed contact
        line(x - 7, 24.75, x + 7, 24.75, sw=2),
    ]
    # blade, hinged at the output terminal; closed when the coil pulls it in
    tip = (x, 25.5) if coil else (x + 13, 29)
    items.append(line(x, 50, tip[0], tip[1], stroke=BLACK, sw=3.5, extra='stroke-linecap="round"'))
    if passing:
        items.append(line(x, 49, tip[0], tip[1] + 1.5, stroke=YELLOW, sw=1.6))
    # coil with its two leads and the mechanical link to the blade
    items += [
        line(14, 12, 14, 25, sw=1.5),
        line(14, 53, 14, 66, sw=1.5),
        rect(5.5, 25, 17, 28, fill=YELLOW if coil else WHITE, sw=2),
        line(22.5, 39, x + (tip[0] - x) * 0.45, 50 + (tip[1] - 50) * 0.45, sw=1.3,
             extra='stroke-dasharray="3,2"'),
        circle(14, 11, 2.5, fill=WHITE, sw=1.2),
        circle(14, 67, 2.5, fill=WHITE, sw=1.2),
    ]
    return svg(RELAY_W, RELAY_H, items)


# ---------------------------------------------------------------------------------------------
# Valve: inlet pipe, a two-cone body and a diaphragm actuator. Blue = fluid: the body when the
# valve is open, and both pipes as well when the flow passes.

def valve(open_, flow):
    body_fill = BLUE if open_ else "#8c8c8c"
    pipe_fill = BLUE if (open_ and flow) else WHITE
    items = [
        rect(0.75, 28.5, 12.5, 11, fill=pipe_fill, sw=1.5),
        rect(31.75, 28.5, 12.5, 11, fill=pipe_fill, sw=1.5),
        polygon([(12, 23), (22.5, 34), (12, 45)], fill=body_fill, sw=1.8),
        polygon([(33, 23), (22.5, 34), (33, 45)], fill=body_fill, sw=1.8),
        line(22.5, 34, 22.5, 14, sw=2),
        path("M9.5,14 A13,10 0 0 1 35.5,14 Z", fill="#d0d0d0", sw=1.8),
        line(9.5, 14, 35.5, 14, sw=1.8),
    ]
    return svg(45, 48, items)


def draw_relay():
    for coil in (False, True):
        for supply in (False, True):
            name = f"RELAY_{'ON' if coil else 'OFF'}_AC_{'ON' if supply else 'OFF'}"
            write(name, relay(coil, supply))


def draw_valve():
    write("VALVE_OFF_FLOW_OFF", valve(False, False))
    write("VALVE_ON_FLOW_OFF", valve(True, False))
    write("VALVE_ON_FLOW_ON", valve(True, True))


# ---------------------------------------------------------------------------------------------
# Switches.

def termico(closed):
    """Thermal overload relay: heater element in the power path, linked to its auxiliary
    contact. Closed (normal) in black; tripped in red, contact open, element tinted."""
    ink = BLACK if closed else RED
    items = [
        # power path through the bimetal heater
        line(19, 1, 19, 18, stroke=ink, sw=2),
        rect(6, 18, 26, 34, fill=WHITE if closed else "#ffd2d2", stroke=ink, sw=2.2),
        polyline([(19, 18), (19, 27), (26, 27), (26, 43), (19, 43), (19, 52)], stroke=ink, sw=2.4),
        line(19, 52, 19, 69, stroke=ink, sw=2),
        # auxiliary contact: fixed contact, hinge terminal, blade
        line(53, 1, 53, 22, stroke=ink, sw=2),
        line(47, 22, 53, 22, stroke=ink, sw=2),
        line(53, 48, 53, 69, stroke=ink, sw=2),
        circle(53, 48, 2.2, fill=ink, stroke=ink, sw=1),
    ]
    tip = (47.5, 22.5) if closed else (63.5, 28)
    items.append(line(53, 48, tip[0], tip[1], stroke=ink, sw=3, extra='stroke-linecap="round"'))
    mid = (53 + (tip[0] - 53) * 0.5, 48 + (tip[1] - 48) * 0.5)
    items.append(line(32, 35, mid[0], mid[1], stroke=ink, sw=1.4, extra='stroke-dasharray="3,2"'))
    return svg(68, 70, items)


def termico3d(on):
    """Miniature circuit breaker seen from the front: grey body, screw terminals, a label and
    the orange-brown toggle, up when on."""
    defs = [
        linear_gradient("body", [(0, "#f4f4f4"), (0.55, "#d2d2d2"), (1, "#9a9a9a")], 0, 0, 1, 0),
        linear_gradient("term", [(0, "#8a8a8a"), (0.5, "#b8b8b8"), (1, "#6e6e6e")], 0, 0, 1, 0),
        linear_gradient("slot", [(0, "#3c3c3c"), (1, "#6a6a6a")]),
        linear_gradient("lever", [(0, "#e08a4a"), (1, "#9c4a14")]),
    ]
    items = [
        rect(3, 1.5, 65, 89, fill="url(#body)", stroke="#333", sw=1.8, rx=5),
        rect(3, 1.5, 65, 15, fill="url(#term)", stroke="#333", sw=1.5, rx=4),
        rect(3, 75.5, 65, 15, fill="url(#term)", stroke="#333", sw=1.5, rx=4),
    ]
    for cx in (20, 51):
        for cy in (9, 83):
            items += [circle(cx, cy, 5, fill="#e6e6e6", stroke="#333", sw=1.2),
                      line(cx - 3.5, cy + 3.5, cx + 3.5, cy - 3.5, stroke="#333", sw=1.5)]
    label = "ON" if on else "OFF"
    items += [
        rect(13, 19, 45, 15, fill=WHITE, stroke="#444", sw=1.2, rx=2),
        text(35.5, 31.5, label, 13),
        rect(19, 37, 33, 36, fill="url(#slot)", stroke="#222", sw=1.5, rx=3),
    ]
    ly = 38.5 if on else 53.5
    items += [
        rect(21, ly, 29, 18, fill="url(#lever)", stroke="#3a1a05", sw=1.5, rx=2.5),
        line(24, ly + 9, 47, ly + 9, stroke="#5a2a08", sw=1.2),
        line(23, ly + 2, 48, ly + 2, stroke="#f0b080", sw=1.2),
    ]
    return svg(71, 92, items, defs)


def limit_switch(actuated):
    """Roller limit switch: the roller is pushed into the body and the contact closes."""
    items = []
    ry = 11.5 if actuated else 5.5
    body = YELLOW if actuated else WHITE
    items += [
        line(5.5, ry, 5.5, 26, sw=2.2),
        rect(0.9, 19, 9.2, 50, fill=body, sw=1.6, rx=1.5),
        circle(5.5, ry, 4.2, fill=body, sw=1.5),
        line(5.5, 26, 5.5, 34, sw=1.6),
        line(3, 34, 5.5, 34, sw=1.6),
        line(5.5, 56, 5.5, 67, sw=1.6),
    ]
    tip = (4.5, 34.5) if actuated else (9.3, 38)
    items.append(line(5.5, 56, tip[0], tip[1], sw=2.2))
    return svg(11, 70, items)


def emergency(head_bright, labelled):
    """Mushroom-head emergency stop on a yellow ring; the head is bright red when the switch is
    closed (ON) and dark red when it is open (OFF)."""
    if labelled:
        w, h, cx, cy, ring = 105, 127, 52.5, 63.5, 40
    else:
        w, h, cx, cy, ring = 107, 107, 53.5, 53.5, 51
    head = ([(0, "#ff8a8a"), (0.35, "#ff2020"), (1, "#b00000")] if head_bright
            else [(0, "#9a3030"), (0.4, "#6a0a0a"), (1, "#300000")])
    defs = [
        radial_gradient("collar", [(0, "#f2f2f2"), (0.7, "#b4b4b4"), (1, "#6e6e6e")], 0.45, 0.4, 0.6),
        radial_gradient("head", head, 0.5, 0.5, 0.5, 0.38, 0.32),
    ]
    items = []
    if labelled:
        items += [
            rect(1.5, 1.5, 102, 124, fill=YELLOW, stroke=BLACK, sw=2, rx=10),
            text(cx, 20, "STOP", 17),
            text(cx, 119, "EMERGENCY", 12.5),
        ]
    items += [
        circle(cx, cy, ring, fill=YELLOW, stroke=BLACK, sw=2),
        circle(cx, cy, ring * 0.7, fill="url(#collar)", stroke="#333", sw=1.5),
        circle(cx, cy, ring * 0.55, fill="url(#head)", stroke="#200", sw=1.8),
    ]
    return svg(w, h, items, defs)


def interruptor(on):
    """Plain rocker switch; the pressed half shows the state, lit yellow when on."""
    defs = [linear_gradient("bezel", [(0, "#9a9a9a"), (1, "#5a5a5a")], 0, 0, 1, 1)]
    items = [rect(1.5, 1.5, 37, 57, fill="url(#bezel)", stroke=BLACK, sw=1.5, rx=4),
             rect(7, 7, 26, 46, fill="#333", stroke=BLACK, sw=1, rx=2)]
    if on:
        items += [rect(8.5, 8.5, 23, 21, fill=YELLOW, stroke=BLACK, sw=1.2),
                  rect(8.5, 29.5, 23, 22, fill="#e6e6e6", stroke=BLACK, sw=1.2),
                  line(20, 13, 20, 25, sw=2.5),
                  circle(20, 42, 4.5, fill="none", sw=1.8)]
    else:
        items += [rect(8.5, 8.5, 23, 22, fill="#e6e6e6", stroke=BLACK, sw=1.2),
                  rect(8.5, 30.5, 23, 21, fill="#bdbdbd", stroke=BLACK, sw=1.2),
                  line(20, 14, 20, 26, sw=2.5),
                  circle(20, 41, 4.5, fill="none", sw=1.8)]
    return svg(40, 60, items, defs)


def draw_switches():
    write("TERMICO_ON", termico(True))
    write("TERMICO_OFF", termico(False))
    write("TERMICO3D_ON", termico3d(True))
    write("TERMICO3D_OFF", termico3d(False))
    write("LIMIT_SWITCH_ON", limit_switch(True))
    write("LIMIT_SWITCH_OFF", limit_switch(False))
    write("EMERGEN1_OFF", emergency(False, False))
    write("EMERGEN1_ON", emergency(True, False).replace('width="107"', 'width="106"', 1))
    write("EMERGEN2_OFF", emergency(False, True))
    write("EMERGEN2_ON", emergency(True, True).replace('width="105" height="127"',
                                                       'width="91" height="114"', 1))
    write("INTERRUPTOR_ON", interruptor(True))
    write("INTERRUPTOR_OFF", interruptor(False))


# ---------------------------------------------------------------------------------------------
# Push buttons: a round cap in a grey bezel. Pressed, the cap turns lighter, sits a little
# deeper (smaller, with a shadow ring) and loses its highlight.

BUTTON_CAPS = {
    # name: (released cap gradient, pressed cap gradient)
    "WHITE": ([(0, "#ffffff"), (0.7, "#f0f0f0"), (1, "#bdbdbd")],
              [(0, "#d6d6d6"), (1, "#a9a9a9")]),
    "BLACK": ([(0, "#5a5a5a"), (0.6, "#1a1a1a"), (1, "#000000")],
              [(0, "#d6d6d6"), (1, "#a9a9a9")]),
    "BLUE": ([(0, "#3a52b8"), (0.6, "#101e78"), (1, "#050c40")],
             [(0, "#c4deff"), (1, "#7eb0f0")]),
    "RED": ([(0, "#ff5a5a"), (0.6, "#d81010"), (1, "#820000")],
            [(0, "#ffd0d0"), (1, "#f08a8a")]),
}


def push_button(colour, pressed):
    released, down = BUTTON_CAPS[colour]
    defs = [
        linear_gradient("bezel", [(0, "#e4e4e4"), (0.5, "#b0b0b0"), (1, "#7a7a7a")], 0, 0, 1, 1),
        radial_gradient("cap", down if pressed else released, 0.5, 0.5, 0.5, 0.4, 0.35),
    ]
    items = [
        rect(1.5, 1.5, 57, 57, fill="url(#bezel)", stroke="#333", sw=1.5, rx=8),
        circle(30, 30, 23.5, fill="#4a4a4a", stroke="#222", sw=1.2),
    ]
    if pressed:
        items += [circle(30, 30, 21.5, fill="#262626", stroke="none"),
                  circle(30, 30.8, 18.8, fill="url(#cap)", stroke="#222", sw=1.4)]
    else:
        items += [circle(30, 30, 21, fill="url(#cap)", stroke="#111", sw=1.5),
                  path("M17,24 A14,14 0 0 1 36,16.5", stroke="#ffffff", sw=2,
                       extra='stroke-opacity="0.6" stroke-linecap="round"')]
    return svg(60, 60, items, defs)


def draw_buttons():
    for colour in BUTTON_CAPS:
        off = push_button(colour, False)
        if colour == "RED":
            off = off.replace('height="60"', 'height="59"', 1)
        write(f"{colour}_OFF", off)
        write(f"{colour}_ON", push_button(colour, True).replace(
            'width="60" height="60"', 'width="61" height="61"', 1))


# ---------------------------------------------------------------------------------------------
# Motor and pump: the machine's casing is filled with the colour of its condition.

MOTOR_FILLS = {"OFF": SILVER, "ON": GREEN, "TRIP": YELLOW, "OVERHEATED": ORANGE}
PUMP_FILLS = {"OFF": SILVER, "ON": GREEN, "TRIP": YELLOW, "OVERHEATED": RED}


def motor(fill):
    items = [
        # feet
        polygon([(20, 50), (66, 50), (70, 60), (16, 60)], fill="#8a8a8a", sw=1.5),
        # shaft
        rect(74, 28, 17.5, 7, fill="#d8d8d8", sw=1.3),
        line(83, 28, 83, 35, sw=1),
        # fan cover (rear) and end shields
        rect(2, 16, 12, 32, fill=fill, sw=1.6, rx=4),
        rect(12, 12, 8, 40, fill=fill, sw=1.6, rx=2),
        rect(66, 12, 9, 40, fill=fill, sw=1.6, rx=2),
        # frame with cooling fins
        rect(19, 9, 48, 46, fill=fill, sw=2, rx=3),
    ]
    for y in range(15, 52, 6):
        items.append(line(20.5, y, 65.5, y, stroke="#000", sw=0.9, extra='stroke-opacity="0.55"'))
    items += [
        # terminal box
        rect(33, 1.5, 20, 9, fill=fill, sw=1.6, rx=1.5),
        text(43, 40, "M", 15, extra='stroke="#fff" stroke-width="0.6"'),
    ]
    return svg(93, 62, items)


def pump(fill):
    items = [
        polygon([(16, 44), (46, 44), (52, 51), (10, 51)], fill="#8a8a8a", sw=1.5),
        rect(0.75, 24, 14, 12, fill="#d8d8d8", sw=1.5),
        rect(31, 10.75, 35.25, 12, fill="#d8d8d8", sw=1.5),
        line(59, 10.75, 59, 22.75, sw=1.2),
        line(6, 24, 6, 36, sw=1.2),
        circle(31, 30, 19, fill=fill, sw=2),
        polygon([(16.5, 36.5), (31, 11.5), (45.5, 36.5)], fill=WHITE, sw=1.6),
        circle(31, 29, 3.5, fill=fill, sw=1.3),
    ]
    return svg(67, 52, items)


def draw_motors():
    for state, fill in MOTOR_FILLS.items():
        write(f"MOTOR_{state}", motor(fill))
    for state, fill in PUMP_FILLS.items():
        doc = pump(fill)
        if state == "OVERHEATED":
            doc = doc.replace('width="67"', 'width="68"', 1)
        write(f"BOMB_{state}", doc)


# ---------------------------------------------------------------------------------------------
# Motorised valve: a gate valve under an electric actuator, ten positions from closed (0) to
# open (9). The gate rises out of the pipe, the stream in the outlet grows with the opening and a
# pointer on the actuator shows the travel.

def motor_valve(k):
    frac = k / 9
    defs = [
        linear_gradient("act", [(0, "#f6f6f6"), (0.45, "#b4b4b4"), (0.55, "#9c9c9c"), (1, "#5e5e5e")]),
        linear_gradient("bonnet", [(0, "#6e6e6e"), (0.5, "#d4d4d4"), (1, "#6e6e6e")], 0, 0, 1, 0),
    ]
    gate_top = 29.5 - 16 * frac
    stream = 13 * frac
    items = [
        # inlet pipe full of fluid, outlet with a stream as deep as the opening
        rect(0.75, 31, 32, 14, fill=BLUE, sw=1.5),
        rect(58.25, 31, 32, 14, fill=WHITE, sw=1.5),
    ]
    if k:
        items.append(rect(59, 44.25 - stream, 31.25, stream, fill=BLUE, stroke="none", sw=0))
    items += [
        # body and bonnet
        rect(30, 24, 31, 28, fill="#cfcfcf", stroke=BLACK, sw=1.8, rx=5),
        rect(33, 29, 25, 18, fill=WHITE, stroke="#333", sw=1),
        rect(33.5, 29.5, 12, 17, fill=BLUE, stroke="none", sw=0),
        rect(38, 12.5, 15, 12.5, fill="url(#bonnet)", stroke=BLACK, sw=1.5),
    ]
    if k:
        items.append(rect(45, 46.5 - stream, 12.5, stream, fill=BLUE, stroke="none", sw=0))
    items += [
        # stem and gate
        line(45.5, 12, 45.5, gate_top, sw=2),
        rect(43, gate_top, 5, 17.5, fill="#3c3c3c", stroke=BLACK, sw=1),
        # actuator
        rect(22, 0.75, 47, 12.5, fill="url(#act)", stroke=BLACK, sw=1.5, rx=2.5),
        rect(26, 4, 32, 5.5, fill=WHITE, stroke="#333", sw=0.8),
        rect(26.4, 4.4, 31.2 * frac, 4.7, fill="#3c3c3c", stroke="none", sw=0),
        circle(63.5, 6.75, 3, fill="#dcdcdc", stroke="#333", sw=0.9),
    ]
    return svg(91, 53, items, defs)


def draw_motor_valve():
    for k in range(10):
        write(f"MMOTORVALVE_{k}", motor_valve(k))


# ---------------------------------------------------------------------------------------------
# The lift bridge: a double-leaf bascule seen from the side, 517 x 517, in greys. Each frame
# shows the leaves at the elevation the bridge model reports for it (and the meter shows):
# down on frames 0-4, then 3 degrees a frame, upright from frame 34 on. The picture
# is drawn where the bridge window puts it, so its road meets the strip picture (FRAMES_40)
# and the traffic lights, and the cam under the river slides over the window's four limit
# switches exactly on the frames where the bridge model reports them:
#
#   FC_A frames 0-4, FC_B 2-9, FC_C 24-30, FC_D 29-35.
#
# Everything right of x = 460 above the road stays empty: the power devices of the window
# overlap that corner.

BRIDGE = 517
FRAMES = 40
ROAD_Y = 349                 # road surface, also the top edge of the strip picture
PIVOT = (78, 356)            # trunnion of the left leaf; the right one mirrors it
LEAF_REACH = 180             # from the trunnion to the leaf's nose at the middle of the span
PIER_FACE = 96               # x of the left pier's river face
PIT = (30, 90)               # x range of the counterweight pit in the left pier
BED_Y = 404                  # river bed / foundations
WATER_Y = 373
STRIP_W, STRIP_H = 745, 30   # the strip under the bridge, placed 107 px left of the bridge
STRIP_X = -107

# Limit switch levers on the bridge window, in the bridge's coordinates, and the frames on
# which the bridge model reports each switch active.
SWITCH_X = {"FC_A": 69 + 8.5, "FC_B": 117 + 8.5, "FC_C": 237 + 8.5, "FC_D": 277 + 8.5}
SWITCH_ON = {"FC_A": range(0, 5), "FC_B": range(2, 10), "FC_C": range(24, 31), "FC_D": range(29, 36)}
SWITCH_TOP = 417
CAM_W = 60                   # flat underside of the cam that presses the rollers


def leaf_angle(frame):
    """The bridge model's elevation of a frame, in whole degrees."""
    return min(90, max(0, (frame - 4) * 3))


def cam_path():
    """Left edge of the cam on every frame: as smooth as possible while covering exactly the
    switches that are active on that frame (2.5 px clear of every roller centre)."""
    margin = 2.5
    lo, hi = [], []
    for f in range(FRAMES):
        a_min, a_max = -1e9, 1e9
        for name, x in SWITCH_X.items():
            if f in SWITCH_ON[name]:          # x inside [a, a + CAM_W]
                a_min = max(a_min, x - CAM_W + margin)
                a_max = min(a_max, x - margin)
        lo.append(a_min)
        hi.append(a_max)
    # The rest of the constraints are "does not cover": between two switches that are both
    # off, the cam must sit in the gap the neighbouring frames point to; resolve by walking
    # the switches in order of travel.
    order = sorted(SWITCH_X, key=SWITCH_X.get)
    for f in range(FRAMES):
        active = [s for s in order if f in SWITCH_ON[s]]
        if active:
            continue
        passed = [s for s in order if SWITCH_ON[s].stop <= f]
        left = SWITCH_X[passed[-1]] if passed else -1e9
        right = min((SWITCH_X[s] for s in order if s not in passed), default=1e9)
        lo[f] = max(lo[f], left + margin)
        hi[f] = min(hi[f], right - CAM_W - margin)
    for f in range(FRAMES):
        active = [s for s in order if f in SWITCH_ON[s]]
        for s in order:
            if s in active:
                continue
            x = SWITCH_X[s]
            if SWITCH_ON[s].stop <= f:        # already passed: cam left edge beyond it
                lo[f] = max(lo[f], x + margin)
            else:                             # still ahead: cam right edge short of it
                hi[f] = min(hi[f], x - CAM_W - margin)
    lo[-1] = max(lo[-1], lo[-2] + 6)
    a = [min(max((l + h) / 2 if h < 1e8 else l + 8, l), h) for l, h in zip(lo, hi)]
    for _ in range(4000):
        for f in range(FRAMES):
            if 0 < f < FRAMES - 1:
                want = (a[f - 1] + a[f + 1]) / 2
            elif f == 0:
                want = 2 * a[1] - a[2]
            else:
                want = 2 * a[-2] - a[-3]
            a[f] = min(max(a[f] + 0.5 * (want - a[f]), lo[f]), hi[f])
    for f in range(FRAMES):
        covered = {s for s, x in SWITCH_X.items() if a[f] <= x <= a[f] + CAM_W}
        expected = {s for s in SWITCH_X if f in SWITCH_ON[s]}
        assert covered == expected, (f, covered, expected)
        assert f == 0 or a[f] > a[f - 1], f
    return a


MASONRY = "#cdcdcd"
JOINT = "#9a9a9a"
WATER = "#d3d9dd"
WAVE = "#8f9aa3"
STEEL = "#a9a9a9"
DARK = "#5c5c5c"
ASPHALT = "#3c3c3c"


def pier_joints(x0, x1, y0, y1, course=9, brick=22):
    """Mortar joints of a masonry block as one compact path."""
    d = []
    row = 0
    y = y0 + course
    while y < y1 - 1:
        d.append(f"M{n(x0)},{n(y)}H{n(x1)}")
        y += course
    y = y0
    while y < y1 - 1:
        off = (brick / 2) * (row % 2)
        x = x0 + off + brick
        while x < x1 - 2:
            d.append(f"M{n(x)},{n(y)}v{n(min(course, y1 - y))}")
            x += brick
        y += course
        row += 1
    return path("".join(d), stroke=JOINT, sw=0.8)


def bridge_static():
    """Piers, river and cam rail: the same in every frame."""
    x0, y0 = PIER_FACE, ROAD_Y
    items = [
        # river between the piers
        rect(x0, WATER_Y, BRIDGE - 2 * x0, BED_Y - WATER_Y, fill=WATER, stroke="none", sw=0),
        path("".join(f"M{n(x)},{n(y)}q4,-2.5 8,0t8,0" for y, xs in
                     ((WATER_Y + 1, range(x0 + 4, BRIDGE - x0 - 12, 34)),
                      (WATER_Y + 12, range(x0 + 20, BRIDGE - x0 - 12, 46)),
                      (WATER_Y + 25, range(x0 + 8, BRIDGE - x0 - 12, 58))) for x in xs),
             stroke=WAVE, sw=1.1),
    ]
    p0, p1 = PIT
    for mirror in (False, True):
        g = [
            # pier with the pit the counterweight swings into
            polygon([(0, y0), (x0, y0), (x0 + 4, BED_Y), (0, BED_Y)], fill=MASONRY, stroke=BLACK, sw=1.5),
            pier_joints(1, x0, y0 + 4, BED_Y - 1),
            path(f"M{p0},{y0}V{BED_Y - 6}Q{p0},{BED_Y - 3} {p0 + 3},{BED_Y - 3}H{p1 - 3}"
                 f"Q{p1},{BED_Y - 3} {p1},{BED_Y - 6}V{y0 + 12}",
                 fill="#6e6e6e", stroke=BLACK, sw=1.3),
            rect(0, y0, p0, 3.5, fill=ASPHALT, stroke="none", sw=0),
            # trunnion bearing
            polygon([(PIVOT[0] - 8, PIVOT[1] + 16), (PIVOT[0], PIVOT[1]), (PIVOT[0] + 8, PIVOT[1] + 16)],
                    fill="#8a8a8a", stroke=BLACK, sw=1.2),
        ]
        items.append(group(g, "matrix(-1 0 0 1 517 0)") if mirror else group(g))
    # the bridge keeper's cabin on the left pier (the right corner stays clear for the window)
    items += [
        rect(3, y0 - 36, 24, 36, fill="#e4e4e4", stroke=BLACK, sw=1.5),
        polygon([(0, y0 - 35), (15, y0 - 46), (30, y0 - 35)], fill="#7a7a7a", stroke=BLACK, sw=1.5),
        rect(7, y0 - 29, 16, 10, fill="#b4bcc2", stroke=BLACK, sw=1.2),
        line(15, y0 - 29, 15, y0 - 19, sw=1),
        rect(10, y0 - 14, 7, 14, fill="#8a8a8a", stroke=BLACK, sw=1),
    ]
    items += [
        rect(0, BED_Y, BRIDGE, 2.5, fill="#4a4a4a", stroke="none", sw=0),
        # cam rail hanging under the foundations
        path(f"M36,{BED_Y + 2}v4M356,{BED_Y + 2}v4", stroke=BLACK, sw=1.5),
        rect(30, BED_Y + 5.5, 332, 4, fill="#8c8c8c", stroke=BLACK, sw=1),
    ]
    return items


def leaf_shape():
    """The left leaf in its own coordinates: origin at the trunnion, u towards the nose."""
    top = -6
    deep, nose = 15, 4          # girder depth under the deck at the trunnion and at the nose

    def bottom(u):
        return deep - (deep - nose) * max(0.0, u - 20) / (LEAF_REACH - 20)

    girder = polygon([(-40, top), (LEAF_REACH, top), (LEAF_REACH, nose), (20, deep), (-16, deep),
                      (-16, top + 2)], fill=STEEL, stroke=BLACK, sw=1.5)
    # Warren bracing between deck and bottom chord
    panel = 20
    us = list(range(-12, LEAF_REACH - 4, panel))
    zig = [(u, top + 2.5 if i % 2 == 0 else bottom(u) - 1.5) for i, u in enumerate(us)]
    posts = "".join(f"M{u},{top}v-13" for u in range(6, LEAF_REACH + 1, 20))
    return [
        rect(-40, top, 24, 21, fill=DARK, stroke=BLACK, sw=1.5),          # counterweight
        girder,
        polyline(zig, stroke="#5e5e5e", sw=1.1),
        rect(-44, top, LEAF_REACH + 44, 3.5, fill=ASPHALT, stroke=BLACK, sw=0.6),  # road surface
        path(f"M4,{top - 13}H{LEAF_REACH}M4,{top - 7}H{LEAF_REACH}" + posts, stroke=BLACK, sw=1.2),
        circle(0, 0, 4.5, fill=WHITE, stroke=BLACK, sw=1.5),
        circle(0, 0, 1.3, fill=BLACK, stroke="none", sw=0),
    ]


def bridge_frame(frame, cam_x):
    th = leaf_angle(frame)
    px, py = PIVOT
    left = group([group(leaf_shape(), f"translate({px} {py}) rotate({n(-th)})")])
    items = bridge_static()
    items += [
        left,
        group([group(leaf_shape(), f"translate({px} {py}) rotate({n(-th)})")], "matrix(-1 0 0 1 517 0)"),
        polygon([(cam_x - 5, BED_Y + 9.5), (cam_x + CAM_W + 5, BED_Y + 9.5),
                 (cam_x + CAM_W, SWITCH_TOP + 4), (cam_x, SWITCH_TOP + 4)],
                fill="#4a4a4a", stroke=BLACK, sw=1.2),
    ]
    return svg(BRIDGE, BRIDGE, items)


def strip():
    """The ground under the bridge: approach roads on embankments and the river between."""
    x_face = PIER_FACE - STRIP_X                     # left pier face in the strip
    x_right = x_face + BRIDGE - 2 * PIER_FACE        # right pier face
    items = [
        rect(0, 0, x_face, STRIP_H, fill="#bdbdbd", stroke="none", sw=0),
        rect(x_right, 0, STRIP_W - x_right, STRIP_H, fill="#bdbdbd", stroke="none", sw=0),
        rect(x_face, WATER_Y - ROAD_Y, x_right - x_face, STRIP_H, fill=WATER, stroke="none", sw=0),
        rect(0, 0, x_face, 3.5, fill=ASPHALT, stroke="none", sw=0),
        rect(x_right, 0, STRIP_W - x_right, 3.5, fill=ASPHALT, stroke="none", sw=0),
        path("".join(f"M{x},{STRIP_H}l10,-24" for x in list(range(2, x_face - 8, 9))
                     + list(range(x_right + 4, STRIP_W - 10, 9))),
             stroke="#9a9a9a", sw=1),
    ]
    return svg(STRIP_W, STRIP_H, items)


def draw_bridge():
    cams = cam_path()
    for f in range(FRAMES):
        write(f"FRAMES_{f}", bridge_frame(f, cams[f]))
    write(f"FRAMES_{FRAMES}", strip())


# ---------------------------------------------------------------------------------------------
# Backdrop behind the power devices of the bridge window: the single-line power circuit that
# joins them, drawn so that each wire ends where the device pictures have their terminals
# (the window places this picture at 712, 8; the rectangles below are relative to it).

BACKDROP_W, BACKDROP_H = 217, 281
BREAKER = (51, 19, 38, 47)
KM = {"KM1": (-2, 81, 43, 54), "KM2": (75, 81, 43, 54), "KM3": (101, 186, 42, 56), "KM4": (173, 188, 41, 54)}
FE = (22, 186, 49, 51)
MOTOR_TOP = (67, 287)


def backdrop(supply="live"):
    """supply: "live" (mains on, breaker closed), "open" (mains on, breaker open: only the feeder
    up to the breaker is live) or "off" (no mains: everything dead, and the feeder crossed out
    in red at the breaker's mains side). Dead wiring is pale and dashed, on a duller ground, so
    a dead circuit is told from a live one across the room."""
    live, dead = "#505050", "#a8adb2"
    dashed = 'stroke-dasharray="5,3"'

    def path_x(r):  # x of a relay's power path inside its rectangle
        return r[0] + RELAY_PATH_X * r[2] / RELAY_W

    bx = BREAKER[0] + BREAKER[2] / 2
    k1, k2, k3, k4 = (path_x(KM[k]) for k in ("KM1", "KM2", "KM3", "KM4"))
    fe = FE[0] + 19 * FE[2] / 68
    m_fast, m_slow = MOTOR_TOP[0] + 38, MOTOR_TOP[0] + 50
    feeder = f"M{n(bx)},0V{BREAKER[1]}"                              # mains to the breaker
    d = [
        f"M{n(bx)},{BREAKER[1] + BREAKER[3]}V74",                     # breaker to KM1 and KM2
        f"M{n(k1)},81V74H{n(k2)}V81",
        f"M{n(k1)},135V160H{n(k2)}V135",                              # KM1 / KM2 to FE
        f"M{n(fe)},160V{FE[1]}",
        f"M{n(fe)},{FE[1] + FE[3]}V252H88V176H{n(k4)}V188",           # FE to KM3 and KM4
        f"M{n(k3)},176V186",
        f"M{n(k3)},242V262H{n(m_fast)}V{BACKDROP_H}",                 # to the two windings
        f"M{n(k4)},242V270H{n(m_slow)}V{BACKDROP_H}",
    ]
    ticks = "".join(f"M{n(bx - 4)},{n(y + 3)}l8,-5" for y in (6, 9.5, 13))
    # KM2 swaps two phases: the lowering direction
    swap = f"M{n(k2 - 4)},142l8,8M{n(k2 + 4)},142l-8,8"
    feed_ink = dead if supply == "off" else live
    ink = live if supply == "live" else dead
    extra = 'stroke-linejoin="round"' + ("" if supply == "live" else " " + dashed)
    items = [
        rect(1, 1, BACKDROP_W - 2, BACKDROP_H - 2, fill="#e9ecef" if supply == "live" else "#dcdfe2",
             stroke="#b4b9be", sw=1, rx=6),
        path(feeder, stroke=feed_ink, sw=1.6, extra=('' if supply == "off" else 'stroke-linejoin="round"')
             + (dashed if supply == "off" else "")),
        path("".join(d), stroke=ink, sw=1.6, extra=extra),
        path(ticks, stroke=feed_ink, sw=1.2),
        path(swap, stroke=ink, sw=1.2),
        text(bx + 10, 11, "3~", 9, fill=RED if supply == "off" else live, anchor="start"),
    ]
    for x, y in ((k1, 74), (k2, 74), (k1, 160), (fe, 160), (k2, 160), (88, 176), (k3, 176)):
        items.append(circle(x, y, 2.1, fill=ink, stroke="none", sw=0))
    if supply == "off":
        # No voltage at the breaker's mains terminals: a red cross over the feeder and a bar
        # through its "3~".
        items += [path(f"M{n(bx - 7)},3l14,14M{n(bx + 7)},3l-14,14", stroke=RED, sw=2.6,
                       extra='stroke-linecap="round"'),
                  line(bx + 8.5, 7.5, bx + 23.5, 7.5, stroke=RED, sw=1.6)]
    return svg(BACKDROP_W, BACKDROP_H, items)


def draw_backdrop():
    write("BACKDROP", backdrop("live"))
    write("BACKDROP_OPEN", backdrop("open"))
    write("BACKDROP_DEAD", backdrop("off"))


# ---------------------------------------------------------------------------------------------
# Raster pictures: drawn as SVG under tools/raster/, rendered to PNG at their exact size.

LED_OFF = "#d8d8d8"


def detector(on):
    items = [
        rect(0.5, 0.5, 39, 18, fill="#e4e4e4", stroke="#333", sw=1, rx=3),
        rect(3.5, 3.5, 14, 12, fill=WHITE, stroke="#333", sw=1),
        path("M7,6.5l6,3l-6,3M7,14.5h6", stroke=BLACK, sw=1.4),
        line(21, 9.5, 26, 9.5, stroke="#333", sw=1.2),
        circle(31.5, 9.5, 5.2, fill=YELLOW if on else LED_OFF, stroke="#333", sw=1.2),
    ]
    return svg(40, 19, items)


def photo(on, vertical):
    """Light barrier: emitter on the left (top), reflector at the far end; the beam turns into a
    bright solid line while something breaks it."""
    beam = (line(25, 7.5, 195, 7.5, stroke=YELLOW, sw=3) + line(25, 7.5, 195, 7.5, stroke="#b08a00", sw=0.8)
            if on else line(25, 7.5, 195, 7.5, stroke=RED, sw=1, extra='stroke-dasharray="4,3"'))
    items = [
        beam,
        rect(0.5, 0.5, 22, 14, fill="#9a9a9a", stroke="#222", sw=1, rx=2),
        rect(19, 3.5, 4, 8, fill="#3a3a3a", stroke="none", sw=0),
        circle(7, 7.5, 2.6, fill=YELLOW if on else LED_OFF, stroke="#222", sw=0.8),
        rect(195.5, 2.5, 4, 10, fill="#b4b4b4", stroke="#222", sw=1),
    ]
    if vertical:
        return svg(15, 200, [group(items, "matrix(0 1 1 0 0 0)")])
    return svg(200, 15, items)


def proximity(on, vertical):
    """Cylindrical proximity sensor: threaded barrel, sensing face and its field."""
    items = [
        path("M24,3.5Q37,12 24,20.5Z", fill=YELLOW if on else "none", stroke="#8a7000" if on else "#7a7a7a",
             sw=1, extra='stroke-dasharray="2,1.5"' + (' fill-opacity="0.6"' if on else "")),
        rect(2.5, 4.5, 20, 15, fill="#b4b4b4", stroke="#222", sw=1),
        path("".join(f"M{x},4.5v15" for x in range(5, 22, 3)), stroke="#6a6a6a", sw=0.8),
        rect(21.5, 6, 3, 12, fill="#3a3a5a", stroke="#222", sw=0.8),
        rect(0.5, 8.5, 3, 7, fill="#6a6a6a", stroke="#222", sw=0.8),
        circle(8, 12, 2.4, fill=YELLOW if on else LED_OFF, stroke="#222", sw=0.8),
    ]
    if vertical:
        return svg(24, 38, [group(items, "matrix(0 1 1 0 0 0)")])
    return svg(38, 24, items)


def loop(on):
    ink = YELLOW if on else "#1a1a1a"
    items = [
        rect(0.5, 0.5, 28, 28, fill="#8a8a8a", stroke="#333", sw=1, rx=2),
        rect(4.5, 4.5, 20, 20, fill="none", stroke=ink, sw=2, rx=3),
        rect(8.5, 8.5, 12, 12, fill="none", stroke=ink, sw=2, rx=2),
        rect(12.5, 12.5, 4, 4, fill="#5a5a5a", stroke="none", sw=0),
    ]
    return svg(29, 29, items)


def reed(on, horizontal):
    """Reed switch: a glass capsule with two reeds that touch when a magnet is near. Drawn
    along the picture's long side."""
    reeds = YELLOW if on else "#555"
    gap = 0 if on else 2
    items = [
        rect(2.5, 0.5, 8, 19, fill="#eef6fa", stroke="#333", sw=1, rx=4),
        line(5.5, 0, 5.5, 9.5, stroke="#333", sw=1.2),
        line(7.5, 20, 7.5, 10.5, stroke="#333", sw=1.2),
        line(5.5, 9.5, 6.8 - gap / 2, 12, stroke=reeds, sw=1.6),
        line(7.5, 10.5, 6.2 + gap / 2, 8, stroke=reeds, sw=1.6),
    ]
    if on:
        items.append(circle(6.5, 10, 1.8, fill=YELLOW, stroke="none", sw=0))
    if horizontal:
        return svg(13, 20, items)
    return svg(20, 13, [group(items, "matrix(0 1 1 0 0 0)")])


def glyph(kind):
    """24 x 24 palette glyphs."""
    g = {
        "TDEPOSIT": [rect(4.5, 2.5, 15, 19, fill=WHITE, sw=1.2, rx=2),
                     rect(5.1, 11, 13.8, 9.9, fill=BLUE, stroke="none", sw=0, rx=1.5),
                     line(12, 21.5, 12, 23.5, sw=1.5)],
        "TDETECTOR": [rect(1.5, 6.5, 21, 11, fill="#e4e4e4", sw=1, rx=2),
                      path("M4.5,8.5l5,2.5l-5,2.5M4.5,15.5h5", sw=1.3),
                      circle(17, 12, 3.5, fill=YELLOW, sw=1)],
        "TMETER": [rect(1.5, 6.5, 21, 11, fill="#203020", sw=1, rx=1),
                   path("M5,9h4v6h-4zM5,12h4M11,9h4v6h-4zM11,12h4M17,9v6", stroke="#6fff6f", sw=1.1)],
        "TMOTOR": [circle(12, 12, 9.5, fill=GREEN, sw=1.5), text(12, 16.5, "M", 12)],
        "TMOTORVALVE": [polygon([(3, 13), (12, 18), (3, 23)], fill=BLUE, sw=1),
                        polygon([(21, 13), (12, 18), (21, 23)], fill=BLUE, sw=1),
                        line(12, 18, 12, 11, sw=1.3),
                        rect(5.5, 1.5, 13, 9, fill="#b4b4b4", sw=1.2, rx=1.5),
                        text(12, 9.5, "M", 7.5)],
        "TPOSITIONDETECTOR": [line(10, 12, 23, 12, stroke=RED, sw=1.2, extra='stroke-dasharray="2.5,1.5"'),
                              rect(1.5, 7.5, 9, 9, fill="#9a9a9a", sw=1, rx=1),
                              circle(6, 12, 2, fill=YELLOW, stroke="#222", sw=0.8)],
        "TPUSHBUTTON": [rect(1.5, 1.5, 21, 21, fill="#b4b4b4", stroke="#333", sw=1, rx=4),
                        circle(12, 12, 7.5, fill=RED, stroke="#222", sw=1.2)],
        "TRELAY": [rect(2.5, 7.5, 7, 10, fill=YELLOW, sw=1.2),
                   line(17.5, 1, 17.5, 7, sw=1.4), line(14, 7, 17.5, 7, sw=1.4),
                   line(17.5, 17, 17.5, 23, sw=1.4), line(17.5, 17, 21.5, 8.5, sw=1.6),
                   line(9.5, 12.5, 19, 12.5, sw=1, extra='stroke-dasharray="2,1.5"')],
        "TSWITCH": [line(12, 1, 12, 7, sw=1.5), line(8, 7, 12, 7, sw=1.5),
                    line(12, 17, 12, 23, sw=1.5), line(12, 17, 18, 6.5, sw=2),
                    circle(12, 17, 1.5, fill=BLACK, stroke="none", sw=0)],
        "TVALVE": [polygon([(2.5, 12), (12, 17.5), (2.5, 22.5)], fill="#8c8c8c", sw=1.2),
                   polygon([(21.5, 12), (12, 17.5), (21.5, 22.5)], fill="#8c8c8c", sw=1.2),
                   line(12, 17.5, 12, 8, sw=1.4),
                   path("M5.5,8A6.5,5.5 0 0 1 18.5,8Z", fill="#d0d0d0", sw=1.2)],
    }[kind]
    return svg(24, 24, g)


RASTERS = {}


def raster(name, doc):
    RASTERS[name] = doc


def draw_rasters():
    for on in (False, True):
        s = "ON" if on else "OFF"
        raster(f"DETECTOR_{s}", detector(on))
        raster(f"PHOTOHOR_{s}", photo(on, False))
        raster(f"PHOTOVER_{s}", photo(on, True))
        raster(f"PROXHOR_{s}", proximity(on, False))
        raster(f"PROXVER_{s}", proximity(on, True))
        raster(f"LOOP_{s}", loop(on))
        raster(f"REEDHOR_{s}", reed(on, True))
        raster(f"REEDVER_{s}", reed(on, False))
    for kind in ("TDEPOSIT", "TDETECTOR", "TMETER", "TMOTOR", "TMOTORVALVE", "TPOSITIONDETECTOR",
                 "TPUSHBUTTON", "TRELAY", "TSWITCH", "TVALVE"):
        raster(kind, glyph(kind))
    tool = svg2png()
    for name, doc in RASTERS.items():
        write(name, doc, RASTER_SRC)
        render(tool, os.path.join(RASTER_SRC, name + ".svg"), os.path.join(PICTURES, name + ".png"))


def svg2png():
    """The renderer, compiled on first use (or when its source is newer)."""
    src = os.path.join(ROOT, "tools", "svg2png.cpp")
    if not os.path.exists(SVG2PNG) or os.path.getmtime(SVG2PNG) < os.path.getmtime(src):
        os.makedirs(os.path.dirname(SVG2PNG), exist_ok=True)
        flags = subprocess.run(["pkg-config", "--cflags", "--libs", "Qt6Svg", "Qt6Gui"],
                               check=True, capture_output=True, text=True).stdout.split()
        subprocess.run(["g++", "-std=c++20", "-O1", "-fPIC", src, "-o", SVG2PNG] + flags, check=True)
    return SVG2PNG


def render(tool, src, dst, size=None):
    extra = [str(size[0]), str(size[1])] if size else []
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    subprocess.run([tool, src, dst] + extra, check=True, env=env, stderr=subprocess.DEVNULL)


# ---------------------------------------------------------------------------------------------
# Program icon: a raised bascule leaf over water, bold enough to read at 16 px.

def icon():
    defs = [linear_gradient("sky", [(0, "#3c5a78"), (1, "#1c2c3c")])]
    items = [
        rect(2, 2, 60, 60, fill="url(#sky)", stroke="#101820", sw=1.5, rx=12),
        path("M4,44H60V50Q60,60 50,60H14Q4,60 4,50Z", fill="#5f8fb8", stroke="none", sw=0),
        path("M22,50q3,-2 6,0t6,0M28,55q3,-2 6,0t6,0", stroke="#cfe2f2", sw=1.6),
        path("M4,40H18V60.5H14Q3.5,60.5 3.5,50Z", fill="#c8c8c8", stroke="#101820", sw=1.5),
        path("M46,40H60.5V50Q60.5,60.5 50,60.5H46Z", fill="#c8c8c8", stroke="#101820", sw=1.5),
        group([rect(0, -4, 34, 6, fill="#e8e8e8", stroke="#101820", sw=1.5),
               rect(0, -4, 34, 2, fill=YELLOW, stroke="none", sw=0)],
              "translate(15 40) rotate(-38)"),
        line(46, 40, 60, 40, stroke=YELLOW, sw=2.5),
        circle(15, 40, 3, fill=WHITE, stroke="#101820", sw=1.5),
    ]
    return svg(256, 256, items, defs, view=(64, 64))


def draw_icon():
    write("torvane", icon(), ICON_DIR)
    render(svg2png(), os.path.join(ICON_DIR, "torvane.svg"), os.path.join(ICON_DIR, "torvane.png"))


GROUPS = {
    "icon": draw_icon,
    "backdrop": draw_backdrop,
    "rasters": draw_rasters,
    "bridge": draw_bridge,
    "buttons": draw_buttons,
    "motors": draw_motors,
    "motorvalve": draw_motor_valve,
    "switches": draw_switches,
    "relay": draw_relay,
    "valve": draw_valve,
}


def main(argv):
    names = argv[1:] or list(GROUPS)
    for name in names:
        if name not in GROUPS:
            sys.exit(f"make_pictures: unknown group {name!r}; groups: {', '.join(GROUPS)}")
        GROUPS[name]()


if __name__ == "__main__":
    main(sys.argv)
