#!/usr/bin/python3
"""Debian's Orca, run unchanged, but with its debug log written line by line.

Orca writes its log (--debug-file) through Python's block buffer, so the last lines it spoke can
sit unwritten until more comes; a check that reads what Orca said waits on the file instead.
"""
import builtins
import runpy
import sys

log = next(arg.split("=", 1)[1] for arg in sys.argv if arg.startswith("--debug-file="))
real_open = builtins.open


def open_line_buffered(file, mode="r", buffering=-1, *args, **kwargs):
    if file == log and "w" in mode:
        buffering = 1
    return real_open(file, mode, buffering, *args, **kwargs)


builtins.open = open_line_buffered
sys.argv[0] = "/usr/bin/orca"
runpy.run_path("/usr/bin/orca", run_name="__main__")
