#!/usr/bin/env python3
"""Writes the spinning 3D example's files into examples/spin3d/:

  crate.png   a 64 x 64 crate texture (planks with a frame round them)
  cube.x      a cube of side 2 about its centre, four corners a side, with
              face normals and texture coordinates (each side the whole picture)
  sphere.x    a sphere of radius 1, 16 slices by 10 stacks, with smooth normals

Run it again after changing a shape; the files are kept in the repository.
"""
import math
import os

from png_writer import write_png

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "examples", "spin3d")


def crate():
    size = 64
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            edge = min(x, y, size - 1 - x, size - 1 - y)
            if edge < 6:
                colour = (120, 70, 30) if edge in (0, 5) else (170, 105, 45)
            elif abs(x - y) < 5 or abs(x + y - (size - 1)) < 5:
                colour = (150, 90, 40)  # the braces across the side
            else:
                # Planks running across, with a darker seam every 12 rows.
                seam = (y - 6) % 12 == 11
                grain = ((x * 7 + y * 3) % 11) * 3
                colour = (110, 65, 25) if seam else (205 - grain, 150 - grain, 80 - grain // 2)
            row.append(colour)
        rows.append(row)
    write_png(os.path.join(OUT, "crate.png"), size, size, rows)


def number(v):
    text = "%.6f" % v
    text = text.rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def vector(v):
    return ";".join(number(c) for c in v) + ";"


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def write_mesh(path, name, vertices, faces, normals=None, normal_faces=None, coords=None):
    lines = ["xof 0302txt 0032", "Mesh %s {" % name, "  %d;" % len(vertices)]
    lines.append(",\n".join("  " + vector(v) for v in vertices) + ";")
    lines.append("  %d;" % len(faces))
    lines.append(",\n".join("  %d;%s;" % (len(f), ",".join(map(str, f))) for f in faces) + ";")
    if normals is not None:
        lines.append("  MeshNormals {")
        lines.append("    %d;" % len(normals))
        lines.append(",\n".join("    " + vector(n) for n in normals) + ";")
        lines.append("    %d;" % len(normal_faces))
        lines.append(",\n".join("    %d;%s;" % (len(f), ",".join(map(str, f))) for f in normal_faces) + ";")
        lines.append("  }")
    if coords is not None:
        lines.append("  MeshTextureCoords {")
        lines.append("    %d;" % len(coords))
        lines.append(",\n".join("    " + vector(c) for c in coords) + ";")
        lines.append("  }")
    lines.append("}")
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


def cube():
    # Each side seen from outside: its normal, and the way up on it. The
    # corners go top left, top right, bottom right, bottom left, clockwise
    # as the viewer sees them, so the front faces outwards.
    sides = [((0, 0, -1), (0, 1, 0)), ((0, 0, 1), (0, 1, 0)), ((-1, 0, 0), (0, 1, 0)),
             ((1, 0, 0), (0, 1, 0)), ((0, 1, 0), (0, 0, 1)), ((0, -1, 0), (0, 0, -1))]
    vertices, faces, normals, normal_faces, coords = [], [], [], [], []
    for n, up in sides:
        right = cross(up, tuple(-c for c in n))
        first = len(vertices)
        for sx, sy, u, v in ((-1, 1, 0, 0), (1, 1, 1, 0), (1, -1, 1, 1), (-1, -1, 0, 1)):
            vertices.append(tuple(n[i] + sx * right[i] + sy * up[i] for i in range(3)))
            coords.append((u, v))
        faces.append([first, first + 1, first + 2, first + 3])
        normal_faces.append([len(normals)] * 4)
        normals.append(n)
    write_mesh(os.path.join(OUT, "cube.x"), "cube", vertices, faces, normals, normal_faces, coords)


def sphere(slices=16, stacks=10):
    vertices = []
    for j in range(stacks + 1):
        polar = math.pi * j / stacks
        for i in range(slices):
            angle = 2 * math.pi * i / slices
            vertices.append((math.sin(polar) * math.cos(angle), math.cos(polar), math.sin(polar) * math.sin(angle)))
    faces = []
    for j in range(stacks):
        for i in range(slices):
            a, b = j * slices + i, j * slices + (i + 1) % slices
            c, d = b + slices, a + slices
            quad = [a, b, c, d]
            if j == 0:
                quad = [a, c, d]  # the top pole: one corner stands for the whole ring
            elif j == stacks - 1:
                quad = [a, b, c]
            # Clockwise seen from outside: the cross of the first two edges points out.
            p = [vertices[k] for k in quad]
            e1 = tuple(p[1][k] - p[0][k] for k in range(3))
            e2 = tuple(p[2][k] - p[1][k] for k in range(3))
            centre = tuple(sum(q[k] for q in p) for k in range(3))
            if sum(x * y for x, y in zip(cross(e1, e2), centre)) < 0:
                quad.reverse()
            faces.append(quad)
    write_mesh(os.path.join(OUT, "sphere.x"), "sphere", vertices, faces, vertices, faces)


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    crate()
    cube()
    sphere()
