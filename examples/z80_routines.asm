; Z80 routines that use the index registers and relative jumps.
; Assemble with: zorm -x z80_routines.asm
        org     0x8000

; Sums the table of bytes at ix (b entries) into hl.
sum_table:
        ld      hl,0
        ld      d,0
sum_loop:
        ld      e,(ix+0)
        add     hl,de
        inc     ix
        djnz    sum_loop
        ret

; Copies a zero-terminated string from (iy) to (ix); bc counts the copy.
copy_string:
        ld      bc,0
copy_loop:
        ld      a,(iy+0)
        ld      (ix+0),a
        or      a
        jr      z,copy_done
        inc     ix
        inc     iy
        inc     bc
        jr      copy_loop
copy_done:
        ret

; Fills b bytes from (ix-1) downwards with the value in a.
fill_down:
        ld      (ix-1),a
        dec     ix
        djnz    fill_down
        ret

; Multiplies h by e into hl (shift and add).
multiply:
        ld      d,0
        ld      l,d
        ld      b,8
mul_loop:
        add     hl,hl
        jr      nc,mul_skip
        add     hl,de
mul_skip:
        djnz    mul_loop
        ret

table:  db      1,2,3,4,5,6,7,8
words:  dw      sum_table,copy_string,fill_down,multiply
        end     sum_table
