#!/usr/bin/python3
"""Debian's Orca, unchanged, with its debug log (--debug-file) written line by line instead of
through Python's block buffer, so that a check reading what Orca said sees it when it is said."""
import builtins
import runpy
import sys

log = next(arg.split("=", 1)[1] for arg in sys.argv if arg.startswith("--debug-file="))
real_open = builtins.open
builtins.open = lambda file, mode="r", buffering=-1, *args, **kwargs: real_open(
    file, mode, 1 if file == log and "w" in mode else buffering, *args, **kwargs)
sys.argv[0] = "/usr/bin/orca"
runpy.run_path("/usr/bin/orca", run_name="__main__")
