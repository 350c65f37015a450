#!/usr/bin/env python3
"""Writes resources/text/acknowledgements.txt from Debian's copyright files.

The text acknowledges every Debian 12 package whose libraries tarv_cue loads:
the libraries the program links, the QML modules its windows import (with the
modules those import), the Qt plugins that show its windows on an X11 desktop
(the xcb platform, its OpenGL integrations, input methods, image formats and
icon engines), the libraries Qt and the OpenGL dispatcher open at run time
(D-Bus, Mesa's drivers), and everything each of those links in turn, as ldd
resolves it on this machine; and RapidJSON, which is compiled in. Packages
built from one Debian source package make one section.

Each section is the software's name alone on a line, an empty line, a line
"Debian packages: " naming the binary packages, an empty line, and the
copyright and licence paragraphs of the packages' copyright files in
/usr/share/doc, unchanged. Sections are separated by an empty line, a line of
40 hyphens and an empty line.

A copyright file in free form is taken whole. Of each machine-readable
copyright file only what covers the shipped library code is kept: paragraphs
that cover only packaging, examples, tests, documentation, build tooling or
other platforms' code are left out, and so are licence texts that no kept
paragraph names.

Run it with the built program after the packages the program uses change,
and commit the result:
    scripts/make-acknowledgements.py build/release/app/tarv_cue [output-file]
"""

import pathlib
import re
import subprocess
import sys

LIBRARIES = pathlib.Path("/usr/lib/x86_64-linux-gnu")
QT_PLUGINS = LIBRARIES / "qt6/plugins"
QML_MODULES = LIBRARIES / "qt6/qml"

# Plugins Qt loads for a window on an X11 desktop: a folder takes every plugin
# in it, since Qt picks among them at run time.
PLUGINS = ["platforms/libqxcb.so", "xcbglintegrations", "platforminputcontexts", "platformthemes",
           "imageformats", "iconengines"]

# Libraries opened with dlopen, which ldd cannot see: Qt D-Bus's libdbus,
# the OpenGL dispatcher's vendor libraries with Mesa's drivers, and libX11's
# cursor library.
OPENED = ["libdbus-1.so.3", "libGLX_mesa.so.0", "libEGL_mesa.so.0", "dri", "libXcursor.so.1"]

# Modules that load others without naming them in a qmldir: QtQml is built
# into Qt QML, and QtQuick.Dialogs shows Qt Quick's own dialogs.
IMPLIED_IMPORTS = {"QtQml": ["QtQml.Models", "QtQml.WorkerScript"],
                   "QtQuick.Dialogs": ["QtQuick.Dialogs.quickimpl"]}

# Software used as source code, compiled into the program.
COMPILED_IN = ["rapidjson-dev"]

# Section names for source packages better known by another name; others
# take the source package's own name.
NAMES = {
    "qt6-base": "Qt Base (Qt Core, Qt GUI, Qt Network, Qt D-Bus, Qt OpenGL and the X11 platform)",
    "qt6-declarative": "Qt Declarative (Qt QML, Qt Quick, Qt Quick Controls, Layouts and Dialogs, "
                       "Qt Labs Settings)",
    "qt6-scxml": "Qt State Machine",
    "qt6-multimedia": "Qt Multimedia",
    "qt6-svg": "Qt SVG",
    "qt6-5compat": "Qt 5 Core Compatibility (Graphical Effects)",
    "qt6-shadertools": "Qt Shader Tools",
    "rapidjson": "RapidJSON",
    "flac": "FLAC",
    "lame": "LAME",
    "libogg": "Ogg",
    "opus": "Opus",
    "libvorbis": "Vorbis",
    "pulseaudio": "PulseAudio client library",
    "libx11": "X11 client library (libX11)",
    "libxcb": "X C Binding (libxcb)",
    "icu": "ICU (International Components for Unicode)",
    "freetype": "FreeType",
    "harfbuzz": "HarfBuzz",
    "fontconfig": "Fontconfig",
    "pcre2": "PCRE2",
    "glib2.0": "GLib",
    "dbus": "D-Bus",
    "systemd": "systemd (libsystemd)",
    "glibc": "GNU C Library",
    "gcc-12": "GCC runtime libraries (libstdc++, libgcc, libgomp)",
    "mesa": "Mesa",
    "llvm-toolchain-15": "LLVM",
    "libpng1.6": "libpng",
    "libjpeg-turbo": "libjpeg-turbo",
    "zlib": "zlib",
    "xz-utils": "XZ Utils (liblzma)",
    "krb5": "MIT Kerberos",
    "e2fsprogs": "com_err library (e2fsprogs)",
    "util-linux": "libuuid (util-linux)",
    "lm-sensors": "lm-sensors (libsensors)",
    "elfutils": "elfutils (libelf)",
    "z3": "Z3",
    "libxml2": "libxml2",
    "ncurses": "ncurses (libtinfo)",
    "libglvnd": "GL Vendor-Neutral Dispatch library (libglvnd)",
}

SEPARATOR = "\n\n" + "-" * 40 + "\n\n"

# A Files pattern that matches one of these covers nothing that the program
# loads.
EXCLUDED = re.compile(
    r"""^(debian|examples?|tests?|doc|docs|config\.tests|util|coin|mkspecs|qmake|cmake|bin|dist|scripts)/
      | ^(conanfile|configure)
      | \.qdoc(inc)?$ | \.mm$ | _(win|mac|macx|android)\.
      | /(doc|docs|snippets|examples|tests|android|ios|cocoa|darwin|macos|windows|wasm|qnx|integrity|haiku|vxworks)/
      | ^src/(android|3rdparty/gradle)/
      | ^\*\.qdoc$
    """,
    re.VERBOSE,
)


def paragraphs(text):
    return [p for p in re.split(r"\n[ \t]*\n", text.strip("\n")) if p.strip()]


def field(paragraph, name):
    """The first line's value of a field, or None."""
    match = re.search(rf"^{name}:[ \t]*(.*)$", paragraph, re.MULTILINE)
    return match.group(1).strip() if match else None


def file_patterns(paragraph):
    lines = paragraph.split("\n")
    patterns = []
    for index, line in enumerate(lines):
        if line.startswith("Files:"):
            patterns += line[len("Files:"):].split()
            for more in lines[index + 1:]:
                if not more.startswith((" ", "\t")):
                    break
                patterns += more.split()
    return patterns


def licence_names(expression):
    return {name.strip() for name in re.split(r"\s+(?:or|and)\s+|,\s*(?:and\s+)?", expression) if name.strip()}


def shipped_part(text):
    """The paragraphs of a copyright file that cover the shipped library."""
    if not text.startswith("Format:"):
        return text.strip("\n")
    kept = []
    named = set()
    standalone = []
    for paragraph in paragraphs(text):
        if paragraph.startswith("Format:"):
            # The header carries a licence of its own in some files.
            if field(paragraph, "License"):
                kept.append(paragraph)
                named |= licence_names(field(paragraph, "License"))
            continue
        patterns = file_patterns(paragraph)
        if not patterns:
            if field(paragraph, "License"):
                standalone.append(paragraph)
            continue
        if all(EXCLUDED.search(pattern) for pattern in patterns):
            continue
        kept.append(paragraph)
        if field(paragraph, "License"):
            named |= licence_names(field(paragraph, "License"))
    kept += [p for p in standalone if field(p, "License") in named]
    return "\n\n".join(kept)


def section(name, packages):
    bodies = []
    for package in packages:
        path = pathlib.Path("/usr/share/doc") / package / "copyright"
        if not path.is_file():
            sys.exit(f"{path} is missing: install the package {package}")
        body = shipped_part(path.read_text(encoding="utf-8").replace("\r\n", "\n"))
        if body not in bodies:
            bodies.append(body)
    return name + "\n\nDebian packages: " + ", ".join(packages) + "\n\n" + "\n\n".join(bodies)


def imported_modules(qml_folder, own_module_only=False):
    """The QML modules that the documents in a folder import. With
    own_module_only, documents of other modules below it (a folder with a
    qmldir) and of styles other than Basic (a "+Style" folder) are passed
    over."""
    found = set()
    for document in qml_folder.rglob("*.qml"):
        inner = document.relative_to(qml_folder).parents
        if own_module_only and any(
                part.name.startswith("+") or (qml_folder / part / "qmldir").is_file()
                for part in inner if part.name):
            continue
        for line in document.read_text(encoding="utf-8").splitlines():
            match = re.match(r"\s*import\s+([A-Za-z_][\w.]*)", line)
            if match:
                found.add(match.group(1))
    return found


def module_plugins(modules):
    """The plugin libraries of the installed QML modules, following each
    module's own imports; modules that are not installed (the program's own,
    compiled in) are passed over."""
    plugins, seen, pending = [], set(), list(modules)
    while pending:
        module = pending.pop()
        if module in seen:
            continue
        seen.add(module)
        pending += IMPLIED_IMPORTS.get(module, [])
        folder = QML_MODULES / module.replace(".", "/")
        qmldir = folder / "qmldir"
        if not qmldir.is_file():
            continue
        plugins += sorted(folder.glob("*.so"))
        pending += imported_modules(folder, own_module_only=True)
        for line in qmldir.read_text(encoding="utf-8").splitlines():
            words = line.split()
            while words and words[0] in ("optional", "default"):
                words = words[1:]
            if len(words) >= 2 and words[0] in ("import", "depends"):
                pending.append(words[1])
    return plugins


def files_in(base, names):
    found = []
    for name in names:
        path = base / name
        if path.is_dir():
            found += sorted(p for p in path.rglob("*.so") if p.is_file())
        elif path.exists():
            found.append(path)
    return found


def linked_libraries(path):
    """The file and every library ldd resolves for it."""
    result = subprocess.run(["ldd", str(path)], capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit(f"ldd {path} failed: {result.stderr.strip()}")
    found = {str(path)}
    for line in result.stdout.splitlines():
        match = re.search(r"(?:=>\s*)?(/\S+)\s+\(0x", line)
        if match:
            found.add(match.group(1))
    return found


def owning_package(path):
    """The binary package that installed a file, or None. Debian 12 merges
    /lib into /usr/lib, and dpkg may know a library under either name."""
    real = pathlib.Path(path).resolve()
    candidates = [str(real), path]
    for candidate in list(candidates):
        if candidate.startswith("/usr/"):
            candidates.append(candidate[len("/usr"):])
        else:
            candidates.append("/usr" + candidate)
    for candidate in candidates:
        result = subprocess.run(["dpkg", "-S", candidate], capture_output=True, text=True)
        if result.returncode == 0:
            return result.stdout.split(":", 1)[0].strip()
    return None


def source_package(package):
    result = subprocess.run(["dpkg-query", "-W", "-f", "${source:Package}", package],
                            capture_output=True, text=True, check=True)
    return result.stdout.strip() or package


def used_packages(program, qml_folder):
    roots = [program] + module_plugins(imported_modules(qml_folder))
    roots += files_in(QT_PLUGINS, PLUGINS) + files_in(LIBRARIES, OPENED)
    libraries = set()
    for root in roots:
        libraries |= linked_libraries(root)
    packages = set(COMPILED_IN)
    for library in sorted(libraries):
        package = owning_package(library)
        if package is None and library != str(program):
            sys.exit(f"no Debian package installed {library}")
        if package:
            packages.add(package.split(":")[0])
    return packages


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    root = pathlib.Path(__file__).resolve().parent.parent
    program = pathlib.Path(sys.argv[1]).resolve()
    output = pathlib.Path(sys.argv[2]) if len(sys.argv) > 2 else root / "resources/text/acknowledgements.txt"
    by_source = {}
    for package in used_packages(program, root / "qml"):
        by_source.setdefault(source_package(package), []).append(package)
    # Qt first, as the program is built on it, then by name.
    ordered = sorted(by_source, key=lambda s: (not s.startswith("qt6-"), NAMES.get(s, s).lower()))
    text = SEPARATOR.join(section(NAMES.get(s, s), sorted(by_source[s])) for s in ordered) + "\n"
    if "\r" in text or "\n" + "-" * 40 + "\n" in text.replace(SEPARATOR, "\n\n"):
        sys.exit("a copyright file holds a carriage return or a separator line")
    output.parent.mkdir(parents=True, exist_ok=True)
    output.write_bytes(text.encode("utf-8"))


if __name__ == "__main__":
    main()
