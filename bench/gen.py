#!/usr/bin/env python3
"""Writes the benchmark sources.

    gen.py program  SIZE OUT   a Z80 program: SIZE labelled blocks of code and
                               data with comments (3200 blocks fill 64 KiB)
    gen.py symbols  SIZE OUT   SIZE equ symbols in name order, then SIZE/5
                               instructions that use them
    gen.py macros   SIZE OUT   macros with parameters and local labels, called
                               SIZE times in all
    gen.py includes SIZE DIR   DIR/main.asm including SIZE files under DIR/inc,
                               each of which includes a shared file; a few
                               binary includes as well. The include names
                               start with DIR: assemble from the folder the
                               generator ran in
    gen.py comments SIZE OUT   about SIZE lines, mostly comments and skipped
                               'if 0' blocks, with a little code

The program and symbols sources use only the syntax that ZORM, GNU as (z80)
and pasmo share: labels in column 0 (code labels with ':', equ names without),
lower-case indented mnemonics, decimal numbers, org, equ, db, dw, end. The
other three use ZORM's own directives.

The output depends only on the arguments (a fixed pseudo-random sequence),
so the same SIZE always gives the same bytes.
"""
import os
import sys


class Rng:
    """A 64-bit linear congruential generator; its sequence never changes."""

    def __init__(self, seed):
        self.state = (seed * 6364136223846793005 + 1442695040888963407) & 0xFFFFFFFFFFFFFFFF

    def below(self, n):
        self.state = (self.state * 6364136223846793005 + 1442695040888963407) & 0xFFFFFFFFFFFFFFFF
        return (self.state >> 33) % n

    def pick(self, items):
        return items[self.below(len(items))]


R8 = ["b", "c", "d", "e", "h", "l", "a"]
ALU = ["add a,", "adc a,", "sub ", "sbc a,", "and ", "xor ", "or ", "cp "]
CC = ["nz", "z", "nc", "c", "po", "pe", "p", "m"]
JRCC = ["nz", "z", "nc", "c"]
SHIFT = ["rlc", "rrc", "rl", "rr", "sla", "sra", "srl"]
BITOP = ["bit", "set", "res"]
WORDS = ["ready", "Disk full", "Drive not ready", "OK", "Press any key",
         "Error in line", "Loading", "Saved", "Insert tape", "Syntax error"]
COMMENTS = ["advance the pointer", "count down", "keep the flags", "next entry",
            "save the result", "table lookup", "test the low bit", "scale by two",
            "clear the carry", "restore the registers", "loop until zero",
            "read the port", "end of the list?", "index into the table"]


def disp(rng):
    d = rng.below(256) - 128
    return f"+{d}" if d >= 0 else f"{d}"


def index_reg(rng):
    return rng.pick(["ix", "iy"])


def instruction(rng, here, ahead, far):
    """One instruction with its size in bytes. here/ahead are the labels
    around the current block (in reach of a relative jump), far is any
    label of the program."""
    kind = rng.below(100)
    r = rng.pick(R8)
    r2 = rng.pick([other for other in R8 if other != r])  # ld b,b draws a warning
    n8 = rng.below(256)
    x = index_reg(rng)
    if kind < 14:
        return f"ld {r},{r2}", 1
    if kind < 20:
        return f"ld {r},{n8}", 2
    if kind < 23:
        return rng.pick([(f"ld {r},(hl)", 1), (f"ld (hl),{r}", 1), (f"ld (hl),{n8}", 2)])
    if kind < 27:
        return rng.pick([(f"ld {r},({x}{disp(rng)})", 3), (f"ld ({x}{disp(rng)}),{r}", 3),
                         (f"ld ({x}{disp(rng)}),{n8}", 4)])
    if kind < 29:
        return rng.pick([("ld a,(bc)", 1), ("ld a,(de)", 1), ("ld (bc),a", 1), ("ld (de),a", 1),
                         (f"ld a,({far})", 3), (f"ld ({far}),a", 3)])
    if kind < 34:
        rr = rng.pick(["bc", "de", "hl", "sp"])
        return rng.pick([(f"ld {rr},{rng.below(65536)}", 3), (f"ld {rr},{far}", 3),
                         (f"ld {x},{rng.below(65536)}", 4)])
    if kind < 37:
        rr = rng.pick(["bc", "de", "sp"])
        return rng.pick([(f"ld hl,({far})", 3), (f"ld ({far}),hl", 3), (f"ld {rr},({far})", 4),
                         (f"ld ({far}),{rr}", 4), (f"ld {x},({far})", 4), (f"ld ({far}),{x}", 4)])
    if kind < 38:
        return rng.pick([("ld sp,hl", 1), (f"ld sp,{x}", 2), ("ld a,i", 2), ("ld i,a", 2),
                         ("ld a,r", 2), ("ld r,a", 2)])
    if kind < 43:
        op = rng.pick(["push", "pop"])
        return rng.pick([(f"{op} bc", 1), (f"{op} de", 1), (f"{op} hl", 1), (f"{op} af", 1),
                         (f"{op} {x}", 2)])
    if kind < 45:
        return rng.pick([("ex de,hl", 1), ("ex af,af'", 1), ("exx", 1), ("ex (sp),hl", 1),
                         (f"ex (sp),{x}", 2)])
    if kind < 47:
        return rng.pick(["ldi", "ldir", "ldd", "lddr", "cpi", "cpir", "cpd", "cpdr"]), 2
    if kind < 57:
        op = rng.pick(ALU)
        return rng.pick([(f"{op}{r}", 1), (f"{op}{n8}", 2), (f"{op}(hl)", 1),
                         (f"{op}({x}{disp(rng)})", 3)])
    if kind < 63:
        op = rng.pick(["inc", "dec"])
        return rng.pick([(f"{op} {r}", 1), (f"{op} (hl)", 1), (f"{op} ({x}{disp(rng)})", 3),
                         (f"{op} {rng.pick(['bc', 'de', 'hl', 'sp'])}", 1), (f"{op} {x}", 2)])
    if kind < 65:
        return rng.pick([("daa", 1), ("cpl", 1), ("neg", 2), ("ccf", 1), ("scf", 1), ("nop", 1),
                         ("di", 1), ("ei", 1), (f"im {rng.below(3)}", 2), ("halt", 1)])
    if kind < 68:
        rr = rng.pick(["bc", "de", "hl", "sp"])
        return rng.pick([(f"add hl,{rr}", 1), (f"adc hl,{rr}", 2), (f"sbc hl,{rr}", 2),
                         (f"add {x},{rng.pick(['bc', 'de', x, 'sp'])}", 2)])
    if kind < 71:
        return rng.pick([(rng.pick(["rlca", "rrca", "rla", "rra"]), 1),
                         (f"{rng.pick(SHIFT)} {r}", 2), (f"{rng.pick(SHIFT)} (hl)", 2),
                         (f"{rng.pick(SHIFT)} ({x}{disp(rng)})", 4), (rng.pick(["rld", "rrd"]), 2)])
    if kind < 75:
        op, bit = rng.pick(BITOP), rng.below(8)
        return rng.pick([(f"{op} {bit},{r}", 2), (f"{op} {bit},(hl)", 2),
                         (f"{op} {bit},({x}{disp(rng)})", 4)])
    if kind < 79:
        # A jump back to the block's own label is near: ZORM turns it into jr
        # unless -n is given.
        return rng.pick([(f"jp {far}", 3), (f"jp {rng.pick(CC)},{far}", 3), (f"jp {here}", 3),
                         (f"jp {rng.pick(JRCC)},{here}", 3), ("jp (hl)", 1), (f"jp ({x})", 2)])
    if kind < 86:
        target = rng.pick([here, ahead])
        return rng.pick([(f"jr {target}", 2), (f"jr {rng.pick(JRCC)},{target}", 2),
                         (f"djnz {target}", 2)])
    if kind < 91:
        return rng.pick([(f"call {far}", 3), (f"call {rng.pick(CC)},{far}", 3)])
    if kind < 95:
        return rng.pick([("ret", 1), (f"ret {rng.pick(CC)}", 1), ("reti", 2), ("retn", 2),
                         (f"rst {8 * rng.below(8)}", 1)])
    return rng.pick([(f"in a,({n8})", 2), (f"in {r},(c)", 2), (f"out ({n8}),a", 2),
                     (f"out (c),{r}", 2),
                     (rng.pick(["ini", "inir", "ind", "indr", "outi", "otir", "outd", "otdr"]), 2)])


def gen_program(size, out):
    rng = Rng(1)
    label = [f"lbl{i:05d}" for i in range(size + 1)]
    lines = ["; A generated Z80 program: labelled blocks of code and data.",
             f"; {size} blocks.", ""]
    constants = [f"port{i:02d}" for i in range(32)]
    for i, name in enumerate(constants):
        lines.append(f"{name} equ {(i * 37 + 5) & 255}")
    lines += ["", "        org 256", ""]
    address = 256
    for b in range(size):
        here, ahead = label[b], label[b + 1]
        if rng.below(4) != 0:
            lines.append(f"; {rng.pick(COMMENTS)} ({b})")
        count = 4 + rng.below(4)
        block_bytes = 0
        first = True
        for _ in range(count):
            far = label[rng.below(size)]
            text, length = instruction(rng, here, ahead, far)
            if rng.below(3) == 0:
                text = f"{text:<22}; {rng.pick(COMMENTS)}"
            if first and rng.below(3) == 0:
                lines.append(f"{here}: {text}")
            else:
                if first:
                    lines.append(f"{here}:")
                lines.append(f"        {text}")
            first = False
            block_bytes += length
        data = rng.below(8)
        if data < 3:
            values = ",".join(str(rng.below(256)) for _ in range(6 + rng.below(15)))
            lines.append(f"        db {values}")
            block_bytes += values.count(",") + 1
        elif data < 5:
            words = [rng.pick([str(rng.below(65536)), label[rng.below(size)]])
                     for _ in range(2 + rng.below(7))]
            lines.append(f"        dw {','.join(words)}")
            block_bytes += 2 * len(words)
        elif data == 5:
            text = rng.pick(WORDS)
            end = rng.pick(["0", "13,10,0", "36"])
            lines.append(f"        db \"{text}\",{end}")
            block_bytes += len(text) + end.count(",") + 1
        if rng.below(3) == 0:
            lines.append(f"        in a,(port{rng.below(32):02d})")
            block_bytes += 2
        address += block_bytes
    lines += [f"{label[size]}:", "        ret", "        end", ""]
    address += 1
    print(f"program: {size} blocks, {len(lines) - 1} lines, {address - 256} bytes", file=sys.stderr)
    if address > 65536:
        sys.exit(f"program: {size} blocks need {address - 256} bytes, more than fit")
    write(out, lines)


def gen_symbols(size, out):
    rng = Rng(2)
    lines = []
    for i in range(size):
        # Even symbols hold byte values, odd ones word values below 32768.
        value = (i // 2) % 256 if i % 2 == 0 else (i * 13) & 0x7FFF
        lines.append(f"sym{i:06d} equ {value}")
    lines.append("        org 256")

    def byte_sym():
        return f"sym{2 * rng.below((size + 1) // 2):06d}"

    def word_sym():
        return f"sym{2 * rng.below(size // 2) + 1:06d}"

    for _ in range(size // 5):
        kind = rng.below(12)
        if kind == 0:
            lines.append(f"        ld a,{byte_sym()}")
        elif kind == 1:
            lines.append(f"        cp {byte_sym()}")
        elif kind == 2:
            lines.append(f"        add a,{byte_sym()}")
        elif kind == 3:
            lines.append(f"        ld {rng.pick(R8)},{byte_sym()}")
        elif kind == 4:
            lines.append(f"        and {byte_sym()}")
        elif kind == 5:
            lines.append(f"        ld hl,{word_sym()}")
        elif kind == 6:
            lines.append(f"        ld de,{word_sym()}+{byte_sym()}")
        elif kind == 7:
            lines.append(f"        jp {word_sym()}")
        elif kind == 8:
            lines.append(f"        call {word_sym()}")
        elif kind == 9:
            lines.append(f"        ld a,({word_sym()})")
        elif kind == 10:
            lines.append(f"        out ({byte_sym()}),a")
        else:
            lines.append(f"        sub {byte_sym()}")
    lines.append("        end")
    lines.append("")
    write(out, lines)


MACRO_LIBRARY = """\
; Macros with parameters and local labels.
fill    macro   dest,count,value
        local   loop,done
        ld      hl,dest
        ld      b,count
loop:   ld      (hl),value
        inc     hl
        djnz    loop
done:
        endm

delay   macro   ticks
        local   wait
        if      ticks > 255
        ld      bc,ticks
wait:   dec     bc
        ld      a,b
        or      c
        jr      nz,wait
        else
        ld      b,ticks
wait:   djnz    wait
        endif
        endm

store   macro   reg,where
        ld      (where),reg
        endm

pair    macro   first,second,where
        local   skip
        cp      first
        jr      nz,skip
        store   second,where
skip:
        endm

guard   macro   value
        if      value = 0
        exitm
        endif
        ld      a,value
        endm
"""


def gen_macros(size, out):
    rng = Rng(3)
    lines = MACRO_LIBRARY.splitlines()
    lines += ["", "        org 256", "buffer  equ 60000", ""]
    calls = 0
    block = 0
    while calls < size:
        lines.append(f"unit{block:05d}:")
        for _ in range(10):
            kind = rng.below(5)
            if kind == 0:
                lines.append(f"        fill    buffer+{rng.below(256)},{1 + rng.below(255)},{rng.below(256)}")
            elif kind == 1:
                lines.append(f"        delay   {rng.pick([rng.below(256), 256 + rng.below(10000)])}")
            elif kind == 2:
                lines.append(f"        store   {rng.pick(['a', 'hl'])},buffer+{rng.below(1024)}")
            elif kind == 3:
                lines.append(f"        pair    {rng.below(256)},a,buffer+{rng.below(1024)}")
                calls += 1  # the nested call
            else:
                lines.append(f"        guard   {rng.pick([0, rng.below(256)])}")
            calls += 1
            if calls >= size:
                break
        block += 1
    lines += ["        ret", "        end", ""]
    write(out, lines)


def gen_includes(size, folder):
    rng = Rng(4)
    # Include names are looked up from the folder the assembler runs in:
    # name them from the folder the generator was given.
    prefix = "" if folder in ("", ".") else folder.rstrip("/") + "/"
    inc = os.path.join(folder, "inc")
    os.makedirs(inc, exist_ok=True)
    write(os.path.join(inc, "common.inc"), [
        "; Shared definitions, included by every unit.",
        "; It only counts how often it was read.",
        "        if      units_read = 0",
        "        endif",
        "units_read set units_read+1",
    ])
    with open(os.path.join(inc, "table.bin"), "wb") as stream:
        stream.write(bytes((i * 7) & 255 for i in range(16)))
    main = ["; Includes many small files, each of which includes a shared one.",
            "units_read set 0",
            "        org 256"]
    for i in range(size):
        name = f"unit{i:05d}"
        main.append(f"        include \"{prefix}inc/{name}.inc\"")
        body = [f"; Part {i} of {size}.",
                f"        include \"{prefix}inc/common.inc\"",
                f"{name}:",
                f"        ld      hl,{name}",
                "        call    " + (f"unit{rng.below(size):05d}"),
                f"p{i:05d}_value equ {rng.below(65536)}",
                "        if      units_read > 1000000",
                "        nop",
                "        endif"]
        if i % 100 == 0:
            body.append(f"        include \"{prefix}inc/table.bin\"")
        write(os.path.join(inc, f"{name}.inc"), body)
    main += ["        ret", "        end", ""]
    write(os.path.join(folder, "main.asm"), main)


def gen_comments(size, out):
    rng = Rng(5)
    lines = ["; Mostly comments and skipped conditional blocks.", "        org 256"]
    block = 0
    while len(lines) < size - 2:
        for _ in range(6):
            lines.append(f"; {rng.pick(COMMENTS)}")
        lines.append(f"        if 0  ; block {block}")
        for _ in range(12):
            lines.append(f"        ld      a,(ix+{rng.below(128)})  ; never assembled")
        lines.append("        endif")
        lines.append("")
        lines.append(f"* {rng.pick(COMMENTS)}")
        if block % 4 == 0:
            lines.append(f"        ld      a,{rng.below(256)}   ; {rng.pick(COMMENTS)}")
        block += 1
    lines += ["        ret", "        end", ""]
    write(out, lines)


def write(path, lines):
    with open(path, "w", newline="\n") as stream:
        stream.write("\n".join(lines))
        if lines and lines[-1] != "":
            stream.write("\n")


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    kind, size, out = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    generators = {"program": gen_program, "symbols": gen_symbols, "macros": gen_macros,
                  "includes": gen_includes, "comments": gen_comments}
    if kind not in generators:
        sys.exit(__doc__)
    generators[kind](size, out)


if __name__ == "__main__":
    main()
