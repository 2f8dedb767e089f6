#!/usr/bin/env python3
"""Writes the add-on's simple meshes (the host's text mesh format) and the railgun sound into hostroot/."""
import math, os, struct, wave

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "hostroot")

# Corvane ship mesh groups: every index the animations and the cockpit figures move must exist.
CORVANE_GROUPS = {
    0: ("hull", (0, 0, 0), (2.4, 1.2, 4.4)),
    1: ("seat1 figure head", (0, 1.25, 2.1), (0.12, 0.14, 0.12)),
    2: ("seat1 figure body", (0, 0.95, 2.1), (0.2, 0.25, 0.15)),
    3: ("seat1 figure legs", (0, 0.75, 2.3), (0.18, 0.1, 0.25)),
    4: ("seat0 figure head", (0, 1.05, 3.0), (0.12, 0.14, 0.12)),
    5: ("seat0 figure body", (0, 0.75, 3.0), (0.2, 0.25, 0.15)),
    6: ("seat0 figure legs", (0, 0.55, 3.2), (0.18, 0.1, 0.25)),
    22: ("lamp parking brake", (0.25, 0.6, 3.6), (0.02, 0.02, 0.02)),
    23: ("lamp gear", (0.2, 0.6, 3.6), (0.02, 0.02, 0.02)),
    24: ("lamp low propellant", (0.15, 0.6, 3.6), (0.02, 0.02, 0.02)),
    25: ("lamp dampeners offline", (0.1, 0.6, 3.6), (0.02, 0.02, 0.02)),
    26: ("lamp main engine", (0.05, 0.6, 3.6), (0.02, 0.02, 0.02)),
    27: ("lamp boost", (0.0, 0.6, 3.6), (0.02, 0.02, 0.02)),
    29: ("right elevon", (-4.6, 0.3, -1.6), (1.2, 0.05, 0.6)),
    33: ("left elevon", (4.6, 0.3, -1.6), (1.2, 0.05, 0.6)),
    34: ("nose gear strut", (0, -1.3, 4.2), (0.1, 0.6, 0.1)),
    35: ("nose gear wheel", (0, -2.3, 4.2), (0.1, 0.3, 0.3)),
    36: ("nose gear door", (0, -0.3, 4.3), (0.3, 0.05, 0.5)),
    37: ("left gear strut", (-5.9, -1.9, 1.0), (0.1, 0.6, 0.1)),
    38: ("left gear wheel", (-5.9, -2.3, 1.0), (0.1, 0.3, 0.3)),
    39: ("right gear strut", (5.9, -1.9, 1.0), (0.1, 0.6, 0.1)),
    40: ("right gear wheel", (5.9, -2.3, 1.0), (0.1, 0.3, 0.3)),
    41: ("canopy P frame", (0, 1.2, 3.0), (0.5, 0.3, 0.7)),
    47: ("canopy C frame", (0, 1.3, 2.0), (0.5, 0.3, 0.6)),
    48: ("canopy C glass", (0, 1.35, 2.0), (0.45, 0.25, 0.55)),
    49: ("canopy P glass", (0, 1.25, 3.0), (0.45, 0.25, 0.65)),
}
for i in range(14, 22):
    CORVANE_GROUPS[i] = ("spare lamp %d" % (21 - i), (-0.05 * (i - 13), 0.6, 3.6), (0.02, 0.02, 0.02))
CORVANE_GROUP_COUNT = 50


def box(centre, half):
    cx, cy, cz = centre
    hx, hy, hz = half
    faces = [((1, 0, 0), [(1, -1, -1), (1, 1, -1), (1, 1, 1), (1, -1, 1)]),
             ((-1, 0, 0), [(-1, -1, 1), (-1, 1, 1), (-1, 1, -1), (-1, -1, -1)]),
             ((0, 1, 0), [(-1, 1, -1), (-1, 1, 1), (1, 1, 1), (1, 1, -1)]),
             ((0, -1, 0), [(-1, -1, 1), (-1, -1, -1), (1, -1, -1), (1, -1, 1)]),
             ((0, 0, 1), [(-1, -1, 1), (1, -1, 1), (1, 1, 1), (-1, 1, 1)]),
             ((0, 0, -1), [(1, -1, -1), (-1, -1, -1), (-1, 1, -1), (1, 1, -1)])]
    vtx, tri = [], []
    for n, corners in faces:
        base = len(vtx)
        for sx, sy, sz in corners:
            vtx.append((cx + sx * hx, cy + sy * hy, cz + sz * hz) + n)
        tri += [(base, base + 1, base + 2), (base, base + 2, base + 3)]
    return vtx, tri


def tube(radius, length, sides=16):
    vtx, tri = [], []
    for k in range(sides + 1):
        a = 2 * math.pi * k / sides
        x, y = radius * math.cos(a), radius * math.sin(a)
        vtx.append((x, y, -length / 2, -x / radius, -y / radius, 0))
        vtx.append((x, y, length / 2, -x / radius, -y / radius, 0))
    for k in range(sides):
        i = 2 * k
        tri += [(i, i + 1, i + 2), (i + 1, i + 3, i + 2)]
    return vtx, tri


def write_mesh(name, groups):
    lines = ["MSHX1", "GROUPS %d" % len(groups)]
    for label, (vtx, tri) in groups:
        lines.append("LABEL %s" % label)
        lines.append("MATERIAL 1")
        lines.append("GEOM %d %d" % (len(vtx), len(tri)))
        lines += ["%.4f %.4f %.4f %.4f %.4f %.4f" % v for v in vtx]
        lines += ["%d %d %d" % t for t in tri]
    lines += ["MATERIALS 1", "hull", "MATERIAL hull", "0.7 0.7 0.72 1", "0.7 0.7 0.72 1",
              "0.2 0.2 0.2 1 10", "0 0 0 1", "TEXTURES 0"]
    path = os.path.join(ROOT, "Meshes", name + ".msh")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


def corvane_mesh():
    groups = []
    for i in range(CORVANE_GROUP_COUNT):
        label, centre, half = CORVANE_GROUPS.get(i, ("detail %d" % i, (0, -0.5, -3.0 + 0.05 * i), (0.05, 0.05, 0.05)))
        groups.append((label.replace(" ", "_"), box(centre, half)))
    write_mesh("Corvane", groups)


def railgun_wave():
    # A short falling whine with a sharp onset: 0.6 s, 22050 Hz, 16-bit mono.
    rate, seconds = 22050, 0.6
    frames = bytearray()
    for n in range(int(rate * seconds)):
        t = n / rate
        envelope = math.exp(-6.0 * t) * min(1.0, t * 400)
        freq = 1800 * math.exp(-3.0 * t) + 120
        sample = envelope * (0.6 * math.sin(2 * math.pi * freq * t) + 0.3 * math.sin(2 * math.pi * 2.01 * freq * t))
        frames += struct.pack("<h", int(max(-1.0, min(1.0, sample)) * 30000))
    path = os.path.join(ROOT, "Sound", "corvane", "railgf1a.wav")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(bytes(frames))


if __name__ == "__main__":
    corvane_mesh()
    write_mesh("corvane-hspace", [("tunnel", tube(14.0, 60.0))])
    write_mesh("Pellorin", [("slug", box((0, 0, 0), (0.05, 0.05, 0.3)))])
    railgun_wave()
