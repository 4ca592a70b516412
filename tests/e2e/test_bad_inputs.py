"""Every bad input the game can meet, one table row each: the game runs in a
copy of the data directory with one file broken, and either ends with its
message lines on standard output, nothing on standard error and status 255,
or runs on with the fallback (a picture that cannot be used samples black)
and ends with status 0 on Escape. docs/bad-inputs.md lists the same cases."""

import os
import struct
import zlib

from game_driver import Game, run
import hud

WINDOW_CONFIG = f"WIDTH = {hud.WIDTH}\nHEIGHT = {hud.HEIGHT}\nFULLSCREEN = 0\n"
FATAL_TIMEOUT = 20       # seconds for a start-up failure
SKY_BOX = (100, 60, 500, 200)    # screen box that shows only the sky box in the start view
LOOK_DOWN_PIXELS = 150   # puts the hearts over the island, darker than the glyphs

RED_BGR = b"\x00\x00\xff"
HEIGHT_LEVEL = 230       # a flat heightmap of this level keeps the eye above the water

SKY = "Models/Above_The_Sea2.jpg"
FONT = "Font/flipped_mit_herz.bmp"
HEIGHTMAP = "Models/heightmap2.bmp"
PLUS = "Models/plus.obj"


# --- bad files -------------------------------------------------------------

def bmp_header(width, height, bits, pixel_bytes, palette=b""):
    """The file and info headers of an uncompressed BMP, then the palette."""
    offset = 54 + len(palette)
    return (b"BM" + struct.pack("<IHHI", offset + pixel_bytes, 0, 0, offset)
            + struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, pixel_bytes, 2835, 2835,
                          len(palette) // 4, 0)
            + palette)


def bmp(width, height, bits, pixel, palette=b""):
    """An uncompressed BMP, every pixel the given bytes; rows padded to 4 bytes."""
    row = pixel * width
    pixels = (row + bytes(-len(row) % 4)) * height
    return bmp_header(width, height, bits, len(pixels), palette) + pixels


def grey_palette():
    return b"".join(bytes([i, i, i, 0]) for i in range(256))


def red_at_seven_palette():
    """Every entry grey except entry 7, which is red."""
    return b"".join(bytes(RED_BGR + b"\x00") if i == 7 else bytes([i, i, i, 0]) for i in range(256))


def bmp_header_claiming(width, height):
    """An 8-bit BMP whose header claims width x height pixels and holds a few bytes."""
    return bmp_header(width, height, 8, width * height, grey_palette()) + bytes(16)


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png(width, height, level):
    """An 8-bit grey PNG, every pixel at level."""
    rows = (b"\x00" + bytes([level]) * width) * height
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0))
            + png_chunk(b"IDAT", zlib.compress(rows)) + png_chunk(b"IEND", b""))


def with_stray_chunk(picture):
    """The PNG with a few bytes before its IEND chunk that claim a 1.9 GB text chunk."""
    return picture[:-12] + struct.pack(">I", 0x716B746B) + b"tEXtdat\x82" + picture[-12:]


# A run-length grey TGA whose 6-byte ID field ends past its 18 bytes, so its
# pixels would start past the end of the file: FreeImage crashes on it.
TGA_PIXELS_PAST_END = bytes([6, 0, 11, 0xBF, 0xB6, 0xFF, 0xFF, 0xFF, 3, 0, 0, 0, 0x41, 0x10, 2, 0, 8, 0])


def many_vertex_obj(triangles):
    lines = [f"v {t} 0 0\nv {t} 1 0\nv {t} 0 1\n" for t in range(triangles)]
    lines += [f"f {3 * t + 1} {3 * t + 2} {3 * t + 3}\n" for t in range(triangles)]
    return "".join(lines)


def without_uvs(obj):
    """The model with its texture coordinates removed: faces keep v//vn."""
    out = []
    for line in obj.splitlines():
        if line.startswith("vt "):
            continue
        if line.startswith("f "):
            corners = [c.split("/") for c in line.split()[1:]]
            line = "f " + " ".join(f"{c[0]}//{c[2]}" for c in corners)
        out.append(line)
    return "\n".join(out) + "\n"


POLYGONS_OBJ = ("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0.5 1.5 0\n"
                "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nf 1/1 2/2 3/3 4/4\nf 1/1 2/2 3/3 5/4 4/1\n")

NOT_LINKING_FRAGMENT = ("#version 330 core\n// reads as vec3 what the vertex shader writes as vec2\n"
                        "in vec3 uvs2;\nout vec4 fragColor;\nvoid main() { fragColor = vec4(uvs2, 1.0); }\n")
NOT_LINKING_VERTEX = ("#version 330 core\nin vec2 position;\nout vec2 uvs2;\n"
                      "void main() { uvs2 = position; gl_Position = vec4(position, 0.0, 1.0); }\n")


def path(game, name):
    return os.path.join(game.dir, name)


def read(game, name):
    with open(path(game, name), "rb") as f:
        return f.read()


def write(name, content):
    """Replaces the file with content (bytes or text), or removes it for None."""
    def breaks(game):
        if content is None:
            os.remove(path(game, name))
            return
        with open(path(game, name), "wb") as f:
            f.write(content if isinstance(content, bytes) else content.encode())
    return breaks


def cut(name, fraction):
    """Keeps the given fraction of the file's bytes."""
    def breaks(game):
        data = read(game, name)
        write(name, data[:int(len(data) * fraction)])(game)
    return breaks


def splice(name, at, extra):
    """Inserts extra bytes at offset at, or at the end for None."""
    def breaks(game):
        data = read(game, name)
        offset = len(data) if at is None else at
        write(name, data[:offset] + extra + data[offset:])(game)
    return breaks


def config(content):
    return write("config.txt", content)


def with_crlf_shaders(game):
    shaders = path(game, "Shader")
    for name in os.listdir(shaders):
        text = read(game, os.path.join("Shader", name)).replace(b"\r\n", b"\n")
        write(os.path.join("Shader", name), text.replace(b"\n", b"\r\n"))(game)


def edit(name, change):
    def breaks(game):
        write(name, change(read(game, name).decode()))(game)
    return breaks


def both(*steps):
    def breaks(game):
        for step in steps:
            step(game)
    return breaks


# --- expectations ----------------------------------------------------------

def fails(*lines):
    """Ends with exactly these lines on standard output."""
    return ("fatal", "".join(line + "\n" for line in lines))


def fails_with_log(first_line):
    """Ends with first_line and then the driver's log, which names an error."""
    return ("log", first_line + "\n")


def runs(check=None):
    """Keeps rendering; check(game) looks at what it shows."""
    return ("runs", check)


def mean(pixels):
    return tuple(sum(p[i] for p in pixels) / len(pixels) for i in range(3))


def sky_is(colour):
    def check(game):
        r, g, b = mean(game.screenshot().region(*SKY_BOX))
        if colour == "black":
            assert max(r, g, b) < 8, f"sky {r:.0f} {g:.0f} {b:.0f} is not black"
        elif colour == "blue":  # the sky picture's own
            assert b > 150 and b > r + 50, f"sky {r:.0f} {g:.0f} {b:.0f} is not the blue sky"
        elif colour == "red":
            assert r > 40 and r > 3 * max(g, b), f"sky {r:.0f} {g:.0f} {b:.0f} is not red"
        else:
            assert r > 20 and max(r, g, b) - min(r, g, b) < 8, f"sky {r:.0f} {g:.0f} {b:.0f} is not grey"
    return check


def no_hearts(game):
    game.focus()
    game.turn(0, LOOK_DOWN_PIXELS)
    assert hud.hearts(game.screenshot()) == 0, "hearts drawn from a font that did not load"


# --- the catalogue ---------------------------------------------------------

CONFIG_CASES = [
    ("config missing", write("config.txt", None), fails("Failed to open window")),
    ("config empty", config(""), fails("Failed to open window")),
    ("config garbage", config("this is not\na settings file\n"), fails("Failed to open window")),
    ("config binary bytes", config(bytes(range(256)) * 4), fails("Failed to open window")),
    ("config keys without blanks", config("WIDTH=800\nHEIGHT=600\nFULLSCREEN=0\n"), fails("Failed to open window")),
    ("config lower-case key", config("width = 800\nHEIGHT = 600\n"), fails("Failed to open window")),
    ("config zero width", config("WIDTH = 0\nHEIGHT = 600\n"), fails("Failed to open window")),
    ("config negative width", config("WIDTH = -800\nHEIGHT = 600\n"), fails("Failed to open window")),
    ("config negative height", config("WIDTH = 800\nHEIGHT = -1\n"), fails("Failed to open window")),
    ("config width above 16384", config("WIDTH = 16385\nHEIGHT = 600\n"), fails("Failed to open window")),
    ("config width beyond int", config("WIDTH = 99999999999\nHEIGHT = 600\n"), fails("Failed to open window")),
]

SHADER_CASES = [
    ("shader missing", write("Shader/basic.vert", None), fails("failed to open file Shader/basic.vert")),
    ("shader of the start-up pair missing", write("Shader/depth.frag", None),
     fails("failed to open file Shader/depth.frag")),
    ("shader empty", write("Shader/font.frag", ""), fails_with_log("Failed to compile shader")),
    ("shader not compiling", write("Shader/basic.frag", "#version 330 core\nvoid main() { nonsense; }\n"),
     fails_with_log("Failed to compile shader")),
    ("shader pair not linking",
     both(write("Shader/font.vert", NOT_LINKING_VERTEX), write("Shader/font.frag", NOT_LINKING_FRAGMENT)),
     fails_with_log("Failed to link shader program")),
    ("shaders with CR LF line ends", with_crlf_shaders, runs()),
]

MODEL_CASES = [
    ("model missing", write(PLUS, None),
     fails(f"Failed to load model {PLUS}", f'Unable to open file "{PLUS}".')),
    ("model empty", write(PLUS, ""), fails(f"Failed to load model {PLUS}", "OBJ-file is too small.")),
    ("model truncated", cut(PLUS, 0.5),
     fails(f"Failed to load model {PLUS}", "OBJ: Invalid number of components")),
    ("model cut inside a face", cut("Models/sphere3.obj", 0.95),
     fails("Failed to load model Models/sphere3.obj", "Its first mesh has faces that are not triangles")),
    ("model that is a picture", lambda game: write(PLUS, read(game, "Models/carpet.jpg"))(game),
     fails(f"Failed to load model {PLUS}", "OBJ: Invalid face index.")),
    ("model face naming a missing vertex", write(PLUS, "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n"),
     fails(f"Failed to load model {PLUS}", "OBJ: vertex index out of range")),
    ("model with no mesh", write(PLUS, "# nothing but this comment\n"),
     fails(f"Failed to load model {PLUS}", "The file contains no mesh")),
    ("model of vertices only", write(PLUS, "v 0 0 0\nv 1 0 0\nv 0 1 0\n"),
     fails(f"Failed to load model {PLUS}", "Its first mesh has no triangles")),
    ("model of lines", write(PLUS, "v 0 0 0\nv 1 0 0\nv 0 1 0\nl 1 2\nl 2 3\n"),
     fails(f"Failed to load model {PLUS}", "Its first mesh has faces that are not triangles")),
    ("model of 65538 vertices", write(PLUS, many_vertex_obj(21846)),
     fails(f"Failed to load model {PLUS}",
           "Its first mesh has 65538 vertices, more than the 65536 that 16-bit indices can address")),
    ("model without UVs", edit(PLUS, without_uvs), runs()),
    ("model of polygons", write(PLUS, POLYGONS_OBJ), runs()),
]

HEIGHT_PIXEL = bytes([HEIGHT_LEVEL])
HEIGHTMAP_CASES = [
    ("heightmap missing", write(HEIGHTMAP, None),
     fails(f"Failed to load heightmap {HEIGHTMAP}", "The file cannot be opened")),
    ("heightmap not an image", write(HEIGHTMAP, "not a picture"),
     fails(f"Failed to load heightmap {HEIGHTMAP}", "FreeImage could not decode it")),
    ("heightmap truncated", cut(HEIGHTMAP, 0.5),
     fails(f"Failed to load heightmap {HEIGHTMAP}", "FreeImage could not decode it")),
    ("heightmap 24-bit truncated", both(write(HEIGHTMAP, bmp(64, 64, 24, HEIGHT_PIXEL * 3)), cut(HEIGHTMAP, 0.7)),
     fails(f"Failed to load heightmap {HEIGHTMAP}", "The file ends before its last pixel row")),
    ("heightmap JPEG truncated",
     both(lambda game: write(HEIGHTMAP, read(game, "Models/water_dudv3.jpg"))(game), cut(HEIGHTMAP, 0.5)),
     fails(f"Failed to load heightmap {HEIGHTMAP}", "The file ends before its end marker")),
    ("heightmap PNG with a chunk past its end", write(HEIGHTMAP, with_stray_chunk(png(64, 64, HEIGHT_LEVEL))),
     fails(f"Failed to load heightmap {HEIGHTMAP}", "The file ends before its last chunk")),
    ("heightmap 1 x 1", write(HEIGHTMAP, bmp(1, 1, 8, HEIGHT_PIXEL, grey_palette())),
     fails(f"Failed to load heightmap {HEIGHTMAP}", "It has 1 x 1 pixels; the ground needs at least 2 x 2")),
    ("heightmap 2 x 1", write(HEIGHTMAP, bmp(2, 1, 8, HEIGHT_PIXEL, grey_palette())),
     fails(f"Failed to load heightmap {HEIGHTMAP}", "It has 2 x 1 pixels; the ground needs at least 2 x 2")),
    ("heightmap 16-bit", write(HEIGHTMAP, bmp(16, 16, 16, b"\x00\x7c")),
     fails(f"Failed to load heightmap {HEIGHTMAP}", "It has 16 bits per pixel; only 8 and 24 are supported")),
    ("heightmap 32-bit", write(HEIGHTMAP, bmp(16, 16, 32, HEIGHT_PIXEL * 4)),
     fails(f"Failed to load heightmap {HEIGHTMAP}", "It has 32 bits per pixel; only 8 and 24 are supported")),
    ("heightmap 257 x 256", write(HEIGHTMAP, bmp(257, 256, 8, HEIGHT_PIXEL, grey_palette())),
     fails(f"Failed to load heightmap {HEIGHTMAP}",
           "It has 65792 pixels, more than the 65536 that 16-bit indices can address")),
    ("heightmap header claiming 60000 x 60000", write(HEIGHTMAP, bmp_header_claiming(60000, 60000)),
     fails(f"Failed to load heightmap {HEIGHTMAP}",
           "It has 3600000000 pixels, more than the 65536 that 16-bit indices can address")),
    ("heightmap with padded rows", write(HEIGHTMAP, bmp(255, 255, 8, HEIGHT_PIXEL, grey_palette())), runs()),
]

TEXTURE_CASES = [
    ("texture missing", write(SKY, None), runs(sky_is("black"))),
    ("texture not an image", write(SKY, "not a picture"), runs(sky_is("black"))),
    ("texture JPEG truncated", cut(SKY, 0.5), runs(sky_is("black"))),
    ("texture JPEG with a reserved marker", splice(SKY, 2, b"\xff\xf0\x00\x04\x00\x00"), runs(sky_is("blue"))),
    ("texture JPEG with bytes after its end", splice(SKY, None, b"\xff\xd8 not a picture"), runs(sky_is("blue"))),
    ("texture BMP truncated", both(write(SKY, bmp(64, 64, 24, RED_BGR)), cut(SKY, 0.7)), runs(sky_is("black"))),
    ("texture PNG with a chunk past its end", write(SKY, with_stray_chunk(png(64, 64, 100))), runs(sky_is("black"))),
    ("texture TGA cut before its pixels", write(SKY, TGA_PIXELS_PAST_END), runs(sky_is("black"))),
    ("texture header claiming 60000 x 60000", write(SKY, bmp_header_claiming(60000, 60000)), runs(sky_is("black"))),
    ("texture 8-bit grey", write(SKY, bmp(64, 64, 8, b"\x64", grey_palette())), runs(sky_is("grey"))),
    ("texture palettised", write(SKY, bmp(64, 64, 8, b"\x07", red_at_seven_palette())), runs(sky_is("red"))),
    ("texture 16-bit", write(SKY, bmp(64, 64, 16, b"\x00\x7c")), runs(sky_is("red"))),
    ("texture 32-bit", write(SKY, bmp(64, 64, 32, RED_BGR + b"\x80")), runs(sky_is("red"))),
    ("texture 1 x 1", write(SKY, bmp(1, 1, 24, RED_BGR)), runs(sky_is("red"))),
    ("texture of odd width", write(SKY, bmp(37, 11, 24, RED_BGR)), runs(sky_is("red"))),
    ("font atlas missing", write(FONT, None), runs(no_hearts)),
    ("font atlas truncated", cut(FONT, 0.5), runs(no_hearts)),
]

CASES = CONFIG_CASES + SHADER_CASES + MODEL_CASES + HEIGHTMAP_CASES + TEXTURE_CASES


def check_fatal(game, kind, expected):
    status, out, err = game.wait_exit(timeout=FATAL_TIMEOUT)
    assert err == "" and status == 255, (status, out, err)
    if kind == "fatal":
        assert out == expected, repr(out)
    else:
        log = out[len(expected):]
        assert out.startswith(expected) and log.endswith("\n") and "error" in log, repr(out)


def check_runs(game, check):
    game.find_window()
    game.wait_frames()
    if check:
        check(game)
    game.quit_cleanly()


def run_case(args, breaks, expectation):
    game = Game(args, hud.WIDTH, hud.HEIGHT, config=WINDOW_CONFIG, copy_data=True)
    try:
        breaks(game)
        game.start()
        kind, detail = expectation
        if kind == "runs":
            check_runs(game, detail)
        else:
            check_fatal(game, kind, detail)
    finally:
        game.stop()


def case_test(name, breaks, expectation):
    def test(args):
        run_case(args, breaks, expectation)
    test.__name__ = name.replace(" ", "_")
    return test


if __name__ == "__main__":
    run([case_test(*case) for case in CASES])
