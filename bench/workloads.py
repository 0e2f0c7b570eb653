"""The benchmark workloads and the commands that assemble them, shared by
bench/run and bench/profile. Every command runs in the work folder, where the
inputs are generated, so that include names resolve."""
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
GAS = "z80-unknown-coff-as"
OBJCOPY = "z80-unknown-coff-objcopy"
PASMO = "pasmo"

# name, what it is, size of the compared input, smaller and larger input of
# the growth measurement, shared by the three assemblers.
# The shared sources fill most of the 64 KiB address space at their full
# size, so their doubled input cannot exist: their growth is measured from
# half size to full size instead.
WORKLOADS = [
    ("program", "a 64 KiB Z80 program: 3,200 labels, comments, every common instruction",
     3200, (1600, 3200), True),
    ("symbols", "100,000 equ symbols in name order, then 20,000 instructions that use them",
     100000, (50000, 100000), True),
    ("macros", "5,000 macro calls with parameters, local labels, if/else and exitm",
     5000, (5000, 10000), False),
    ("includes", "4,000 included files, each including a shared one, some binary includes",
     4000, (4000, 8000), False),
    ("comments", "a million lines: comments and skipped 'if 0' blocks, a little code",
     1000000, (1000000, 2000000), False),
]


def select(only):
    """The workloads named in a comma-separated list (all when empty)."""
    if not only:
        return WORKLOADS
    wanted = only.split(",")
    unknown = set(wanted) - {w[0] for w in WORKLOADS}
    if unknown:
        sys.exit(f"unknown workload: {', '.join(sorted(unknown))}")
    return [w for w in WORKLOADS if w[0] in wanted]


def source_of(kind, size):
    """The folder of one input and its main source, relative to the work
    folder."""
    folder = f"{kind}-{size}"
    return folder, f"{folder}/main.asm" if kind == "includes" else f"{folder}/{kind}.asm"


def generate(kind, size):
    """Writes one input unless it is there already; returns its main source."""
    folder, source = source_of(kind, size)
    if os.path.exists(source):
        return source
    os.makedirs(folder, exist_ok=True)
    target = folder if kind == "includes" else source
    subprocess.run([sys.executable, os.path.join(HERE, "gen.py"), kind, str(size), target],
                   check=True, stderr=subprocess.DEVNULL)
    return source


def zorm_command(zorm, kind, size, shared):
    """ZORM as a user runs it (banner and progress lines included), with -n
    where the bytes are compared with the peers: its branch optimisation
    deliberately picks shorter forms than they do."""
    folder, source = source_of(kind, size)
    options = ["-n", "-x"] if shared else ["-x"]
    # No -l: a listing name alone would turn the pass 2 listing on. The
    # listing file, which then holds the summary only, is listing_of().
    return [zorm] + options + [f"-o{folder}/zorm.bin", source]


def listing_of(kind, size):
    """ZORM's listing file of one input: its main source with .lst."""
    return os.path.splitext(source_of(kind, size)[1])[0] + ".lst"


def gas_command(kind, size):
    folder, source = source_of(kind, size)
    return [GAS, "-o", f"{folder}/gas.o", source]


def pasmo_command(kind, size):
    folder, source = source_of(kind, size)
    return [PASMO, source, f"{folder}/pasmo.bin"]
