; A generated Z80 program: labelled blocks of code and data.
; 150 blocks.

port00 equ 5
port01 equ 42
port02 equ 79
port03 equ 116
port04 equ 153
port05 equ 190
port06 equ 227
port07 equ 8
port08 equ 45
port09 equ 82
port10 equ 119
port11 equ 156
port12 equ 193
port13 equ 230
port14 equ 11
port15 equ 48
port16 equ 85
port17 equ 122
port18 equ 159
port19 equ 196
port20 equ 233
port21 equ 14
port22 equ 51
port23 equ 88
port24 equ 125
port25 equ 162
port26 equ 199
port27 equ 236
port28 equ 17
port29 equ 54
port30 equ 91
port31 equ 128

        org 256

; clear the carry (0)
lbl00000:
        out (41),a            ; end of the list?
        call lbl00112         ; scale by two
        ld c,h
        ld (ix-99),a
        inc (hl)
        ld b,d                ; keep the flags
        dw lbl00005,lbl00072,lbl00141,40108,lbl00144,lbl00061
; clear the carry (1)
lbl00001: ld ix,40257
        push af
        dec a                 ; restore the registers
        jr lbl00002
        or (ix-114)
        in a,(port20)
; next entry (2)
lbl00002: res 5,(iy-39)
        ld h,(ix+54)          ; count down
        cpd
        out (84),a
        retn
        dw lbl00123,13896,23734,60873,lbl00137,lbl00030,49676
lbl00003:
        sbc a,(hl)
        res 2,(iy-54)         ; scale by two
        ld h,129
        ld (lbl00067),a
        ld c,(iy+9)           ; loop until zero
        db "Drive not ready",13,10,0
        in a,(port20)
; end of the list? (4)
lbl00004:
        res 7,(ix+16)
        ld (hl),69
        add a,17              ; read the port
        jr lbl00004
        in a,(port23)
lbl00005: jr lbl00005
        res 1,c               ; count down
        sbc hl,sp
        ld (iy+120),e
        add ix,sp
; next entry (6)
lbl00006:
        ld a,(lbl00033)       ; end of the list?
        ld d,h
        jp pe,lbl00084
        rst 16
        sub (iy+85)           ; scale by two
        db "Press any key",13,10,0
        in a,(port13)
lbl00007: call lbl00047         ; table lookup
        ld e,250
        ld sp,lbl00006
        ld a,80               ; count down
        db 86,178,120,194,168,122,9,217,121,241,61,255,198,81,225,89,109,100
; table lookup (8)
lbl00008:
        rra
        sbc hl,sp
        set 7,(iy+84)
        jr nc,lbl00008
        db 66,226,215,150,254,70
; loop until zero (9)
lbl00009:
        inc bc
        ld (hl),180           ; restore the registers
        ld a,h
        ld sp,65073
        add ix,bc
; scale by two (10)
lbl00010: jp pe,lbl00020        ; save the result
        ld iy,50177
        jp (hl)               ; index into the table
        ld l,a
        sbc a,(hl)
        call lbl00016         ; next entry
        jr nc,lbl00011
        dw lbl00097,lbl00128,3588
        in a,(port27)
lbl00011: ld sp,lbl00088
        ld h,d
        sbc hl,hl             ; advance the pointer
        jp lbl00011
        djnz lbl00012
        ld a,e                ; end of the list?
        ld d,e
        db 78,227,81,232,105,238,63,225,143
; count down (12)
lbl00012:
        or (hl)
        ld e,(hl)             ; count down
        rld
        reti                  ; next entry
        out (98),a            ; advance the pointer
        call pe,lbl00066
        pop de
        dw lbl00034,56816
; advance the pointer (13)
lbl00013:
        ld h,l
        ld e,b
        djnz lbl00014
        ret p                 ; end of the list?
        pop hl                ; end of the list?
        djnz lbl00013         ; table lookup
        ldd                   ; count down
        db 11,65,2,126,226,206,165,88,125,14,168,101,90
        in a,(port15)
; next entry (14)
lbl00014: ld sp,lbl00131        ; test the low bit
        ld hl,lbl00101
        add ix,bc
        out (55),a
        res 2,(hl)
        jp m,lbl00131
        dw 5451,37400
; index into the table (15)
lbl00015: ld b,67
        ld (lbl00043),hl
        ld ix,(lbl00110)
        in a,(c)
        ld b,c
        rrd                   ; count down
        ld a,(lbl00132)
        db 7,48,245,74,128,0
        in a,(port05)
; count down (16)
lbl00016:
        pop de                ; index into the table
        ld l,a
        call nz,lbl00015
        ld b,162              ; loop until zero
        in a,(port19)
; index into the table (17)
lbl00017: retn
        ld d,l
        sbc a,37              ; restore the registers
        ld (lbl00121),sp      ; advance the pointer
        db "Syntax error",13,10,0
        in a,(port24)
; keep the flags (18)
lbl00018:
        exx
        ld sp,19283           ; loop until zero
        ld hl,7937
        rlc a                 ; test the low bit
        db 233,111,100,178,107,4,221,48,99,96,88,19,169
; count down (19)
lbl00019: inc (hl)              ; table lookup
        pop ix
        add ix,de
        jp lbl00019
        push iy
        db "Syntax error",0
lbl00020:
        ex de,hl
        jr lbl00020
        ld h,l                ; next entry
        ld h,e
        call nz,lbl00118      ; save the result
        reti                  ; index into the table
        dw 26767,26078,lbl00021
        in a,(port17)
lbl00021:
        ld ix,(lbl00023)
        ld iy,23138
        ld (ix-117),224
        call po,lbl00043      ; loop until zero
        jr lbl00022
        db 174,97,53,30,140,59,175,13,153
; clear the carry (22)
lbl00022:
        cp b
        rlca
        ld sp,hl
        ld e,l
        db 186,232,192,184,107,197,184,215,118,78,87,252,154,35,4,108,77,85
; advance the pointer (23)
lbl00023: out (c),b             ; save the result
        ld (lbl00096),ix
        bit 2,l
        ld a,c                ; table lookup
        inc c
        ld (lbl00053),ix
; count down (24)
lbl00024: inc (ix+117)
        or (hl)
        ld (ix-29),156        ; read the port
        add a,193
        inc iy                ; loop until zero
        db 137,121,212,21,177,86,174,1,243,1,171
; keep the flags (25)
lbl00025: dec (ix+121)          ; keep the flags
        ld (lbl00006),hl      ; scale by two
        cpl                   ; advance the pointer
        sub l                 ; next entry
        ex (sp),hl            ; save the result
        in a,(c)              ; count down
; test the low bit (26)
lbl00026: ld iy,8990
        ld d,74
        in a,(254)
        ld a,b                ; loop until zero
        db 54,179,116,164,60,57,106,20,127,10,29,111,123,20,26,158
; keep the flags (27)
lbl00027:
        call nc,lbl00135
        ld b,(iy-117)
        djnz lbl00028         ; advance the pointer
        dec (hl)
        dw lbl00023,lbl00033,29965,lbl00120,45848,44372,lbl00119
; read the port (28)
lbl00028:
        ld c,84
        add iy,sp
        and 29
        ld (iy+46),110        ; index into the table
        lddr
        ld b,a
        dw lbl00118,lbl00062
        in a,(port09)
; table lookup (29)
lbl00029:
        ld l,(ix-49)          ; next entry
        add ix,bc
        add a,26
        dec (hl)              ; read the port
        db 155,221,153,158,20,116,241,97,183,59,2,174,23
; clear the carry (30)
lbl00030:
        inir
        ret z
        inir                  ; clear the carry
        out (c),l             ; restore the registers
        sub 192               ; loop until zero
        in a,(port20)
; save the result (31)
lbl00031:
        ld (hl),d             ; restore the registers
        or 142                ; save the result
        ld (lbl00104),hl
        ld a,(de)             ; count down
        dw 23865,lbl00104,lbl00046
; count down (32)
lbl00032:
        cpl
        xor a
        ld a,r                ; scale by two
        call lbl00117
        in a,(c)              ; save the result
        bit 2,(hl)
        dw 1451,64385
; test the low bit (33)
lbl00033:
        add a,(hl)
        daa
        rst 0                 ; keep the flags
        add a,87              ; table lookup
        add a,(iy+76)         ; scale by two
        db 21,142,175,3,41,112,214,12,87,94,82,254,117,234,185,178
; index into the table (34)
lbl00034: ld c,b
        ex (sp),hl
        out (2),a             ; test the low bit
        ld h,c
        out (26),a
        bit 2,(ix+64)         ; test the low bit
; test the low bit (35)
lbl00035:
        add a,c
        and (iy-81)
        cpd                   ; scale by two
        im 2                  ; table lookup
        ld a,(de)
        jp nc,lbl00035
        rlc (hl)              ; scale by two
        db 76,81,240,65,182,187,229,221,241,101,5,22,234,104,76,175
        in a,(port07)
; count down (36)
lbl00036:
        sub (hl)              ; scale by two
        rst 32
        xor (iy+124)          ; end of the list?
        ld sp,lbl00127
        ld (lbl00116),bc
        db "Saved",0
; table lookup (37)
lbl00037:
        ld bc,lbl00027
        otir
        add a,(iy-1)
        jp (hl)               ; index into the table
        ld d,c
        dw 15945,25486,lbl00076,52381,17203,lbl00059,63775
        in a,(port20)
lbl00038:
        or 251
        call nz,lbl00112
        ld bc,12184
        reti                  ; read the port
        lddr                  ; advance the pointer
        jp (hl)
        inc de
        dw lbl00077,lbl00022,lbl00060,51457,lbl00067,2603,23034,21938
        in a,(port02)
; scale by two (39)
lbl00039:
        ld a,225
        ld bc,lbl00084
        call lbl00133         ; keep the flags
        jr z,lbl00040
        dw lbl00054,lbl00055,lbl00116,lbl00028,34757
        in a,(port16)
; clear the carry (40)
lbl00040:
        call lbl00055
        ld sp,hl
        ex (sp),hl
        inc b                 ; clear the carry
        or (iy-82)
        in a,(port15)
; test the low bit (41)
lbl00041:
        ret p
        in d,(c)              ; index into the table
        call pe,lbl00098
        ld b,e                ; next entry
        ld a,e
        dec h
        ld a,d                ; scale by two
lbl00042: ld d,0
        ld h,110
        rlc d
        ld c,d                ; clear the carry
        ret
        jp lbl00072           ; next entry
        add ix,ix
; test the low bit (43)
lbl00043:
        add a,188
        djnz lbl00043         ; test the low bit
        pop ix
        adc a,(iy+75)
        jr z,lbl00043
        dw 57091,4406,lbl00092,25149,14297
        in a,(port11)
; read the port (44)
lbl00044:
        res 2,(ix+86)
        ld e,243
        ld a,h                ; keep the flags
        in h,(c)
; count down (45)
lbl00045:
        ld hl,60562
        rld
        ld a,c                ; keep the flags
        ccf                   ; scale by two
        retn
        add a,86
; keep the flags (46)
lbl00046: ld h,c
        ld (iy-124),a
        ld a,l
        in a,(c)              ; test the low bit
        rlc l                 ; next entry
        rr (ix-84)
        in h,(c)              ; test the low bit
        dw lbl00135,55394,lbl00122,18346,lbl00009,49136,lbl00090,56581
        in a,(port29)
; next entry (47)
lbl00047:
        ld d,l
        ld b,d                ; next entry
        ld (hl),26
        ld b,c
        db 210,206,158,220,70,59,52,195,169,72,166,230,11,113,38,139,133,203,9
        in a,(port18)
; count down (48)
lbl00048: call po,lbl00125      ; count down
        ld iy,38837
        jr c,lbl00049
        ld c,l
        call pe,lbl00117
        in l,(c)
        inc ix                ; save the result
        db "Error in line",36
        in a,(port08)
; save the result (49)
lbl00049:
        jp lbl00106           ; end of the list?
        ld a,c
        ld b,a
        pop hl
        ld l,127              ; end of the list?
        in a,(141)            ; restore the registers
        db "Loading",13,10,0
lbl00050: ld l,b
        out (65),a
        cp l
        reti
        dec iy                ; keep the flags
        ld iy,2325
        db 59,125,17,235,207,24,173,246,223,229,95,136,36,93,184,18,64
        in a,(port24)
; table lookup (51)
lbl00051: add a,(ix-76)
        ld (hl),115
        ld e,204              ; end of the list?
        in h,(c)
        db 154,112,191,80,208,134,239,224,114,120,12,216,28,218,16,116,54,217,195,178
; loop until zero (52)
lbl00052:
        add hl,hl             ; advance the pointer
        ld iy,(lbl00035)      ; advance the pointer
        ex (sp),iy
        jp lbl00078           ; loop until zero
        call lbl00139
        dec iy
lbl00053: ld h,e
        ex (sp),iy
        add a,133
        ld e,d
        ld c,(hl)
        ld (hl),35            ; advance the pointer
        ld b,(hl)
        db 25,81,4,221,210,249,20,154,244,253,207,51,211,115,134,174,24,101,153
        in a,(port08)
; end of the list? (54)
lbl00054:
        push ix
        retn
        ld (lbl00011),hl
        or 229
        add a,(hl)            ; next entry
        ld a,c
        sub (ix-44)           ; index into the table
        db 65,108,184,176,187,121
; keep the flags (55)
lbl00055:
        jr lbl00056
        halt
        ld ix,36433           ; end of the list?
        pop af                ; index into the table
        in a,(port01)
; index into the table (56)
lbl00056:
        djnz lbl00056         ; loop until zero
        jp lbl00065
        ld e,a
        ld (lbl00043),bc
        ld (ix+3),181
        db 33,239,118,179,8,27,227,239,44,142,90,150,165,171,57,75,147,213,130,180
; count down (57)
lbl00057: add hl,sp
        inc sp
        ld l,a
        sub (ix+70)           ; test the low bit
        dec (ix+67)
        ld b,(hl)
        sub (iy+23)
; next entry (58)
lbl00058: ld (lbl00133),hl      ; table lookup
        ld a,e                ; table lookup
        jr lbl00058
        jp nz,lbl00048
        pop hl                ; advance the pointer
        call lbl00067
        sub (hl)              ; keep the flags
        db "Saved",36
; advance the pointer (59)
lbl00059:
        ld hl,41949           ; clear the carry
        ini
        cpir                  ; save the result
        ld h,e
        dw 22146,11459,40810,lbl00116,lbl00042,55143,1179,55073
; keep the flags (60)
lbl00060:
        ld d,a
        ld h,c                ; table lookup
        jp (hl)
        jp c,lbl00010         ; restore the registers
        add a,220
        in a,(c)              ; scale by two
        db 190,172,90,98,134,253,121,177,52,179,34
; test the low bit (61)
lbl00061:
        in c,(c)              ; keep the flags
        dec hl
        ld e,238
        push bc
        push ix
        sbc a,(hl)
        db 186,74,135,164,86,51,147,161,10,89,216,191
; next entry (62)
lbl00062:
        out (245),a           ; index into the table
        and 196               ; table lookup
        ld b,d
        ld (ix+93),l          ; end of the list?
        ld c,(ix-116)
        in a,(port11)
; read the port (63)
lbl00063: dec e
        out (170),a
        ld de,lbl00050        ; advance the pointer
        ld l,c                ; test the low bit
        ld l,a                ; test the low bit
        jr nc,lbl00063
        jp (hl)
        db 222,168,189,50,190,19,241,56,241,121,150,67,232,87,77,37,14,2,178,110
        in a,(port18)
; end of the list? (64)
lbl00064: ld (ix-103),120       ; test the low bit
        ldi
        ld sp,lbl00015
        ld bc,14666           ; count down
        or a
; next entry (65)
lbl00065:
        ld de,lbl00078
        outd
        di                    ; scale by two
        indr                  ; restore the registers
        jp z,lbl00065
        ld iy,(lbl00104)
        djnz lbl00066         ; loop until zero
        db "Disk full",0
; next entry (66)
lbl00066:
        ld (hl),b
        res 3,a
        adc a,(hl)            ; end of the list?
        in a,(c)              ; scale by two
        otdr
        res 5,c
        or 234                ; advance the pointer
        db 88,28,46,204,193,0,128,235,28,129,251,175,123
        in a,(port11)
; clear the carry (67)
lbl00067:
        ld d,186
        ld c,50
        jr lbl00068           ; next entry
        ld (hl),184           ; table lookup
        jr z,lbl00067         ; clear the carry
        db 248,209,65,16,112,3,62,9,66,181,36,246,222,163,47,203
; keep the flags (68)
lbl00068: jp (hl)
        and a
        pop af
        rlc (ix+110)
        ld ix,(lbl00102)      ; restore the registers
        call po,lbl00030      ; test the low bit
        db "Disk full",0
lbl00069:
        ld de,lbl00031
        ld c,e                ; table lookup
        ld h,b
        jp nz,lbl00146
        call pe,lbl00070
        db 116,106,200,144,128,20,13,116,125,216,129,205,242,195,217,73
        in a,(port31)
; next entry (70)
lbl00070:
        ld c,h
        ld sp,12982           ; count down
        ld a,209
        out (c),h
        rld
; keep the flags (71)
lbl00071: sbc a,(iy-22)         ; read the port
        bit 3,e
        rrc (hl)
        call lbl00042
        or (ix-76)
        dw lbl00092,126,lbl00088
        in a,(port30)
lbl00072: res 7,(ix+93)         ; next entry
        ld (iy+38),e
        add iy,de
        ld (lbl00001),sp
        cp 179
        sub 182
; end of the list? (73)
lbl00073:
        ld iy,16416           ; keep the flags
        jp (iy)
        ld l,220
        jp lbl00073           ; read the port
        ld a,i                ; next entry
        push af
        dw 1332,lbl00077,26861
; end of the list? (74)
lbl00074:
        ld l,111              ; count down
        ld a,c
        im 2
        ld l,c
        adc hl,hl
        dw lbl00046,18864,53367
        in a,(port28)
lbl00075: rst 0
        xor d
        pop bc
        di
        call lbl00095         ; advance the pointer
        ld de,(lbl00127)      ; read the port
        inc (ix+127)
        dw lbl00016,65446,9910,lbl00100,lbl00083,lbl00051,lbl00138
; next entry (76)
lbl00076:
        call p,lbl00145       ; end of the list?
        rst 0
        out (c),c
        ld bc,lbl00096
        push af
        dw lbl00027,lbl00020,lbl00029,lbl00142
        in a,(port24)
lbl00077:
        ccf
        ldd                   ; next entry
        or (hl)
        ld (ix-69),153
        ld (hl),l             ; next entry
        dw 31089,49411,17378
; next entry (78)
lbl00078:
        call po,lbl00007
        and (hl)              ; test the low bit
        rst 0                 ; table lookup
        call lbl00093         ; save the result
        db 86,231,35,79,70,103,190,252,119,51,159,154,83,9,82,64,13,163,19
        in a,(port17)
lbl00079: ret
        call lbl00039         ; next entry
        rst 32
        out (255),a
        ld bc,(lbl00113)
        db 114,248,107,112,118,63,166,240,107,217,93,125,84
lbl00080:
        ld d,a
        push af
        ld d,19               ; scale by two
        ld (bc),a
        db "Syntax error",13,10,0
; clear the carry (81)
lbl00081:
        ld (ix+21),70
        ld a,210
        pop af
        call c,lbl00101       ; next entry
        ld i,a
        in a,(port05)
; clear the carry (82)
lbl00082:
        call nz,lbl00082
        ld h,e
        sla (hl)
        ld sp,lbl00078
        bit 4,(hl)
        ld (lbl00111),ix
        push hl               ; end of the list?
        db 215,42,82,60,188,222,123,131,14,115,245,59,42,14,151,23,87,235,244
; end of the list? (83)
lbl00083:
        ld hl,lbl00111
        reti
        call lbl00139
        out (c),l             ; test the low bit
        dec a
        jr lbl00083           ; test the low bit
        db 148,176,77,157,249,112,135,3,147,22,133,205,236,204,183,122,244,46,118,220
        in a,(port23)
; keep the flags (84)
lbl00084: ld hl,lbl00053
        ld c,b                ; next entry
        in a,(c)              ; keep the flags
        ld h,e
        ld (lbl00101),iy      ; save the result
        ld iy,(lbl00133)
; count down (85)
lbl00085: srl (ix-33)
        push ix
        call c,lbl00010
        dec ix                ; table lookup
        db "Saved",36
        in a,(port05)
; clear the carry (86)
lbl00086:
        exx
        out (94),a            ; end of the list?
        or (hl)
        ld b,c
        ld sp,50182
        dw lbl00103,lbl00033,lbl00111,lbl00112,57465,lbl00144,lbl00001
; restore the registers (87)
lbl00087:
        pop af                ; advance the pointer
        dec h                 ; loop until zero
        ld a,d
        pop hl
        ld d,l                ; end of the list?
        ld (ix+69),110
        add hl,bc             ; restore the registers
        db 59,49,247,22,179,27,221,99,199,166,96,114,53,60,80,2,208,108,56
; clear the carry (88)
lbl00088: ex af,af'
        pop hl
        ld e,d                ; advance the pointer
        ld h,95
        ld (lbl00095),hl
        db 164,186,3,159,139,128,3,195,68,241,33,172,29,207,106,88,186,175,218
; keep the flags (89)
lbl00089:
        call p,lbl00111
        ld sp,32726
        ld a,(de)             ; test the low bit
        ld l,h                ; scale by two
        ld h,b                ; test the low bit
        add ix,bc
        db 41,133,43,190,249,64,92,135,111,219,235,14,121,71,58,190,12,233
; scale by two (90)
lbl00090:
        ld h,213
        ld c,l
        dec e                 ; scale by two
        inc (iy+109)          ; table lookup
        jr lbl00090           ; keep the flags
        db 65,48,228,24,95,120,108,47,240,2,77,221,247,57,193,152,62
; keep the flags (91)
lbl00091:
        djnz lbl00091
        jr lbl00091
        ld b,d
        ld (ix-14),c          ; count down
        ld (bc),a
        add hl,bc             ; keep the flags
        ret
        db 239,141,210,23,43,218
; scale by two (92)
lbl00092:
        ex de,hl
        dec (iy-108)
        djnz lbl00093
        call m,lbl00038
        reti                  ; loop until zero
        ld ix,(lbl00111)
        dw 3129,22079,lbl00134,lbl00036,lbl00084,46942,48260,lbl00144
lbl00093:
        ld hl,lbl00054
        ld e,l                ; advance the pointer
        ld b,d                ; test the low bit
        sub (ix-107)          ; table lookup
        jp lbl00093           ; restore the registers
        dec ix
; read the port (94)
lbl00094:
        out (c),l             ; clear the carry
        ld de,lbl00003        ; end of the list?
        inc iy
        ld c,l
        dw 33721,26874,lbl00076,lbl00002
        in a,(port02)
; advance the pointer (95)
lbl00095:
        add hl,de
        ld a,111              ; test the low bit
        res 7,(hl)            ; advance the pointer
        set 0,l
        push iy               ; keep the flags
        pop de
        ld (lbl00023),ix
        dw 62959,44961
; clear the carry (96)
lbl00096:
        in a,(221)
        ld e,45               ; loop until zero
        in a,(89)             ; keep the flags
        ld bc,lbl00137        ; advance the pointer
        jr nz,lbl00097        ; restore the registers
        db 113,25,151,6,29,193,6,243,182,213,69,121,10,54,13,253,37,18
        in a,(port30)
; keep the flags (97)
lbl00097:
        ld a,e
        ld a,(hl)
        or (iy-79)
        ld h,c                ; clear the carry
        ld hl,(lbl00015)
        ld b,c
        db "OK",13,10,0
; save the result (98)
lbl00098: jp (hl)
        cp (hl)
        ld b,32
        inc iy
        db 215,55,234,166,206,212,132,33,195,70,87,138,35,15,38,115,36,140,146,28
; advance the pointer (99)
lbl00099:
        ld a,h
        dec hl                ; clear the carry
        srl b
        ld de,64485
        push iy               ; clear the carry
        db 68,80,170,87,189,13,177,180,109,26,39,49,72,11
        in a,(port12)
; end of the list? (100)
lbl00100: ld b,l
        dec ix                ; index into the table
        ld a,(de)
        cpd
        pop hl
        ld b,a                ; count down
        res 3,(hl)            ; read the port
        db 115,247,31,239,184,129,91,76,121,66,64,217,150
; scale by two (101)
lbl00101:
        dec de
        call nc,lbl00111
        add iy,bc
        ld (de),a             ; restore the registers
        inir                  ; read the port
        inc de                ; index into the table
        ld e,(ix+124)
        db "Drive not ready",36
; restore the registers (102)
lbl00102:
        ld d,h
        ld a,d
        jr c,lbl00103
        ld e,25
        db 165,12,54,212,254,86,250,216,132,9,5,110,9,183,24,6,43,61,169,119
lbl00103: rr (iy+31)
        set 1,(iy+33)         ; next entry
        ld b,c
        add ix,de
        ld a,l
        db 89,91,91,136,83,172,28
; count down (104)
lbl00104:
        ld sp,hl
        call z,lbl00038       ; keep the flags
        ld a,217
        jp nc,lbl00104
        dw lbl00066,lbl00144
        in a,(port24)
; test the low bit (105)
lbl00105:
        call pe,lbl00000
        jp lbl00035
        ld iy,65003           ; keep the flags
        ld (iy+13),66
        ld e,174
        inc ix                ; keep the flags
        db 54,195,83,141,53,28,52,186,201,169,30,187,58,161,178
; save the result (106)
lbl00106: ld h,252
        ld h,e
        xor 102               ; next entry
        ld b,28
        ex (sp),hl            ; next entry
        dw 8172,59415,21337,34244,lbl00004,lbl00040,lbl00124,lbl00031
; count down (107)
lbl00107:
        ld (ix-23),23
        ld b,189              ; table lookup
        ld d,102
        ld hl,(lbl00083)      ; end of the list?
        set 7,(iy-120)
        push bc
        ret
; loop until zero (108)
lbl00108: res 4,(iy-106)
        pop af
        and 32                ; read the port
        adc hl,de
        ld a,r
        db "Syntax error",13,10,0
; test the low bit (109)
lbl00109:
        rst 16
        jp z,lbl00109
        daa                   ; loop until zero
        sbc hl,hl             ; table lookup
        ld a,(ix-119)
        ld h,22
        db 187,244,145,181,145,46,118,39,160,20,120,243
        in a,(port06)
; loop until zero (110)
lbl00110: bit 0,(ix-48)
        jp z,lbl00110         ; scale by two
        ld d,e
        ld bc,lbl00138
        call lbl00101
        jr nz,lbl00110        ; save the result
        ld d,c                ; read the port
; table lookup (111)
lbl00111: jr lbl00111
        ld b,d                ; index into the table
        sla (ix-39)
        ld (lbl00042),sp
        ld h,e
        set 6,(hl)
        set 7,h               ; clear the carry
        db 251,38,185,6,1,198,27,161,8,62,215
; clear the carry (112)
lbl00112:
        ex (sp),iy
        add ix,sp             ; keep the flags
        ld e,a
        jp (ix)               ; advance the pointer
        db 205,129,22,196,119,131,63,17,78,144,123,7,53,105,19,13
        in a,(port29)
; advance the pointer (113)
lbl00113:
        ld l,b
        ld (hl),e
        ld l,a
        pop hl
        push ix
        ex (sp),hl
        ret p
; loop until zero (114)
lbl00114:
        ld h,236              ; keep the flags
        ld b,232
        djnz lbl00115
        ld a,h
        add iy,sp
        dw 26840,38745,42347
lbl00115:
        ld c,136              ; keep the flags
        inc (ix+1)
        ld a,(bc)
        and (hl)              ; read the port
        in a,(port06)
; restore the registers (116)
lbl00116: ld sp,hl
        ld c,(hl)             ; end of the list?
        cp (hl)               ; clear the carry
        rrca                  ; advance the pointer
        dw 14731,61070,lbl00062,28595,24732,24695,lbl00027,lbl00077
lbl00117:
        ld d,b
        ldd
        dec (hl)
        rst 48
        and (iy-67)
        bit 3,(hl)
; read the port (118)
lbl00118: add a,a
        reti                  ; loop until zero
        ld d,(iy+48)          ; end of the list?
        ld e,180
        db 147,220,244,130,197,209,23,143,22,152,30,49,214,166
        in a,(port27)
; next entry (119)
lbl00119: ld h,d                ; read the port
        ld (de),a             ; table lookup
        ret nc
        ld hl,8875
        ld c,b
        or 0                  ; read the port
        out (109),a           ; clear the carry
        dw lbl00068,23730
; save the result (120)
lbl00120:
        out (141),a
        dec (ix+63)
        ld b,(iy-35)
        jp lbl00139
        djnz lbl00120
        ld c,176
        db 92,29,124,103,15,124,131,178,61,73,197
; table lookup (121)
lbl00121:
        cpi
        ld c,h
        and (iy-17)
        ld (hl),166
        db 206,196,16,47,174,94,118,172,91,98,28,149,184,204,208,228,24,111
; next entry (122)
lbl00122:
        ex (sp),ix
        call lbl00140
        ld e,a
        inc ix
        sub (hl)
        inc iy
        ccf
        in a,(port13)
; keep the flags (123)
lbl00123:
        ret
        sbc hl,bc
        cpir
        ld a,b
        sub (iy-39)
        db "Saved",0
; read the port (124)
lbl00124:
        ld l,58               ; save the result
        dec (hl)              ; advance the pointer
        ld (lbl00092),ix
        res 0,h
        ld (lbl00131),a
        db 38,75,2,3,171,110,163,18,10,35,234
; index into the table (125)
lbl00125: cp (hl)
        adc hl,de             ; end of the list?
        ld l,71
        ld d,110              ; save the result
        ld c,d
        or 102
        db 192,54,247,253,147,159,124,192,195,206,67,107,14,182,174,54,77,41,40
lbl00126: ld ix,52641
        jr nz,lbl00127
        inc de                ; clear the carry
        inc hl                ; end of the list?
        ld b,c
        db "Saved",36
; scale by two (127)
lbl00127:
        res 1,(iy-122)
        ld l,e
        ld iy,35050
        ld h,c
        db 231,205,176,143,199,38,208,108,152,118,120,225
        in a,(port14)
; loop until zero (128)
lbl00128:
        ld e,l                ; test the low bit
        call lbl00027
        res 6,(ix+100)        ; restore the registers
        ld sp,hl
        dw lbl00126,lbl00058,1818,lbl00014,47942,15071
lbl00129:
        rla
        call p,lbl00048
        dec iy
        ld d,a
        ld (ix-116),146       ; restore the registers
        rrd
        ld l,207
        db "Press any key",13,10,0
        in a,(port24)
; scale by two (130)
lbl00130:
        sbc hl,sp             ; count down
        call lbl00058         ; clear the carry
        bit 6,a
        ld (iy+105),98
lbl00131:
        ld h,(iy-76)
        cpdr                  ; end of the list?
        pop ix                ; read the port
        cp (iy-40)
        pop de
        djnz lbl00131         ; test the low bit
        ld e,(hl)             ; loop until zero
; end of the list? (132)
lbl00132: jr lbl00133
        or c                  ; keep the flags
        in d,(c)
        djnz lbl00132
        db 89,187,7,205,119,117,231,231,164,149,126,173
        in a,(port24)
; count down (133)
lbl00133:
        ld de,lbl00136
        pop hl
        res 7,(iy-22)         ; loop until zero
        ld l,e
        push af
        sbc a,(hl)            ; advance the pointer
        rl (iy-59)
        db "ready",0
        in a,(port03)
; restore the registers (134)
lbl00134:
        jr lbl00135           ; loop until zero
        or e
        add hl,bc
        ld h,b                ; advance the pointer
        jr lbl00134           ; read the port
        ld l,72
        ld sp,iy
        dw lbl00004,lbl00014,lbl00099,lbl00068,14042,13711,61619
        in a,(port03)
; end of the list? (135)
lbl00135:
        push af               ; next entry
        dec (hl)
        ld c,e
        ld iy,52646           ; index into the table
        ld ix,40073
        dw 56423,lbl00048,1075,17393,lbl00090,39443,lbl00025,lbl00124
; restore the registers (136)
lbl00136:
        ld sp,lbl00091
        pop de
        bit 4,a               ; keep the flags
        or 154
        ld sp,hl              ; next entry
        dw 16796,lbl00046,16766
; scale by two (137)
lbl00137:
        and e                 ; scale by two
        dec (hl)
        res 4,(iy+123)        ; scale by two
        reti
        ld c,46
        ld (de),a
        in a,(port27)
lbl00138:
        in a,(182)
        ld a,b
        in d,(c)              ; save the result
        res 2,h
        ld a,c                ; advance the pointer
        rr (iy+58)            ; keep the flags
; restore the registers (139)
lbl00139:
        ld h,157
        pop hl
        dec c                 ; save the result
        ld a,253
        db "OK",36
; advance the pointer (140)
lbl00140:
        ld b,a                ; index into the table
        djnz lbl00141
        call po,lbl00117
        ld (lbl00114),a
        ld de,lbl00090        ; index into the table
        in a,(port16)
; table lookup (141)
lbl00141: ld (iy+6),223
        adc hl,de
        ld c,104
        inc h                 ; advance the pointer
        and h
        ld e,l                ; table lookup
; scale by two (142)
lbl00142:
        ld e,c
        pop af                ; next entry
        ret z
        rst 32
        add iy,de
        ld b,c
        push af               ; next entry
        db "Saved",13,10,0
; test the low bit (143)
lbl00143:
        rst 0
        ld b,c
        bit 6,(ix-108)
        exx
        pop de
        db 10,134,199,73,103,49,68,200,50,150,182,233,162
        in a,(port10)
lbl00144:
        inc (iy-94)
        ex af,af'             ; restore the registers
        cpi                   ; index into the table
        exx
        db "ready",0
; clear the carry (145)
lbl00145:
        djnz lbl00146
        xor (iy+75)
        adc hl,sp
        call lbl00103
        ld iy,7753
        db 250,224,169,99,76,34,97,156,170,160,57,29,188,156
        in a,(port21)
; table lookup (146)
lbl00146:
        dec (ix+72)
        add hl,sp             ; index into the table
        call po,lbl00059
        reti
        ex (sp),ix            ; loop until zero
lbl00147:
        ld b,a
        rr a                  ; clear the carry
        ld e,226
        jp (hl)
        cp 10
        inc (ix-100)          ; loop until zero
        and (ix+77)           ; keep the flags
; scale by two (148)
lbl00148:
        adc hl,de
        ld de,(lbl00029)      ; test the low bit
        call lbl00141
        ld a,i                ; advance the pointer
        ld h,b                ; advance the pointer
        dw lbl00148,lbl00142,15864,17154,49090
; scale by two (149)
lbl00149: rl (hl)
        ld l,a
        ld (lbl00141),a
        ld ix,17036
        ld (ix+2),122         ; read the port
        ld d,148
        rrca
lbl00150:
        ret
        end
