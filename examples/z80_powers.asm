; The numbers 1 to 6 with their squares and cubes, as a CP/M console program
; for the Z80. Its routines call each other several levels deep, so it is a
; program to watch the call stack in the debugger:
;   start > print_row > power > multiply
;           print_row > print_number > print_digit > putchar > BDOS
; Assemble with: zorm -x -g z80_powers.asm    Run with: zorm-dbg run z80_powers.bin
bdos    equ     5               ; CP/M system call entry
wboot   equ     0               ; CP/M warm start
conout  equ     2               ; BDOS function: console output of e
stack   equ     0x8000          ; top of the program's own stack

        org     0x100
start:  ld      sp,stack
        ld      b,1             ; b counts the rows: n
row:    ld      a,b
        call    print_row
        inc     b
        ld      a,b
        cp      7
        jr      nz,row
        jp      wboot

; Prints a (n), n squared and n cubed on one line; keeps bc.
print_row:
        push    bc
        ld      c,a             ; c = n
        ld      b,1             ; b = the power to print
pr_next:
        ld      a,c
        ld      e,b
        call    power           ; hl = n to the power b
        call    print_number
        ld      a,b
        cp      3
        jr      z,pr_end
        ld      e,32            ; a space between two numbers
        call    putchar
        inc     b
        jr      pr_next
pr_end: ld      e,13
        call    putchar
        ld      e,10
        call    putchar
        pop     bc
        ret

; hl = a to the power e (e at least 1); keeps bc and de.
power:  push    bc
        push    de
        ld      c,a
        ld      b,e
        ld      hl,1
pw_loop:
        ld      a,c
        call    multiply        ; hl = hl * a
        djnz    pw_loop
        pop     de
        pop     bc
        ret

; hl = hl * a (the low 16 bits of the product); keeps bc and de.
multiply:
        push    bc
        push    de
        ex      de,hl           ; de = the multiplicand
        ld      hl,0
        ld      b,8             ; the bits of a, the highest first
mul_loop:
        add     hl,hl
        rla
        jr      nc,mul_skip
        add     hl,de
mul_skip:
        djnz    mul_loop
        pop     de
        pop     bc
        ret

; Prints hl (0 to 65535) in decimal without leading zeros; keeps bc, de, hl.
print_number:
        push    bc
        push    de
        push    hl
        ld      c,0             ; c becomes 1 once a digit is printed
        ld      de,10000
        call    print_digit
        ld      de,1000
        call    print_digit
        ld      de,100
        call    print_digit
        ld      de,10
        call    print_digit
        ld      c,1             ; the units digit is always printed
        ld      de,1
        call    print_digit
        pop     hl
        pop     de
        pop     bc
        ret

; Prints the digit hl / de unless it is a leading zero (c = 0); leaves
; hl mod de in hl.
print_digit:
        ld      a,47            ; the digit before '0'
pd_loop:
        inc     a
        or      a               ; no carry into the subtraction
        sbc     hl,de
        jr      nc,pd_loop
        add     hl,de           ; undo the last subtraction
        cp      48
        jr      nz,pd_show
        bit     0,c
        ret     z               ; a leading zero
pd_show:
        ld      c,1
        push    de
        ld      e,a
        call    putchar
        pop     de
        ret

; Prints the character in e; keeps every register.
putchar:
        push    af
        push    bc
        push    de
        push    hl
        ld      c,conout
        call    bdos
        pop     hl
        pop     de
        pop     bc
        pop     af
        ret

        end     start
