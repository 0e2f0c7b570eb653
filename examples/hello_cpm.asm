; A CP/M console program for the 8080: prints a greeting through the BDOS
; and returns to the system.
bdos    equ     5
conout  equ     2
wboot   equ     0

        org     0x100
start:  ld      hl,message
next:   ld      a,(hl)
        or      a
        jp      z,done
        push    hl
        ld      e,a
        ld      c,conout
        call    bdos
        pop     hl
        inc     hl
        jp      next
done:   jp      wboot

message:
        db      "Hello from ZORM\r\n",0
        end     start
