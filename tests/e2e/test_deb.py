"""The Debian package of make deb: lintian's verdict, its files against the
layout of an installed game, its control fields. Then, unpacked into a fresh
root, the game started from an unrelated folder: its first view with the
installed config.txt is the source build's, a player's own config.txt at
640 x 480 in a private XDG_CONFIG_HOME sizes the window, and with no config.txt
anywhere it names every folder it looked in and ends with status 255.
Usage: --deb DEB --version VERSION --game GAME --data DATA."""

import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

from test_startup import difference, horizon, play, screenshot, settings

# Every file of the package but the data, each pattern with the number of files it must match.
LAYOUT = [
    (r"usr/games/quellmoor", 1),
    (r"usr/share/applications/quellmoor\.desktop", 1),
    (r"usr/share/icons/hicolor/(16|22|24|32|48|64|128|256)x\1/apps/quellmoor\.png", 8),
    (r"usr/share/man/man6/quellmoor\.6\.gz", 1),
    (r"usr/share/doc/quellmoor/(copyright|changelog\.gz)", 2),
]
DATA = "usr/share/games/quellmoor/"  # must hold exactly what the source tree's data/ holds


def run(*command, **options):
    return subprocess.run(command, capture_output=True, text=True, timeout=300, **options)


def lintian_passes(deb):
    result = run("lintian", "--fail-on", "error,warning", deb)
    tags = [line for line in result.stdout.splitlines() if line[:2] in ("E:", "W:")]
    assert result.returncode == 0 and not tags, f"lintian: status {result.returncode}, {tags or result.stderr}"


def files_follow_the_layout(deb, data):
    listing = [line.split(None, 5) for line in run("dpkg-deb", "-c", deb).stdout.splitlines()]
    assert all(kind[0] in "-d" for kind, *_ in listing), "links or devices in the package"
    files = [name[2:] for kind, *_, name in listing if kind[0] == "-"]
    installed = sorted(f[len(DATA):] for f in files if f.startswith(DATA))
    source = sorted(str(p.relative_to(data)) for p in pathlib.Path(data).rglob("*") if p.is_file())
    assert installed == source, f"the installed data differ from data/: {set(installed) ^ set(source)}"
    rest = [f for f in files if not f.startswith(DATA)]
    for pattern, count in LAYOUT:
        matched = [f for f in rest if re.fullmatch(pattern, f)]
        assert len(matched) == count, f"{pattern}: {matched}"
    unexpected = [f for f in rest if not any(re.fullmatch(p, f) for p, _ in LAYOUT)]
    assert not unexpected, f"files outside the layout: {unexpected}"


def owner(library):
    """The Debian package that holds a shared library, by the path the loader finds it at."""
    found = re.search(rf"\s{re.escape(library)} \(libc6,x86-64[^)]*\) => (\S+)", run("ldconfig", "-p").stdout)
    assert found, f"the loader does not know {library}"
    path = found.group(1)
    for candidate in (path, os.path.realpath(path), re.sub(r"^/usr/lib/", "/lib/", path), re.sub(r"^/lib/", "/usr/lib/", path)):
        result = run("dpkg", "-S", candidate)
        if result.returncode == 0:
            return result.stdout.split(":")[0]
    raise AssertionError(f"no package holds {path}")


def control_fields_and_shlibs_depends(deb, version, root):
    fields = dict(line.split(": ", 1) for line in run("dpkg-deb", "-f", deb, "Package", "Version", "Architecture", "Section", "Depends").stdout.splitlines())
    architecture = run("dpkg", "--print-architecture").stdout.strip()
    assert (fields["Package"], fields["Version"], fields["Architecture"], fields["Section"]) == ("quellmoor", version, architecture, "games"), fields
    # Exactly the packages of the libraries the game links, as dpkg-shlibdeps finds them; each with the
    # lowest version its symbols need, where the library's package says so.
    depends = {entry.split()[0]: entry for entry in fields["Depends"].split(", ")}
    needed = re.findall(r"NEEDED\s+(\S+)", run("objdump", "-p", os.path.join(root, "usr/games/quellmoor")).stdout)
    assert set(depends) == {owner(library) for library in needed}, f"Depends {sorted(depends)} for {needed}"
    for package in ("libc6", "libstdc++6", "libglfw3", "libglew2.2", "libassimp5", "libfreeimage3"):
        assert re.fullmatch(rf"{re.escape(package)} \(>= \S+\)", depends.get(package, "")), f"{package}: {depends.get(package)}"


def icons_and_the_menu_entry(root):
    for png in pathlib.Path(root, "usr/share/icons/hicolor").glob("*/apps/quellmoor.png"):
        header = png.read_bytes()[:24]
        size = (int.from_bytes(header[16:20], "big"), int.from_bytes(header[20:24], "big"))
        assert header[:8] == b"\x89PNG\r\n\x1a\n" and f"{size[0]}x{size[1]}" == png.parent.parent.name, f"{png}: {size}"
    entry = pathlib.Path(root, "usr/share/applications/quellmoor.desktop")
    assert run("desktop-file-validate", str(entry)).returncode == 0, run("desktop-file-validate", str(entry)).stdout
    keys = dict(line.split("=", 1) for line in entry.read_text().splitlines() if "=" in line)
    assert keys["Exec"] == "/usr/games/quellmoor" and keys["Icon"] == "quellmoor" and "Game" in keys["Categories"].split(";"), keys


def main():
    args = dict(zip(sys.argv[1::2], sys.argv[2::2]))
    deb, data = args["--deb"], args["--data"]
    directory = tempfile.mkdtemp(prefix="quellmoor-deb-")
    root, config_home = os.path.join(directory, "root"), os.path.join(directory, "config")
    os.makedirs(os.path.join(config_home, "quellmoor"))
    os.environ["XDG_CONFIG_HOME"] = config_home  # the player's own config goes here, never to the real home
    try:
        lintian_passes(deb)
        files_follow_the_layout(deb, data)
        subprocess.run(["dpkg", "-x", deb, root], check=True, timeout=120)
        control_fields_and_shlibs_depends(deb, args["--version"], root)
        icons_and_the_menu_entry(root)
        print("[ OK ] lintian, files, control fields, icons and menu entry", flush=True)

        game, installed = os.path.join(root, "usr/games/quellmoor"), os.path.join(root, "usr/share/games/quellmoor/config.txt")
        size = [int(re.search(rf"{key} = (\d+)", pathlib.Path(installed).read_text()).group(1)) for key in ("WIDTH", "HEIGHT")]
        reference = []
        assert play(args["--game"], data, settings(*size), lambda window: reference.append(screenshot(window, settle=2.0)))

        def the_installed_config_and_the_start_view(window):
            view = screenshot(window, settle=2.0)
            width, height = size
            sky, whole = difference(reference[0], view, 0, 0, width, height * 2 // 5), difference(reference[0], view, 0, 0, width, height)
            assert sky < 0.01 and whole < 0.03, f"not the source build's first view: sky {sky:.4f}, whole {whole:.4f} apart"

        def the_players_config_at_640_by_480(window):
            image = screenshot(window)
            assert (len(image[0]), len(image)) == (640, 480), f"a {len(image[0])} x {len(image)} window"
            assert abs(horizon(image) - 240) <= 15, f"horizon at row {horizon(image)}"

        assert play(game, None, None, the_installed_config_and_the_start_view)
        pathlib.Path(config_home, "quellmoor", "config.txt").write_text(settings(640, 480))
        assert play(game, None, None, the_players_config_at_640_by_480)

        os.remove(installed)
        os.remove(os.path.join(config_home, "quellmoor", "config.txt"))
        elsewhere = os.path.realpath(tempfile.mkdtemp(dir=directory))
        ended = subprocess.run([game], cwd=elsewhere, stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=60)
        real = os.path.realpath(root)
        places = f"{elsewhere}, {real}/usr/games/data, {real}/usr/data, {os.path.realpath(config_home)}/quellmoor or {real}/usr/share/games/quellmoor"
        assert (ended.returncode, ended.stdout) == (255, f"Failed to open window\nFound no config.txt in {places}\n"), (ended.returncode, ended.stdout)
        print("[ OK ] with no config.txt anywhere: every place named, status 255", flush=True)
    finally:
        shutil.rmtree(directory, ignore_errors=True)


if __name__ == "__main__":
    main()
