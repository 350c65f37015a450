#!/usr/bin/env python3
"""Writes resources/text/acknowledgements.txt from Debian's copyright files.

The text lists the third-party software that tarv_cue links or loads on
Debian 12: Qt and the Qt modules it uses, RapidJSON, libsndfile with the
codec libraries it loads, libsoxr, which converts sample rates for the
player, the PulseAudio client library behind Qt Multimedia, and libX11, with
which the program reads the keyboard's state. Each section is the software's
name alone on a line, an empty line, and the copyright and licence paragraphs
of the package's /usr/share/doc/<package>/copyright file, unchanged. Sections
are separated by an empty line, a line of 40 hyphens and an empty line.

A copyright file in free form is taken whole. Of each machine-readable
copyright file only what covers the shipped library code is kept: paragraphs
that cover only packaging, examples, tests, documentation, build tooling or
other platforms' code are left out, and so are licence texts that no kept
paragraph names.

Run it after the packages the program uses change, and commit the result:
    scripts/make-acknowledgements.py [output-file]
"""

import pathlib
import re
import sys

# (section name, binary packages whose copyright files make up the section).
SECTIONS = [
    ("Qt Base (Qt Core, Qt GUI, Qt Network, Qt D-Bus)", ["libqt6core6"]),
    ("Qt Declarative (Qt QML, Qt Quick, Qt Quick Controls, Layouts and Dialogs, Qt Labs Settings and Platform)",
     ["libqt6qml6"]),
    ("Qt State Machine", ["libqt6statemachine6"]),
    ("Qt Multimedia", ["libqt6multimedia6"]),
    ("Qt SVG", ["libqt6svg6"]),
    ("Qt 5 Core Compatibility (Graphical Effects)", ["libqt6core5compat6"]),
    ("RapidJSON", ["rapidjson-dev"]),
    ("libsndfile", ["libsndfile1"]),
    ("FLAC", ["libflac12"]),
    ("LAME", ["libmp3lame0"]),
    ("mpg123", ["libmpg123-0"]),
    ("Ogg", ["libogg0"]),
    ("Opus", ["libopus0"]),
    ("Vorbis", ["libvorbis0a", "libvorbisenc2"]),
    ("libsoxr", ["libsoxr0"]),
    ("PulseAudio client library", ["libpulse0"]),
    ("X11 client library (libX11)", ["libx11-6"]),
]

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
    return name + "\n\n" + "\n\n".join(bodies)


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
    output = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else root / "resources/text/acknowledgements.txt"
    text = SEPARATOR.join(section(name, packages) for name, packages in SECTIONS) + "\n"
    if "\r" in text or "\n" + "-" * 40 + "\n" in text.replace(SEPARATOR, "\n\n"):
        sys.exit("a copyright file holds a carriage return or a separator line")
    output.parent.mkdir(parents=True, exist_ok=True)
    output.write_bytes(text.encode("utf-8"))


if __name__ == "__main__":
    main()
