; Echoes the lines typed until an empty one.
        org     0x100
again:  ld      c,10            ; BDOS: read a line into buffer
        ld      de,buffer
        call    5
        ld      a,(buffer+1)    ; its length
        or      a
        ret     z
        ld      c,9             ; BDOS: print up to '$'
        ld      de,crlf
        call    5
        jr      again
buffer: db      40
        ds      41
crlf:   db      13,10,'$'
        end
