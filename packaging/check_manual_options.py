#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Checks that the manual page and the program's --help list the same options."""

import os
import re
import subprocess
import sys
from pathlib import Path

OPTION = re.compile(r"--?[A-Za-z][A-Za-z0-9-]*")


def manual_options(page):
    """The options that the tags of the OPTIONS section name."""
    text = Path(page).read_text().replace("\\-", "-")
    section = re.search(r"^\.SH OPTIONS\n(.*?)^\.SH ", text, re.M | re.S)
    if not section:
        sys.exit(f"{page} has no OPTIONS section")
    tags = re.findall(r"^\.TP\n(.*)$", section.group(1), re.M)
    return {option for tag in tags for option in OPTION.findall(tag)}


def help_options(program):
    """The options at the start of --help's lines, before the column of descriptions."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    result = subprocess.run([program, "--help"], capture_output=True, text=True, timeout=30, env=env)
    if result.returncode != 0:
        sys.exit(f"{program} --help ended with {result.returncode}:\n{result.stdout}{result.stderr}")
    heads = (re.split(r"\s{2,}", line.strip())[0] for line in result.stdout.splitlines()
             if re.match(r"\s+-", line))
    return {option for head in heads for option in OPTION.findall(head)}


def main():
    program, page = sys.argv[1:3]
    in_manual, in_help = manual_options(page), help_options(program)
    print(f"--help: {sorted(in_help)}\nmanual: {sorted(in_manual)}")
    if in_manual != in_help:
        sys.exit(f"only in --help: {sorted(in_help - in_manual)}; only in the manual: {sorted(in_manual - in_help)}")


if __name__ == "__main__":
    main()
