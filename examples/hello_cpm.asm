; A CP/M console program for the 8080: prints a greeting through the BDOS
; console output call and returns to the system.
; Assemble with: zorm hello_cpm.asm  (8080 level, the default)
bdos    equ     5
conout  equ     2
wboot   equ     0

        org     0x100
start:  ld      hl,message
next:   ld      a,(hl)          ; next character
        or      a
        jp      z,done          ; a zero byte ends the text
        push    hl
        ld      e,a
        ld      c,conout
        call    bdos
        pop     hl
        inc     hl
        jp      next
done:   jp      wboot

message:
        db      "Hello from ZORM",13,10,0
        end     start
