#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Builds the .deb with CPack and checks it as a user's machine would meet it: its control
data and declared dependencies, its files, lintian's verdict, the hardening of the program,
the launcher, metainfo and icons it installs, an install by dpkg into a clean root, and the
installed program starting on an X server with its icon at every size."""

import argparse
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))
from desktop import Tickora, XServer, check, step  # noqa: E402  (the shared X harness)
from PIL import Image  # noqa: E402

# Linked libraries that dpkg-shlibdeps must find.
REQUIRED = {"libc6", "libstdc++6", "libqt6core6", "libqt6gui6", "libqt6widgets6"}


def run(*command, **options):
    result = subprocess.run(command, capture_output=True, text=True, timeout=180, **options)
    if result.returncode != 0:
        raise AssertionError(f"{' '.join(command)} failed:\n{result.stdout}{result.stderr}")
    return result.stdout


def installed_version(package):
    result = subprocess.run(["dpkg-query", "-W", "-f=${Status}\t${Version}", package],
                            capture_output=True, text=True)
    status, _, version = result.stdout.partition("\t")
    return version if result.returncode == 0 and status.endswith(" installed") else None


def satisfied(alternative):
    """Whether one 'name (op version)' of a Depends field is installed on this machine."""
    match = re.fullmatch(r"([a-z0-9.+-]+)(?::any)?(?:\s*\((<<|<=|=|>=|>>)\s*([^)\s]+)\))?", alternative.strip())
    check(match, f"cannot read the dependency {alternative!r}")
    name, relation, wanted = match.groups()
    version = installed_version(name)
    if version is None:
        return False
    if relation is None:
        return True
    operators = {"<<": "lt", "<=": "le", "=": "eq", ">=": "ge", ">>": "gt"}
    return subprocess.run(["dpkg", "--compare-versions", version, operators[relation], wanted]).returncode == 0


def window_icon_sizes(display_name, window_id):
    """The sizes of the icon images the window offers task bars and window switchers (_NET_WM_ICON)."""
    from Xlib import Xatom, display
    connection = display.Display(display_name)
    window = connection.create_resource_object("window", int(window_id))
    prop = window.get_full_property(connection.intern_atom("_NET_WM_ICON"), Xatom.CARDINAL)
    connection.close()
    values, sizes = list(prop.value) if prop else [], []
    while len(values) >= 2:  # width, height, then width x height pixels
        width, height = values[0], values[1]
        check(width == height, f"a {width} x {height} icon")
        sizes.append(width)
        values = values[2 + width * height:]
    return sorted(sizes)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--cpack-config", required=True)
    parser.add_argument("--work", required=True, help="folder for the package and the clean root")
    parser.add_argument("--app-id", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--icon-sizes", required=True, nargs="+", type=int)
    parser.add_argument("--hardened", action="store_true",
                        help="the build has the hardening flags (not so the sanitizer builds)")
    args = parser.parse_args()
    work = Path(args.work)
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    app_id = args.app_id

    step("CPack builds the .deb")
    run("cpack", "--config", args.cpack_config, "-G", "DEB", "-B", str(work / "out"))
    packages = list((work / "out").glob("*.deb"))
    check(len(packages) == 1, f"CPack made {packages}")
    deb = packages[0]
    print(f"   {deb.name}: {deb.stat().st_size} bytes")

    step("the control data names the package and declares its dependencies")
    fields = dict(re.findall(r"^(\S+): (.*)$", run("dpkg-deb", "--field", str(deb)), re.M))
    check(fields.get("Package") == "tickora", f"Package: {fields.get('Package')}")
    check(fields.get("Version") == args.version, f"Version: {fields.get('Version')}")
    check(fields.get("Architecture") == run("dpkg", "--print-architecture").strip(), "wrong Architecture")
    for name in ("Maintainer", "Description", "Section", "Installed-Size"):
        check(fields.get(name), f"the control data lacks {name}")
    depends = [group.strip() for group in fields.get("Depends", "").split(",") if group.strip()]
    named = {re.split(r"[\s(:]", alternative.strip())[0] for group in depends for alternative in group.split("|")}
    check(REQUIRED <= named, f"Depends lacks {sorted(REQUIRED - named)}: {fields.get('Depends')}")
    for group in depends:
        check(any(satisfied(alternative) for alternative in group.split("|")),
              f"the dependency {group!r} is not installed on this Debian")
    # Qt loads its X11 platform plugin at run time, which no linker sees: its package must
    # be among the dependencies all the same.
    plugin = Path(run("qtpaths6", "--query", "QT_INSTALL_PLUGINS").strip()) / "platforms" / "libqxcb.so"
    owner = run("dpkg", "-S", str(plugin)).split(":")[0]
    check(owner in named, f"the X11 platform plugin comes from {owner}, which Depends does not name")

    step("it holds the program, its documentation, the launcher, the metainfo and the icons, nothing else")
    listed = {line.split()[-1].lstrip(".") for line in run("dpkg-deb", "--contents", str(deb)).splitlines()}
    files = {path for path in listed if not path.endswith("/")}
    icons = [f"{size}x{size}/apps/{app_id}.png" for size in args.icon_sizes] + [f"scalable/apps/{app_id}.svg"]
    expected = {"/usr/bin/tickora", "/usr/share/man/man1/tickora.1.gz", "/usr/share/doc/tickora/copyright",
                "/usr/share/doc/tickora/changelog.gz", "/usr/share/lintian/overrides/tickora",
                f"/usr/share/applications/{app_id}.desktop", f"/usr/share/metainfo/{app_id}.metainfo.xml",
                *(f"/usr/share/icons/hicolor/{icon}" for icon in icons)}
    check(files == expected, f"unexpected contents: extra {sorted(files - expected)}, "
                             f"missing {sorted(expected - files)}")

    if shutil.which("lintian"):
        step("lintian --pedantic finds no error and no warning; the overrides are all in use")
        report = subprocess.run(["lintian", "--pedantic", "--display-info", "--show-overrides", str(deb)],
                                capture_output=True, text=True, timeout=240).stdout
        print(report, end="")
        check(not re.search(r"^[EW]: ", report, re.M), "lintian reports errors or warnings")
        overridden = set(re.findall(r"^O: tickora: spelling-error-in-binary (\w+) ", report, re.M))
        check(overridden == {"Scolling", "Delets"}, f"the tooltips' spellings overridden: {sorted(overridden)}")
    else:
        print("   lintian is not installed: scripts/setup.sh installs it")

    step("dpkg installs it into a clean root")
    root = work / "root"
    for folder in ("var/lib/dpkg/info", "var/lib/dpkg/updates"):
        (root / folder).mkdir(parents=True)
    (root / "var/lib/dpkg/status").touch()
    # The clean root has none of the libraries: their presence was checked on this machine above.
    run("dpkg", f"--root={root}", "--force-depends", "--force-not-root", "-i", str(deb))
    status = run("dpkg", f"--root={root}", "-s", "tickora")
    check("Status: install ok installed" in status, status)

    step("the program is hardened and stripped, and keeps its build id")
    program = str(root / "usr/bin/tickora")
    check("not stripped" not in run("file", program), "the program is not stripped")
    if args.hardened:
        check("__stack_chk_fail" in run("readelf", "--wide", "--dyn-syms", program), "the program has no stack protector")
        check(re.search(r"^\s*Type:\s+DYN ", run("readelf", "--file-header", program), re.M),
              "the program is not a position-independent executable")
        dynamic = run("readelf", "--dynamic", program)
        check(re.search(r"\(FLAGS\)\s+BIND_NOW", dynamic) and re.search(r"\(FLAGS_1\).*\bNOW\b.*\bPIE\b", dynamic),
              f"the program does not bind at once as a PIE:\n{dynamic}")
        check(re.search(r"^\s*GNU_RELRO ", run("readelf", "--wide", "--program-headers", program), re.M),
              "the program has no read-only relocations")
    sections = run("readelf", "--wide", "--section-headers", program)
    check(" .comment " not in sections, "the program keeps its .comment section")
    check("Build ID: " in run("readelf", "--notes", program), "the program has no build id")

    step("the launcher and the metainfo it installs validate, and find the icon")
    launcher = root / f"usr/share/applications/{app_id}.desktop"
    output = run("desktop-file-validate", str(launcher))
    check(output.strip() == "", output)
    run("appstreamcli", "validate", "--no-net", "--strict", str(root / f"usr/share/metainfo/{app_id}.metainfo.xml"))
    entry = dict(re.findall(r"^([A-Za-z]+)=(.*)$", launcher.read_text(), re.M))
    check(entry.get("Icon") == app_id, f"Icon={entry.get('Icon')}")
    check(entry.get("Exec", "").split()[0] == "tickora", f"Exec={entry.get('Exec')}")
    for size in args.icon_sizes:
        with Image.open(root / f"usr/share/icons/hicolor/{size}x{size}/apps/{app_id}.png") as icon:
            check(icon.size == (size, size), f"the {size} px icon is {icon.size}")

    step("the installed program starts and shows its window")
    with tempfile.TemporaryDirectory(prefix="tickora-deb-") as folder, XServer() as x:
        app = Tickora(str(root / "usr/bin/tickora"), x, folder, work / "tickora.log")
        try:
            title = app.window_name(app.window)
            check("TICKORA VER 1.7" in title or "Type in text" in title, f"the window is titled {title!r}")
            sizes = window_icon_sizes(x.display, app.window)
            check(sizes == sorted(args.icon_sizes), f"the window's icon comes in {sizes} px")
            app.close_by_close_box()
            check(app.wait_for_exit() == 0, "the program did not end cleanly")
        finally:
            app.stop()
        check(list(Path(folder).iterdir()) == [], "the installed program wrote files on a plain close")
    print("PASS")


if __name__ == "__main__":
    main()
