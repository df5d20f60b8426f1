#!/usr/bin/env python3
"""extract_examples.py README.md OUTDIR: writes each C example of the README into
OUTDIR/NAME.c. An example is a ```c block whose first line is /* Example: NAME.c ... */."""
import pathlib
import re
import sys

BLOCK = re.compile(r"^```c\n(/\* Example: ([a-z_]+)\.c\b.*?)^```$", re.S | re.M)


def main(readme, outdir):
    out = pathlib.Path(outdir)
    out.mkdir(parents=True, exist_ok=True)
    names = []
    for code, name in BLOCK.findall(pathlib.Path(readme).read_text(encoding="utf-8")):
        (out / f"{name}.c").write_text(code, encoding="utf-8")
        names.append(name)
    if len(names) != len(set(names)):
        sys.exit(f"{readme}: an example name is used twice: {names}")
    print("examples:", " ".join(names))


if __name__ == "__main__":
    main(*sys.argv[1:])
