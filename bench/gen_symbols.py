#!/usr/bin/env python3
"""Writes a source that defines N equ symbols in name order (L000000,
L000001, ...) and then uses every one of them in an expression."""
import sys

count = int(sys.argv[1]) if len(sys.argv) > 1 else 200000
lines = [f"L{i:06d} equ {i & 0xFFFF}" for i in range(count)]
lines += [f"U{i:06d} equ L{i:06d}+1" for i in range(0, count, 10)]
sys.stdout.write("\n".join(lines) + "\n")
