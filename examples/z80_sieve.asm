; The sieve of Eratosthenes for the Z80, as a CP/M console program: finds
; the primes below 256, keeps them in a table and prints them, then prints
; how many there are, and returns to the system.
; Assemble with: zorm -x z80_sieve.asm
bdos    equ     5               ; CP/M system call entry
wboot   equ     0               ; CP/M warm start
conout  equ     2               ; BDOS function: console output of e
prstr   equ     9               ; BDOS function: print the text at de up to a '$'

flags   equ     0x9000          ; 256 bytes, one per number: 0 = prime
primes  equ     0x9100          ; the primes found, one byte each
count   equ     0x9200          ; how many primes were found
stack   equ     0xa000          ; top of the program's own stack

        org     0x100
start:  ld      sp,stack
        call    sieve
        ld      hl,primes
        ld      a,(count)
        ld      b,a
        jr      first
again:  ld      e,32            ; a space between two numbers
        call    putchar
first:  ld      a,(hl)
        inc     hl
        call    print_dec
        djnz    again
        ld      de,crlf
        call    print_str
        ld      a,(count)
        call    print_dec
        ld      de,summary
        call    print_str
        jp      wboot

; Marks the multiples of every prime in flags, stores the primes in
; ascending order at primes and their number at count.
sieve:  ld      hl,flags        ; clear every flag
        ld      de,flags+1
        ld      bc,255
        ld      (hl),0
        ldir
        ld      ix,primes
        ld      b,0             ; b counts the primes
        ld      hl,flags+2      ; l is the candidate, hl its flag
cand:   ld      a,(hl)
        or      a
        jr      nz,next         ; marked: not a prime
        ld      (ix+0),l        ; a prime: record it
        inc     ix
        inc     b
        ld      c,l             ; mark its multiples
        ld      a,l
mark:   add     a,c
        jr      c,marked        ; past 255: done
        ld      l,a
        ld      (hl),1
        jr      mark
marked: ld      l,c             ; back to the candidate
next:   inc     l
        jr      nz,cand         ; until the candidate wraps past 255
        ld      a,b
        ld      (count),a
        ret

; Prints a (0 to 255) in decimal without leading zeros.
print_dec:
        push    bc
        push    de
        ld      c,0             ; c becomes 1 once a digit is printed
        ld      b,100
        call    digit
        ld      b,10
        call    digit
        add     a,48            ; the units digit is always printed
        ld      e,a
        call    putchar
        pop     de
        pop     bc
        ret

; Prints the digit a / b unless it is a leading zero; leaves a mod b in a.
digit:  ld      e,47
digit_loop:
        inc     e
        sub     b
        jr      nc,digit_loop
        add     a,b             ; undo the last subtraction
        ld      d,a
        ld      a,e
        cp      48
        jr      nz,digit_show
        ld      a,c             ; a zero: shown only after another digit
        or      a
        jr      z,digit_skip
digit_show:
        ld      c,1
        call    putchar
digit_skip:
        ld      a,d
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

; Prints the text at de up to its '$'; keeps every register.
print_str:
        push    af
        push    bc
        push    de
        push    hl
        ld      c,prstr
        call    bdos
        pop     hl
        pop     de
        pop     bc
        pop     af
        ret

crlf:   db      13,10,"$"
summary:
        db      " primes below 256",13,10,"$"
        end     start
