; Mostly comments and skipped conditional blocks.
        org 256
; read the port
; save the result
; count down
; table lookup
; table lookup
; next entry
        if 0  ; block 0
        ld      a,(ix+53)  ; never assembled
        ld      a,(ix+74)  ; never assembled
        ld      a,(ix+56)  ; never assembled
        ld      a,(ix+43)  ; never assembled
        ld      a,(ix+114)  ; never assembled
        ld      a,(ix+84)  ; never assembled
        ld      a,(ix+43)  ; never assembled
        ld      a,(ix+81)  ; never assembled
        ld      a,(ix+69)  ; never assembled
        ld      a,(ix+92)  ; never assembled
        ld      a,(ix+87)  ; never assembled
        ld      a,(ix+58)  ; never assembled
        endif

* clear the carry
        ld      a,94   ; clear the carry
; save the result
; save the result
; index into the table
; clear the carry
; index into the table
; keep the flags
        if 0  ; block 1
        ld      a,(ix+73)  ; never assembled
        ld      a,(ix+43)  ; never assembled
        ld      a,(ix+122)  ; never assembled
        ld      a,(ix+25)  ; never assembled
        ld      a,(ix+35)  ; never assembled
        ld      a,(ix+73)  ; never assembled
        ld      a,(ix+67)  ; never assembled
        ld      a,(ix+85)  ; never assembled
        ld      a,(ix+41)  ; never assembled
        ld      a,(ix+53)  ; never assembled
        ld      a,(ix+12)  ; never assembled
        ld      a,(ix+121)  ; never assembled
        endif

* end of the list?
; save the result
; keep the flags
; test the low bit
; test the low bit
; advance the pointer
; test the low bit
        if 0  ; block 2
        ld      a,(ix+108)  ; never assembled
        ld      a,(ix+28)  ; never assembled
        ld      a,(ix+18)  ; never assembled
        ld      a,(ix+48)  ; never assembled
        ld      a,(ix+12)  ; never assembled
        ld      a,(ix+7)  ; never assembled
        ld      a,(ix+40)  ; never assembled
        ld      a,(ix+70)  ; never assembled
        ld      a,(ix+106)  ; never assembled
        ld      a,(ix+71)  ; never assembled
        ld      a,(ix+81)  ; never assembled
        ld      a,(ix+73)  ; never assembled
        endif

* loop until zero
; restore the registers
; table lookup
; save the result
; clear the carry
; next entry
; clear the carry
        if 0  ; block 3
        ld      a,(ix+116)  ; never assembled
        ld      a,(ix+74)  ; never assembled
        ld      a,(ix+91)  ; never assembled
        ld      a,(ix+79)  ; never assembled
        ld      a,(ix+39)  ; never assembled
        ld      a,(ix+120)  ; never assembled
        ld      a,(ix+84)  ; never assembled
        ld      a,(ix+17)  ; never assembled
        ld      a,(ix+51)  ; never assembled
        ld      a,(ix+52)  ; never assembled
        ld      a,(ix+124)  ; never assembled
        ld      a,(ix+101)  ; never assembled
        endif

* test the low bit
; clear the carry
; clear the carry
; read the port
; read the port
; index into the table
; table lookup
        if 0  ; block 4
        ld      a,(ix+37)  ; never assembled
        ld      a,(ix+127)  ; never assembled
        ld      a,(ix+94)  ; never assembled
        ld      a,(ix+50)  ; never assembled
        ld      a,(ix+1)  ; never assembled
        ld      a,(ix+48)  ; never assembled
        ld      a,(ix+30)  ; never assembled
        ld      a,(ix+62)  ; never assembled
        ld      a,(ix+73)  ; never assembled
        ld      a,(ix+80)  ; never assembled
        ld      a,(ix+79)  ; never assembled
        ld      a,(ix+105)  ; never assembled
        endif

* test the low bit
        ld      a,114   ; index into the table
; index into the table
; read the port
; next entry
; end of the list?
; scale by two
; index into the table
        if 0  ; block 5
        ld      a,(ix+126)  ; never assembled
        ld      a,(ix+54)  ; never assembled
        ld      a,(ix+115)  ; never assembled
        ld      a,(ix+94)  ; never assembled
        ld      a,(ix+105)  ; never assembled
        ld      a,(ix+23)  ; never assembled
        ld      a,(ix+84)  ; never assembled
        ld      a,(ix+3)  ; never assembled
        ld      a,(ix+35)  ; never assembled
        ld      a,(ix+97)  ; never assembled
        ld      a,(ix+117)  ; never assembled
        ld      a,(ix+79)  ; never assembled
        endif

* next entry
; test the low bit
; count down
; test the low bit
; loop until zero
; next entry
; next entry
        if 0  ; block 6
        ld      a,(ix+40)  ; never assembled
        ld      a,(ix+65)  ; never assembled
        ld      a,(ix+111)  ; never assembled
        ld      a,(ix+120)  ; never assembled
        ld      a,(ix+29)  ; never assembled
        ld      a,(ix+8)  ; never assembled
        ld      a,(ix+42)  ; never assembled
        ld      a,(ix+120)  ; never assembled
        ld      a,(ix+60)  ; never assembled
        ld      a,(ix+11)  ; never assembled
        ld      a,(ix+55)  ; never assembled
        ld      a,(ix+64)  ; never assembled
        endif

* read the port
; clear the carry
; scale by two
; count down
; restore the registers
; save the result
; count down
        if 0  ; block 7
        ld      a,(ix+83)  ; never assembled
        ld      a,(ix+61)  ; never assembled
        ld      a,(ix+114)  ; never assembled
        ld      a,(ix+122)  ; never assembled
        ld      a,(ix+86)  ; never assembled
        ld      a,(ix+64)  ; never assembled
        ld      a,(ix+95)  ; never assembled
        ld      a,(ix+71)  ; never assembled
        ld      a,(ix+113)  ; never assembled
        ld      a,(ix+102)  ; never assembled
        ld      a,(ix+124)  ; never assembled
        ld      a,(ix+30)  ; never assembled
        endif

* index into the table
; save the result
; count down
; next entry
; keep the flags
; index into the table
; keep the flags
        if 0  ; block 8
        ld      a,(ix+41)  ; never assembled
        ld      a,(ix+43)  ; never assembled
        ld      a,(ix+10)  ; never assembled
        ld      a,(ix+88)  ; never assembled
        ld      a,(ix+117)  ; never assembled
        ld      a,(ix+29)  ; never assembled
        ld      a,(ix+38)  ; never assembled
        ld      a,(ix+125)  ; never assembled
        ld      a,(ix+79)  ; never assembled
        ld      a,(ix+15)  ; never assembled
        ld      a,(ix+36)  ; never assembled
        ld      a,(ix+103)  ; never assembled
        endif

* restore the registers
        ld      a,139   ; loop until zero
; index into the table
; index into the table
; test the low bit
; table lookup
; end of the list?
; table lookup
        if 0  ; block 9
        ld      a,(ix+35)  ; never assembled
        ld      a,(ix+36)  ; never assembled
        ld      a,(ix+26)  ; never assembled
        ld      a,(ix+27)  ; never assembled
        ld      a,(ix+36)  ; never assembled
        ld      a,(ix+119)  ; never assembled
        ld      a,(ix+19)  ; never assembled
        ld      a,(ix+115)  ; never assembled
        ld      a,(ix+86)  ; never assembled
        ld      a,(ix+23)  ; never assembled
        ld      a,(ix+121)  ; never assembled
        ld      a,(ix+108)  ; never assembled
        endif

* restore the registers
; keep the flags
; restore the registers
; advance the pointer
; count down
; test the low bit
; table lookup
        if 0  ; block 10
        ld      a,(ix+42)  ; never assembled
        ld      a,(ix+45)  ; never assembled
        ld      a,(ix+45)  ; never assembled
        ld      a,(ix+89)  ; never assembled
        ld      a,(ix+96)  ; never assembled
        ld      a,(ix+33)  ; never assembled
        ld      a,(ix+31)  ; never assembled
        ld      a,(ix+81)  ; never assembled
        ld      a,(ix+114)  ; never assembled
        ld      a,(ix+75)  ; never assembled
        ld      a,(ix+62)  ; never assembled
        ld      a,(ix+55)  ; never assembled
        endif

* advance the pointer
; advance the pointer
; save the result
; clear the carry
; keep the flags
; loop until zero
; end of the list?
        if 0  ; block 11
        ld      a,(ix+65)  ; never assembled
        ld      a,(ix+85)  ; never assembled
        ld      a,(ix+27)  ; never assembled
        ld      a,(ix+112)  ; never assembled
        ld      a,(ix+124)  ; never assembled
        ld      a,(ix+126)  ; never assembled
        ld      a,(ix+34)  ; never assembled
        ld      a,(ix+31)  ; never assembled
        ld      a,(ix+24)  ; never assembled
        ld      a,(ix+97)  ; never assembled
        ld      a,(ix+36)  ; never assembled
        ld      a,(ix+96)  ; never assembled
        endif

* table lookup
; advance the pointer
; advance the pointer
; count down
; next entry
; restore the registers
; clear the carry
        if 0  ; block 12
        ld      a,(ix+55)  ; never assembled
        ld      a,(ix+19)  ; never assembled
        ld      a,(ix+114)  ; never assembled
        ld      a,(ix+47)  ; never assembled
        ld      a,(ix+16)  ; never assembled
        ld      a,(ix+122)  ; never assembled
        ld      a,(ix+107)  ; never assembled
        ld      a,(ix+60)  ; never assembled
        ld      a,(ix+125)  ; never assembled
        ld      a,(ix+52)  ; never assembled
        ld      a,(ix+33)  ; never assembled
        ld      a,(ix+55)  ; never assembled
        endif

* index into the table
        ld      a,40   ; next entry
; save the result
; table lookup
; next entry
; loop until zero
; end of the list?
; count down
        if 0  ; block 13
        ld      a,(ix+68)  ; never assembled
        ld      a,(ix+90)  ; never assembled
        ld      a,(ix+127)  ; never assembled
        ld      a,(ix+98)  ; never assembled
        ld      a,(ix+90)  ; never assembled
        ld      a,(ix+103)  ; never assembled
        ld      a,(ix+8)  ; never assembled
        ld      a,(ix+88)  ; never assembled
        ld      a,(ix+12)  ; never assembled
        ld      a,(ix+46)  ; never assembled
        ld      a,(ix+59)  ; never assembled
        ld      a,(ix+106)  ; never assembled
        endif

* advance the pointer
; next entry
; count down
; table lookup
; clear the carry
; restore the registers
; next entry
        if 0  ; block 14
        ld      a,(ix+106)  ; never assembled
        ld      a,(ix+19)  ; never assembled
        ld      a,(ix+9)  ; never assembled
        ld      a,(ix+34)  ; never assembled
        ld      a,(ix+116)  ; never assembled
        ld      a,(ix+25)  ; never assembled
        ld      a,(ix+52)  ; never assembled
        ld      a,(ix+112)  ; never assembled
        ld      a,(ix+90)  ; never assembled
        ld      a,(ix+64)  ; never assembled
        ld      a,(ix+90)  ; never assembled
        ld      a,(ix+115)  ; never assembled
        endif

* scale by two
; save the result
; advance the pointer
; advance the pointer
; scale by two
; scale by two
; scale by two
        if 0  ; block 15
        ld      a,(ix+119)  ; never assembled
        ld      a,(ix+65)  ; never assembled
        ld      a,(ix+91)  ; never assembled
        ld      a,(ix+102)  ; never assembled
        ld      a,(ix+50)  ; never assembled
        ld      a,(ix+2)  ; never assembled
        ld      a,(ix+57)  ; never assembled
        ld      a,(ix+30)  ; never assembled
        ld      a,(ix+116)  ; never assembled
        ld      a,(ix+30)  ; never assembled
        ld      a,(ix+112)  ; never assembled
        ld      a,(ix+96)  ; never assembled
        endif

* table lookup
; loop until zero
; next entry
; end of the list?
; restore the registers
; read the port
; save the result
        if 0  ; block 16
        ld      a,(ix+105)  ; never assembled
        ld      a,(ix+74)  ; never assembled
        ld      a,(ix+97)  ; never assembled
        ld      a,(ix+12)  ; never assembled
        ld      a,(ix+83)  ; never assembled
        ld      a,(ix+125)  ; never assembled
        ld      a,(ix+120)  ; never assembled
        ld      a,(ix+71)  ; never assembled
        ld      a,(ix+66)  ; never assembled
        ld      a,(ix+22)  ; never assembled
        ld      a,(ix+66)  ; never assembled
        ld      a,(ix+65)  ; never assembled
        endif

* clear the carry
        ld      a,251   ; scale by two
; clear the carry
; index into the table
; index into the table
; restore the registers
; read the port
; next entry
        if 0  ; block 17
        ld      a,(ix+18)  ; never assembled
        ld      a,(ix+18)  ; never assembled
        ld      a,(ix+48)  ; never assembled
        ld      a,(ix+5)  ; never assembled
        ld      a,(ix+108)  ; never assembled
        ld      a,(ix+47)  ; never assembled
        ld      a,(ix+14)  ; never assembled
        ld      a,(ix+79)  ; never assembled
        ld      a,(ix+44)  ; never assembled
        ld      a,(ix+32)  ; never assembled
        ld      a,(ix+108)  ; never assembled
        ld      a,(ix+96)  ; never assembled
        endif

* scale by two
; read the port
; advance the pointer
; next entry
; next entry
; restore the registers
; read the port
        if 0  ; block 18
        ld      a,(ix+76)  ; never assembled
        ld      a,(ix+70)  ; never assembled
        ld      a,(ix+12)  ; never assembled
        ld      a,(ix+92)  ; never assembled
        ld      a,(ix+62)  ; never assembled
        ld      a,(ix+89)  ; never assembled
        ld      a,(ix+24)  ; never assembled
        ld      a,(ix+37)  ; never assembled
        ld      a,(ix+34)  ; never assembled
        ld      a,(ix+124)  ; never assembled
        ld      a,(ix+62)  ; never assembled
        ld      a,(ix+61)  ; never assembled
        endif

* index into the table
; table lookup
; restore the registers
; next entry
; restore the registers
; scale by two
; index into the table
        if 0  ; block 19
        ld      a,(ix+31)  ; never assembled
        ld      a,(ix+101)  ; never assembled
        ld      a,(ix+73)  ; never assembled
        ld      a,(ix+124)  ; never assembled
        ld      a,(ix+73)  ; never assembled
        ld      a,(ix+66)  ; never assembled
        ld      a,(ix+116)  ; never assembled
        ld      a,(ix+109)  ; never assembled
        ld      a,(ix+41)  ; never assembled
        ld      a,(ix+93)  ; never assembled
        ld      a,(ix+5)  ; never assembled
        ld      a,(ix+95)  ; never assembled
        endif

* test the low bit
; restore the registers
; scale by two
; restore the registers
; restore the registers
; save the result
; next entry
        if 0  ; block 20
        ld      a,(ix+75)  ; never assembled
        ld      a,(ix+47)  ; never assembled
        ld      a,(ix+61)  ; never assembled
        ld      a,(ix+98)  ; never assembled
        ld      a,(ix+45)  ; never assembled
        ld      a,(ix+114)  ; never assembled
        ld      a,(ix+53)  ; never assembled
        ld      a,(ix+76)  ; never assembled
        ld      a,(ix+121)  ; never assembled
        ld      a,(ix+32)  ; never assembled
        ld      a,(ix+83)  ; never assembled
        ld      a,(ix+28)  ; never assembled
        endif

* scale by two
        ld      a,180   ; end of the list?
; end of the list?
; index into the table
; index into the table
; keep the flags
; advance the pointer
; loop until zero
        if 0  ; block 21
        ld      a,(ix+19)  ; never assembled
        ld      a,(ix+83)  ; never assembled
        ld      a,(ix+26)  ; never assembled
        ld      a,(ix+45)  ; never assembled
        ld      a,(ix+7)  ; never assembled
        ld      a,(ix+68)  ; never assembled
        ld      a,(ix+57)  ; never assembled
        ld      a,(ix+108)  ; never assembled
        ld      a,(ix+44)  ; never assembled
        ld      a,(ix+122)  ; never assembled
        ld      a,(ix+87)  ; never assembled
        ld      a,(ix+101)  ; never assembled
        endif

* save the result
; loop until zero
; scale by two
; scale by two
; restore the registers
; restore the registers
; save the result
        if 0  ; block 22
        ld      a,(ix+73)  ; never assembled
        ld      a,(ix+80)  ; never assembled
        ld      a,(ix+27)  ; never assembled
        ld      a,(ix+52)  ; never assembled
        ld      a,(ix+29)  ; never assembled
        ld      a,(ix+55)  ; never assembled
        ld      a,(ix+80)  ; never assembled
        ld      a,(ix+47)  ; never assembled
        ld      a,(ix+35)  ; never assembled
        ld      a,(ix+17)  ; never assembled
        ld      a,(ix+117)  ; never assembled
        ld      a,(ix+71)  ; never assembled
        endif

* count down
; table lookup
; restore the registers
; next entry
; next entry
; loop until zero
; advance the pointer
        if 0  ; block 23
        ld      a,(ix+11)  ; never assembled
        ld      a,(ix+90)  ; never assembled
        ld      a,(ix+8)  ; never assembled
        ld      a,(ix+5)  ; never assembled
        ld      a,(ix+39)  ; never assembled
        ld      a,(ix+3)  ; never assembled
        ld      a,(ix+127)  ; never assembled
        ld      a,(ix+88)  ; never assembled
        ld      a,(ix+75)  ; never assembled
        ld      a,(ix+125)  ; never assembled
        ld      a,(ix+117)  ; never assembled
        ld      a,(ix+126)  ; never assembled
        endif

* scale by two
; keep the flags
; next entry
; restore the registers
; index into the table
; next entry
; save the result
        if 0  ; block 24
        ld      a,(ix+89)  ; never assembled
        ld      a,(ix+3)  ; never assembled
        ld      a,(ix+101)  ; never assembled
        ld      a,(ix+77)  ; never assembled
        ld      a,(ix+114)  ; never assembled
        ld      a,(ix+62)  ; never assembled
        ld      a,(ix+1)  ; never assembled
        ld      a,(ix+1)  ; never assembled
        ld      a,(ix+5)  ; never assembled
        ld      a,(ix+37)  ; never assembled
        ld      a,(ix+118)  ; never assembled
        ld      a,(ix+8)  ; never assembled
        endif

* end of the list?
        ld      a,12   ; index into the table
; scale by two
; clear the carry
; advance the pointer
; save the result
; keep the flags
; advance the pointer
        if 0  ; block 25
        ld      a,(ix+27)  ; never assembled
        ld      a,(ix+67)  ; never assembled
        ld      a,(ix+109)  ; never assembled
        ld      a,(ix+8)  ; never assembled
        ld      a,(ix+6)  ; never assembled
        ld      a,(ix+36)  ; never assembled
        ld      a,(ix+33)  ; never assembled
        ld      a,(ix+13)  ; never assembled
        ld      a,(ix+88)  ; never assembled
        ld      a,(ix+61)  ; never assembled
        ld      a,(ix+18)  ; never assembled
        ld      a,(ix+7)  ; never assembled
        endif

* clear the carry
; table lookup
; test the low bit
; loop until zero
; scale by two
; count down
; index into the table
        if 0  ; block 26
        ld      a,(ix+61)  ; never assembled
        ld      a,(ix+21)  ; never assembled
        ld      a,(ix+79)  ; never assembled
        ld      a,(ix+11)  ; never assembled
        ld      a,(ix+11)  ; never assembled
        ld      a,(ix+38)  ; never assembled
        ld      a,(ix+91)  ; never assembled
        ld      a,(ix+67)  ; never assembled
        ld      a,(ix+41)  ; never assembled
        ld      a,(ix+77)  ; never assembled
        ld      a,(ix+28)  ; never assembled
        ld      a,(ix+21)  ; never assembled
        endif

* count down
; test the low bit
; read the port
; read the port
; test the low bit
; table lookup
; scale by two
        if 0  ; block 27
        ld      a,(ix+0)  ; never assembled
        ld      a,(ix+95)  ; never assembled
        ld      a,(ix+60)  ; never assembled
        ld      a,(ix+67)  ; never assembled
        ld      a,(ix+7)  ; never assembled
        ld      a,(ix+45)  ; never assembled
        ld      a,(ix+34)  ; never assembled
        ld      a,(ix+111)  ; never assembled
        ld      a,(ix+63)  ; never assembled
        ld      a,(ix+105)  ; never assembled
        ld      a,(ix+105)  ; never assembled
        ld      a,(ix+108)  ; never assembled
        endif

* table lookup
; count down
; table lookup
; table lookup
; keep the flags
; loop until zero
; count down
        if 0  ; block 28
        ld      a,(ix+3)  ; never assembled
        ld      a,(ix+41)  ; never assembled
        ld      a,(ix+47)  ; never assembled
        ld      a,(ix+123)  ; never assembled
        ld      a,(ix+0)  ; never assembled
        ld      a,(ix+20)  ; never assembled
        ld      a,(ix+31)  ; never assembled
        ld      a,(ix+27)  ; never assembled
        ld      a,(ix+59)  ; never assembled
        ld      a,(ix+117)  ; never assembled
        ld      a,(ix+60)  ; never assembled
        ld      a,(ix+53)  ; never assembled
        endif

* test the low bit
        ld      a,130   ; next entry
; next entry
; test the low bit
; save the result
; index into the table
; index into the table
; restore the registers
        if 0  ; block 29
        ld      a,(ix+35)  ; never assembled
        ld      a,(ix+122)  ; never assembled
        ld      a,(ix+46)  ; never assembled
        ld      a,(ix+97)  ; never assembled
        ld      a,(ix+118)  ; never assembled
        ld      a,(ix+100)  ; never assembled
        ld      a,(ix+105)  ; never assembled
        ld      a,(ix+10)  ; never assembled
        ld      a,(ix+70)  ; never assembled
        ld      a,(ix+31)  ; never assembled
        ld      a,(ix+73)  ; never assembled
        ld      a,(ix+114)  ; never assembled
        endif

* clear the carry
; read the port
; advance the pointer
; loop until zero
; keep the flags
; scale by two
; index into the table
        if 0  ; block 30
        ld      a,(ix+125)  ; never assembled
        ld      a,(ix+41)  ; never assembled
        ld      a,(ix+30)  ; never assembled
        ld      a,(ix+62)  ; never assembled
        ld      a,(ix+102)  ; never assembled
        ld      a,(ix+66)  ; never assembled
        ld      a,(ix+7)  ; never assembled
        ld      a,(ix+34)  ; never assembled
        ld      a,(ix+85)  ; never assembled
        ld      a,(ix+56)  ; never assembled
        ld      a,(ix+13)  ; never assembled
        ld      a,(ix+62)  ; never assembled
        endif

* index into the table
; read the port
; read the port
; restore the registers
; scale by two
; scale by two
; test the low bit
        if 0  ; block 31
        ld      a,(ix+100)  ; never assembled
        ld      a,(ix+0)  ; never assembled
        ld      a,(ix+50)  ; never assembled
        ld      a,(ix+17)  ; never assembled
        ld      a,(ix+48)  ; never assembled
        ld      a,(ix+111)  ; never assembled
        ld      a,(ix+51)  ; never assembled
        ld      a,(ix+124)  ; never assembled
        ld      a,(ix+82)  ; never assembled
        ld      a,(ix+104)  ; never assembled
        ld      a,(ix+104)  ; never assembled
        ld      a,(ix+0)  ; never assembled
        endif

* clear the carry
; read the port
; end of the list?
; next entry
; table lookup
; end of the list?
; loop until zero
        if 0  ; block 32
        ld      a,(ix+15)  ; never assembled
        ld      a,(ix+29)  ; never assembled
        ld      a,(ix+74)  ; never assembled
        ld      a,(ix+20)  ; never assembled
        ld      a,(ix+93)  ; never assembled
        ld      a,(ix+119)  ; never assembled
        ld      a,(ix+91)  ; never assembled
        ld      a,(ix+68)  ; never assembled
        ld      a,(ix+53)  ; never assembled
        ld      a,(ix+1)  ; never assembled
        ld      a,(ix+103)  ; never assembled
        ld      a,(ix+84)  ; never assembled
        endif

* end of the list?
        ld      a,193   ; keep the flags
; table lookup
; save the result
; clear the carry
; restore the registers
; index into the table
; table lookup
        if 0  ; block 33
        ld      a,(ix+116)  ; never assembled
        ld      a,(ix+4)  ; never assembled
        ld      a,(ix+73)  ; never assembled
        ld      a,(ix+95)  ; never assembled
        ld      a,(ix+116)  ; never assembled
        ld      a,(ix+68)  ; never assembled
        ld      a,(ix+2)  ; never assembled
        ld      a,(ix+46)  ; never assembled
        ld      a,(ix+53)  ; never assembled
        ld      a,(ix+71)  ; never assembled
        ld      a,(ix+54)  ; never assembled
        ld      a,(ix+97)  ; never assembled
        endif

* end of the list?
; save the result
; loop until zero
; count down
; next entry
; read the port
; advance the pointer
        if 0  ; block 34
        ld      a,(ix+36)  ; never assembled
        ld      a,(ix+127)  ; never assembled
        ld      a,(ix+39)  ; never assembled
        ld      a,(ix+14)  ; never assembled
        ld      a,(ix+127)  ; never assembled
        ld      a,(ix+73)  ; never assembled
        ld      a,(ix+38)  ; never assembled
        ld      a,(ix+78)  ; never assembled
        ld      a,(ix+11)  ; never assembled
        ld      a,(ix+37)  ; never assembled
        ld      a,(ix+123)  ; never assembled
        ld      a,(ix+113)  ; never assembled
        endif

* scale by two
; restore the registers
; save the result
; index into the table
; table lookup
; index into the table
; restore the registers
        if 0  ; block 35
        ld      a,(ix+109)  ; never assembled
        ld      a,(ix+86)  ; never assembled
        ld      a,(ix+2)  ; never assembled
        ld      a,(ix+21)  ; never assembled
        ld      a,(ix+108)  ; never assembled
        ld      a,(ix+85)  ; never assembled
        ld      a,(ix+66)  ; never assembled
        ld      a,(ix+8)  ; never assembled
        ld      a,(ix+86)  ; never assembled
        ld      a,(ix+27)  ; never assembled
        ld      a,(ix+53)  ; never assembled
        ld      a,(ix+53)  ; never assembled
        endif

* table lookup
; advance the pointer
; index into the table
; next entry
; restore the registers
; count down
; count down
        if 0  ; block 36
        ld      a,(ix+83)  ; never assembled
        ld      a,(ix+107)  ; never assembled
        ld      a,(ix+65)  ; never assembled
        ld      a,(ix+30)  ; never assembled
        ld      a,(ix+2)  ; never assembled
        ld      a,(ix+0)  ; never assembled
        ld      a,(ix+29)  ; never assembled
        ld      a,(ix+57)  ; never assembled
        ld      a,(ix+94)  ; never assembled
        ld      a,(ix+45)  ; never assembled
        ld      a,(ix+51)  ; never assembled
        ld      a,(ix+17)  ; never assembled
        endif

* clear the carry
        ld      a,87   ; save the result
; save the result
; restore the registers
; save the result
; next entry
; index into the table
; count down
        if 0  ; block 37
        ld      a,(ix+74)  ; never assembled
        ld      a,(ix+76)  ; never assembled
        ld      a,(ix+32)  ; never assembled
        ld      a,(ix+94)  ; never assembled
        ld      a,(ix+33)  ; never assembled
        ld      a,(ix+58)  ; never assembled
        ld      a,(ix+34)  ; never assembled
        ld      a,(ix+124)  ; never assembled
        ld      a,(ix+91)  ; never assembled
        ld      a,(ix+93)  ; never assembled
        ld      a,(ix+3)  ; never assembled
        ld      a,(ix+113)  ; never assembled
        endif

* count down
; save the result
; index into the table
; clear the carry
; table lookup
; save the result
; restore the registers
        if 0  ; block 38
        ld      a,(ix+83)  ; never assembled
        ld      a,(ix+58)  ; never assembled
        ld      a,(ix+12)  ; never assembled
        ld      a,(ix+17)  ; never assembled
        ld      a,(ix+13)  ; never assembled
        ld      a,(ix+33)  ; never assembled
        ld      a,(ix+126)  ; never assembled
        ld      a,(ix+3)  ; never assembled
        ld      a,(ix+42)  ; never assembled
        ld      a,(ix+97)  ; never assembled
        ld      a,(ix+59)  ; never assembled
        ld      a,(ix+104)  ; never assembled
        endif

* restore the registers
; keep the flags
; end of the list?
; next entry
; end of the list?
; read the port
; clear the carry
        if 0  ; block 39
        ld      a,(ix+48)  ; never assembled
        ld      a,(ix+110)  ; never assembled
        ld      a,(ix+28)  ; never assembled
        ld      a,(ix+49)  ; never assembled
        ld      a,(ix+111)  ; never assembled
        ld      a,(ix+14)  ; never assembled
        ld      a,(ix+27)  ; never assembled
        ld      a,(ix+109)  ; never assembled
        ld      a,(ix+88)  ; never assembled
        ld      a,(ix+78)  ; never assembled
        ld      a,(ix+96)  ; never assembled
        ld      a,(ix+16)  ; never assembled
        endif

* read the port
; advance the pointer
; keep the flags
; count down
; restore the registers
; keep the flags
; test the low bit
        if 0  ; block 40
        ld      a,(ix+26)  ; never assembled
        ld      a,(ix+102)  ; never assembled
        ld      a,(ix+61)  ; never assembled
        ld      a,(ix+77)  ; never assembled
        ld      a,(ix+1)  ; never assembled
        ld      a,(ix+25)  ; never assembled
        ld      a,(ix+16)  ; never assembled
        ld      a,(ix+48)  ; never assembled
        ld      a,(ix+44)  ; never assembled
        ld      a,(ix+22)  ; never assembled
        ld      a,(ix+5)  ; never assembled
        ld      a,(ix+44)  ; never assembled
        endif

* end of the list?
        ld      a,223   ; advance the pointer
; count down
; index into the table
; count down
; read the port
; advance the pointer
; scale by two
        if 0  ; block 41
        ld      a,(ix+106)  ; never assembled
        ld      a,(ix+120)  ; never assembled
        ld      a,(ix+91)  ; never assembled
        ld      a,(ix+60)  ; never assembled
        ld      a,(ix+96)  ; never assembled
        ld      a,(ix+98)  ; never assembled
        ld      a,(ix+92)  ; never assembled
        ld      a,(ix+114)  ; never assembled
        ld      a,(ix+65)  ; never assembled
        ld      a,(ix+40)  ; never assembled
        ld      a,(ix+25)  ; never assembled
        ld      a,(ix+65)  ; never assembled
        endif

* restore the registers
; test the low bit
; count down
; next entry
; test the low bit
; count down
; save the result
        if 0  ; block 42
        ld      a,(ix+108)  ; never assembled
        ld      a,(ix+127)  ; never assembled
        ld      a,(ix+18)  ; never assembled
        ld      a,(ix+11)  ; never assembled
        ld      a,(ix+3)  ; never assembled
        ld      a,(ix+12)  ; never assembled
        ld      a,(ix+100)  ; never assembled
        ld      a,(ix+14)  ; never assembled
        ld      a,(ix+63)  ; never assembled
        ld      a,(ix+14)  ; never assembled
        ld      a,(ix+57)  ; never assembled
        ld      a,(ix+112)  ; never assembled
        endif

* restore the registers
; count down
; next entry
; scale by two
; end of the list?
; save the result
; loop until zero
        if 0  ; block 43
        ld      a,(ix+0)  ; never assembled
        ld      a,(ix+40)  ; never assembled
        ld      a,(ix+1)  ; never assembled
        ld      a,(ix+39)  ; never assembled
        ld      a,(ix+79)  ; never assembled
        ld      a,(ix+76)  ; never assembled
        ld      a,(ix+18)  ; never assembled
        ld      a,(ix+7)  ; never assembled
        ld      a,(ix+71)  ; never assembled
        ld      a,(ix+18)  ; never assembled
        ld      a,(ix+49)  ; never assembled
        ld      a,(ix+60)  ; never assembled
        endif

* save the result
; clear the carry
; advance the pointer
; clear the carry
; keep the flags
; count down
; read the port
        if 0  ; block 44
        ld      a,(ix+5)  ; never assembled
        ld      a,(ix+61)  ; never assembled
        ld      a,(ix+32)  ; never assembled
        ld      a,(ix+8)  ; never assembled
        ld      a,(ix+26)  ; never assembled
        ld      a,(ix+59)  ; never assembled
        ld      a,(ix+84)  ; never assembled
        ld      a,(ix+121)  ; never assembled
        ld      a,(ix+40)  ; never assembled
        ld      a,(ix+121)  ; never assembled
        ld      a,(ix+21)  ; never assembled
        ld      a,(ix+14)  ; never assembled
        endif

* restore the registers
        ld      a,37   ; index into the table
; keep the flags
; count down
; advance the pointer
; index into the table
; advance the pointer
; end of the list?
        if 0  ; block 45
        ld      a,(ix+122)  ; never assembled
        ld      a,(ix+106)  ; never assembled
        ld      a,(ix+34)  ; never assembled
        ld      a,(ix+92)  ; never assembled
        ld      a,(ix+47)  ; never assembled
        ld      a,(ix+114)  ; never assembled
        ld      a,(ix+117)  ; never assembled
        ld      a,(ix+90)  ; never assembled
        ld      a,(ix+50)  ; never assembled
        ld      a,(ix+108)  ; never assembled
        ld      a,(ix+11)  ; never assembled
        ld      a,(ix+79)  ; never assembled
        endif

* table lookup
; end of the list?
; advance the pointer
; end of the list?
; test the low bit
; test the low bit
; test the low bit
        if 0  ; block 46
        ld      a,(ix+83)  ; never assembled
        ld      a,(ix+127)  ; never assembled
        ld      a,(ix+90)  ; never assembled
        ld      a,(ix+97)  ; never assembled
        ld      a,(ix+113)  ; never assembled
        ld      a,(ix+63)  ; never assembled
        ld      a,(ix+52)  ; never assembled
        ld      a,(ix+13)  ; never assembled
        ld      a,(ix+89)  ; never assembled
        ld      a,(ix+81)  ; never assembled
        ld      a,(ix+15)  ; never assembled
        ld      a,(ix+35)  ; never assembled
        endif

* restore the registers
; keep the flags
; next entry
; read the port
; keep the flags
; read the port
; next entry
        if 0  ; block 47
        ld      a,(ix+82)  ; never assembled
        ld      a,(ix+53)  ; never assembled
        ld      a,(ix+117)  ; never assembled
        ld      a,(ix+121)  ; never assembled
        ld      a,(ix+3)  ; never assembled
        ld      a,(ix+45)  ; never assembled
        ld      a,(ix+94)  ; never assembled
        ld      a,(ix+55)  ; never assembled
        ld      a,(ix+1)  ; never assembled
        ld      a,(ix+88)  ; never assembled
        ld      a,(ix+52)  ; never assembled
        ld      a,(ix+1)  ; never assembled
        endif

* table lookup
; next entry
; read the port
; test the low bit
; clear the carry
; clear the carry
; advance the pointer
        if 0  ; block 48
        ld      a,(ix+58)  ; never assembled
        ld      a,(ix+69)  ; never assembled
        ld      a,(ix+49)  ; never assembled
        ld      a,(ix+56)  ; never assembled
        ld      a,(ix+94)  ; never assembled
        ld      a,(ix+117)  ; never assembled
        ld      a,(ix+75)  ; never assembled
        ld      a,(ix+46)  ; never assembled
        ld      a,(ix+73)  ; never assembled
        ld      a,(ix+70)  ; never assembled
        ld      a,(ix+24)  ; never assembled
        ld      a,(ix+125)  ; never assembled
        endif

* test the low bit
        ld      a,71   ; count down
; scale by two
; next entry
; test the low bit
; scale by two
; advance the pointer
; loop until zero
        if 0  ; block 49
        ld      a,(ix+14)  ; never assembled
        ld      a,(ix+31)  ; never assembled
        ld      a,(ix+56)  ; never assembled
        ld      a,(ix+7)  ; never assembled
        ld      a,(ix+62)  ; never assembled
        ld      a,(ix+69)  ; never assembled
        ld      a,(ix+127)  ; never assembled
        ld      a,(ix+98)  ; never assembled
        ld      a,(ix+110)  ; never assembled
        ld      a,(ix+10)  ; never assembled
        ld      a,(ix+18)  ; never assembled
        ld      a,(ix+97)  ; never assembled
        endif

* advance the pointer
; table lookup
; read the port
; test the low bit
; read the port
; scale by two
; table lookup
        if 0  ; block 50
        ld      a,(ix+26)  ; never assembled
        ld      a,(ix+111)  ; never assembled
        ld      a,(ix+101)  ; never assembled
        ld      a,(ix+124)  ; never assembled
        ld      a,(ix+92)  ; never assembled
        ld      a,(ix+13)  ; never assembled
        ld      a,(ix+14)  ; never assembled
        ld      a,(ix+119)  ; never assembled
        ld      a,(ix+91)  ; never assembled
        ld      a,(ix+79)  ; never assembled
        ld      a,(ix+17)  ; never assembled
        ld      a,(ix+9)  ; never assembled
        endif

* loop until zero
; loop until zero
; test the low bit
; restore the registers
; restore the registers
; keep the flags
; test the low bit
        if 0  ; block 51
        ld      a,(ix+1)  ; never assembled
        ld      a,(ix+20)  ; never assembled
        ld      a,(ix+66)  ; never assembled
        ld      a,(ix+93)  ; never assembled
        ld      a,(ix+66)  ; never assembled
        ld      a,(ix+71)  ; never assembled
        ld      a,(ix+68)  ; never assembled
        ld      a,(ix+88)  ; never assembled
        ld      a,(ix+90)  ; never assembled
        ld      a,(ix+71)  ; never assembled
        ld      a,(ix+16)  ; never assembled
        ld      a,(ix+123)  ; never assembled
        endif

* count down
; table lookup
; index into the table
; scale by two
; next entry
; end of the list?
; count down
        if 0  ; block 52
        ld      a,(ix+46)  ; never assembled
        ld      a,(ix+22)  ; never assembled
        ld      a,(ix+36)  ; never assembled
        ld      a,(ix+51)  ; never assembled
        ld      a,(ix+112)  ; never assembled
        ld      a,(ix+112)  ; never assembled
        ld      a,(ix+3)  ; never assembled
        ld      a,(ix+85)  ; never assembled
        ld      a,(ix+127)  ; never assembled
        ld      a,(ix+53)  ; never assembled
        ld      a,(ix+68)  ; never assembled
        ld      a,(ix+77)  ; never assembled
        endif

* advance the pointer
        ld      a,73   ; loop until zero
; test the low bit
; keep the flags
; next entry
; index into the table
; restore the registers
; table lookup
        if 0  ; block 53
        ld      a,(ix+110)  ; never assembled
        ld      a,(ix+73)  ; never assembled
        ld      a,(ix+109)  ; never assembled
        ld      a,(ix+29)  ; never assembled
        ld      a,(ix+8)  ; never assembled
        ld      a,(ix+4)  ; never assembled
        ld      a,(ix+3)  ; never assembled
        ld      a,(ix+111)  ; never assembled
        ld      a,(ix+17)  ; never assembled
        ld      a,(ix+34)  ; never assembled
        ld      a,(ix+109)  ; never assembled
        ld      a,(ix+61)  ; never assembled
        endif

* table lookup
; advance the pointer
; save the result
; scale by two
; scale by two
; clear the carry
; advance the pointer
        if 0  ; block 54
        ld      a,(ix+78)  ; never assembled
        ld      a,(ix+121)  ; never assembled
        ld      a,(ix+32)  ; never assembled
        ld      a,(ix+56)  ; never assembled
        ld      a,(ix+117)  ; never assembled
        ld      a,(ix+76)  ; never assembled
        ld      a,(ix+37)  ; never assembled
        ld      a,(ix+11)  ; never assembled
        ld      a,(ix+98)  ; never assembled
        ld      a,(ix+29)  ; never assembled
        ld      a,(ix+87)  ; never assembled
        ld      a,(ix+45)  ; never assembled
        endif

* table lookup
; clear the carry
; clear the carry
; save the result
; save the result
; clear the carry
; clear the carry
        if 0  ; block 55
        ld      a,(ix+43)  ; never assembled
        ld      a,(ix+126)  ; never assembled
        ld      a,(ix+22)  ; never assembled
        ld      a,(ix+37)  ; never assembled
        ld      a,(ix+47)  ; never assembled
        ld      a,(ix+35)  ; never assembled
        ld      a,(ix+44)  ; never assembled
        ld      a,(ix+63)  ; never assembled
        ld      a,(ix+9)  ; never assembled
        ld      a,(ix+4)  ; never assembled
        ld      a,(ix+80)  ; never assembled
        ld      a,(ix+66)  ; never assembled
        endif

* test the low bit
; next entry
; next entry
; loop until zero
; keep the flags
; index into the table
; loop until zero
        if 0  ; block 56
        ld      a,(ix+110)  ; never assembled
        ld      a,(ix+32)  ; never assembled
        ld      a,(ix+18)  ; never assembled
        ld      a,(ix+52)  ; never assembled
        ld      a,(ix+81)  ; never assembled
        ld      a,(ix+50)  ; never assembled
        ld      a,(ix+77)  ; never assembled
        ld      a,(ix+111)  ; never assembled
        ld      a,(ix+102)  ; never assembled
        ld      a,(ix+86)  ; never assembled
        ld      a,(ix+124)  ; never assembled
        ld      a,(ix+117)  ; never assembled
        endif

* loop until zero
        ld      a,18   ; table lookup
; table lookup
; next entry
; save the result
; test the low bit
; clear the carry
; next entry
        if 0  ; block 57
        ld      a,(ix+13)  ; never assembled
        ld      a,(ix+3)  ; never assembled
        ld      a,(ix+24)  ; never assembled
        ld      a,(ix+113)  ; never assembled
        ld      a,(ix+46)  ; never assembled
        ld      a,(ix+2)  ; never assembled
        ld      a,(ix+114)  ; never assembled
        ld      a,(ix+102)  ; never assembled
        ld      a,(ix+118)  ; never assembled
        ld      a,(ix+113)  ; never assembled
        ld      a,(ix+65)  ; never assembled
        ld      a,(ix+78)  ; never assembled
        endif

* advance the pointer
; table lookup
; scale by two
; test the low bit
; index into the table
; read the port
; read the port
        if 0  ; block 58
        ld      a,(ix+28)  ; never assembled
        ld      a,(ix+116)  ; never assembled
        ld      a,(ix+7)  ; never assembled
        ld      a,(ix+21)  ; never assembled
        ld      a,(ix+127)  ; never assembled
        ld      a,(ix+6)  ; never assembled
        ld      a,(ix+56)  ; never assembled
        ld      a,(ix+113)  ; never assembled
        ld      a,(ix+11)  ; never assembled
        ld      a,(ix+14)  ; never assembled
        ld      a,(ix+45)  ; never assembled
        ld      a,(ix+46)  ; never assembled
        endif

* loop until zero
; end of the list?
; keep the flags
; scale by two
; test the low bit
; scale by two
; keep the flags
        if 0  ; block 59
        ld      a,(ix+47)  ; never assembled
        ld      a,(ix+42)  ; never assembled
        ld      a,(ix+21)  ; never assembled
        ld      a,(ix+42)  ; never assembled
        ld      a,(ix+41)  ; never assembled
        ld      a,(ix+39)  ; never assembled
        ld      a,(ix+59)  ; never assembled
        ld      a,(ix+56)  ; never assembled
        ld      a,(ix+57)  ; never assembled
        ld      a,(ix+65)  ; never assembled
        ld      a,(ix+83)  ; never assembled
        ld      a,(ix+99)  ; never assembled
        endif

* clear the carry
; index into the table
; scale by two
; loop until zero
; scale by two
; keep the flags
; count down
        if 0  ; block 60
        ld      a,(ix+39)  ; never assembled
        ld      a,(ix+104)  ; never assembled
        ld      a,(ix+93)  ; never assembled
        ld      a,(ix+52)  ; never assembled
        ld      a,(ix+76)  ; never assembled
        ld      a,(ix+38)  ; never assembled
        ld      a,(ix+95)  ; never assembled
        ld      a,(ix+70)  ; never assembled
        ld      a,(ix+111)  ; never assembled
        ld      a,(ix+124)  ; never assembled
        ld      a,(ix+39)  ; never assembled
        ld      a,(ix+45)  ; never assembled
        endif

* advance the pointer
        ld      a,97   ; next entry
; table lookup
; count down
; save the result
; save the result
; restore the registers
; loop until zero
        if 0  ; block 61
        ld      a,(ix+17)  ; never assembled
        ld      a,(ix+64)  ; never assembled
        ld      a,(ix+59)  ; never assembled
        ld      a,(ix+122)  ; never assembled
        ld      a,(ix+97)  ; never assembled
        ld      a,(ix+86)  ; never assembled
        ld      a,(ix+76)  ; never assembled
        ld      a,(ix+30)  ; never assembled
        ld      a,(ix+6)  ; never assembled
        ld      a,(ix+82)  ; never assembled
        ld      a,(ix+85)  ; never assembled
        ld      a,(ix+34)  ; never assembled
        endif

* end of the list?
; read the port
; clear the carry
; index into the table
; end of the list?
; index into the table
; test the low bit
        if 0  ; block 62
        ld      a,(ix+40)  ; never assembled
        ld      a,(ix+80)  ; never assembled
        ld      a,(ix+69)  ; never assembled
        ld      a,(ix+37)  ; never assembled
        ld      a,(ix+52)  ; never assembled
        ld      a,(ix+75)  ; never assembled
        ld      a,(ix+74)  ; never assembled
        ld      a,(ix+93)  ; never assembled
        ld      a,(ix+72)  ; never assembled
        ld      a,(ix+21)  ; never assembled
        ld      a,(ix+101)  ; never assembled
        ld      a,(ix+115)  ; never assembled
        endif

* index into the table
; keep the flags
; clear the carry
; end of the list?
; end of the list?
; keep the flags
; next entry
        if 0  ; block 63
        ld      a,(ix+79)  ; never assembled
        ld      a,(ix+20)  ; never assembled
        ld      a,(ix+15)  ; never assembled
        ld      a,(ix+110)  ; never assembled
        ld      a,(ix+41)  ; never assembled
        ld      a,(ix+121)  ; never assembled
        ld      a,(ix+66)  ; never assembled
        ld      a,(ix+58)  ; never assembled
        ld      a,(ix+110)  ; never assembled
        ld      a,(ix+82)  ; never assembled
        ld      a,(ix+40)  ; never assembled
        ld      a,(ix+37)  ; never assembled
        endif

* table lookup
; loop until zero
; keep the flags
; scale by two
; test the low bit
; clear the carry
; read the port
        if 0  ; block 64
        ld      a,(ix+55)  ; never assembled
        ld      a,(ix+93)  ; never assembled
        ld      a,(ix+21)  ; never assembled
        ld      a,(ix+36)  ; never assembled
        ld      a,(ix+17)  ; never assembled
        ld      a,(ix+105)  ; never assembled
        ld      a,(ix+44)  ; never assembled
        ld      a,(ix+94)  ; never assembled
        ld      a,(ix+6)  ; never assembled
        ld      a,(ix+118)  ; never assembled
        ld      a,(ix+6)  ; never assembled
        ld      a,(ix+98)  ; never assembled
        endif

* loop until zero
        ld      a,58   ; read the port
; end of the list?
; count down
; read the port
; count down
; clear the carry
; save the result
        if 0  ; block 65
        ld      a,(ix+104)  ; never assembled
        ld      a,(ix+104)  ; never assembled
        ld      a,(ix+102)  ; never assembled
        ld      a,(ix+105)  ; never assembled
        ld      a,(ix+33)  ; never assembled
        ld      a,(ix+36)  ; never assembled
        ld      a,(ix+66)  ; never assembled
        ld      a,(ix+42)  ; never assembled
        ld      a,(ix+14)  ; never assembled
        ld      a,(ix+80)  ; never assembled
        ld      a,(ix+61)  ; never assembled
        ld      a,(ix+117)  ; never assembled
        endif

* next entry
; restore the registers
; next entry
; scale by two
; keep the flags
; table lookup
; read the port
        if 0  ; block 66
        ld      a,(ix+79)  ; never assembled
        ld      a,(ix+124)  ; never assembled
        ld      a,(ix+40)  ; never assembled
        ld      a,(ix+78)  ; never assembled
        ld      a,(ix+27)  ; never assembled
        ld      a,(ix+28)  ; never assembled
        ld      a,(ix+100)  ; never assembled
        ld      a,(ix+91)  ; never assembled
        ld      a,(ix+78)  ; never assembled
        ld      a,(ix+45)  ; never assembled
        ld      a,(ix+33)  ; never assembled
        ld      a,(ix+78)  ; never assembled
        endif

* next entry
; read the port
; loop until zero
; count down
; advance the pointer
; end of the list?
; next entry
        if 0  ; block 67
        ld      a,(ix+45)  ; never assembled
        ld      a,(ix+39)  ; never assembled
        ld      a,(ix+29)  ; never assembled
        ld      a,(ix+79)  ; never assembled
        ld      a,(ix+105)  ; never assembled
        ld      a,(ix+109)  ; never assembled
        ld      a,(ix+106)  ; never assembled
        ld      a,(ix+9)  ; never assembled
        ld      a,(ix+8)  ; never assembled
        ld      a,(ix+71)  ; never assembled
        ld      a,(ix+5)  ; never assembled
        ld      a,(ix+26)  ; never assembled
        endif

* scale by two
; count down
; save the result
; save the result
; end of the list?
; end of the list?
; test the low bit
        if 0  ; block 68
        ld      a,(ix+117)  ; never assembled
        ld      a,(ix+80)  ; never assembled
        ld      a,(ix+83)  ; never assembled
        ld      a,(ix+10)  ; never assembled
        ld      a,(ix+29)  ; never assembled
        ld      a,(ix+101)  ; never assembled
        ld      a,(ix+116)  ; never assembled
        ld      a,(ix+17)  ; never assembled
        ld      a,(ix+92)  ; never assembled
        ld      a,(ix+27)  ; never assembled
        ld      a,(ix+10)  ; never assembled
        ld      a,(ix+105)  ; never assembled
        endif

* test the low bit
        ld      a,216   ; end of the list?
; read the port
; save the result
; clear the carry
; keep the flags
; test the low bit
; advance the pointer
        if 0  ; block 69
        ld      a,(ix+103)  ; never assembled
        ld      a,(ix+64)  ; never assembled
        ld      a,(ix+62)  ; never assembled
        ld      a,(ix+3)  ; never assembled
        ld      a,(ix+83)  ; never assembled
        ld      a,(ix+43)  ; never assembled
        ld      a,(ix+93)  ; never assembled
        ld      a,(ix+61)  ; never assembled
        ld      a,(ix+78)  ; never assembled
        ld      a,(ix+78)  ; never assembled
        ld      a,(ix+116)  ; never assembled
        ld      a,(ix+109)  ; never assembled
        endif

* test the low bit
; end of the list?
; loop until zero
; save the result
; test the low bit
; end of the list?
; advance the pointer
        if 0  ; block 70
        ld      a,(ix+14)  ; never assembled
        ld      a,(ix+34)  ; never assembled
        ld      a,(ix+42)  ; never assembled
        ld      a,(ix+36)  ; never assembled
        ld      a,(ix+64)  ; never assembled
        ld      a,(ix+114)  ; never assembled
        ld      a,(ix+0)  ; never assembled
        ld      a,(ix+120)  ; never assembled
        ld      a,(ix+17)  ; never assembled
        ld      a,(ix+116)  ; never assembled
        ld      a,(ix+56)  ; never assembled
        ld      a,(ix+28)  ; never assembled
        endif

* test the low bit
; end of the list?
; table lookup
; save the result
; loop until zero
; index into the table
; end of the list?
        if 0  ; block 71
        ld      a,(ix+108)  ; never assembled
        ld      a,(ix+32)  ; never assembled
        ld      a,(ix+90)  ; never assembled
        ld      a,(ix+118)  ; never assembled
        ld      a,(ix+83)  ; never assembled
        ld      a,(ix+59)  ; never assembled
        ld      a,(ix+34)  ; never assembled
        ld      a,(ix+66)  ; never assembled
        ld      a,(ix+23)  ; never assembled
        ld      a,(ix+8)  ; never assembled
        ld      a,(ix+121)  ; never assembled
        ld      a,(ix+48)  ; never assembled
        endif

* read the port
; index into the table
; loop until zero
; clear the carry
; end of the list?
; advance the pointer
; clear the carry
        if 0  ; block 72
        ld      a,(ix+16)  ; never assembled
        ld      a,(ix+13)  ; never assembled
        ld      a,(ix+85)  ; never assembled
        ld      a,(ix+37)  ; never assembled
        ld      a,(ix+6)  ; never assembled
        ld      a,(ix+71)  ; never assembled
        ld      a,(ix+91)  ; never assembled
        ld      a,(ix+49)  ; never assembled
        ld      a,(ix+67)  ; never assembled
        ld      a,(ix+102)  ; never assembled
        ld      a,(ix+30)  ; never assembled
        ld      a,(ix+126)  ; never assembled
        endif

* index into the table
        ld      a,12   ; test the low bit
; count down
; index into the table
; loop until zero
; test the low bit
; count down
; index into the table
        if 0  ; block 73
        ld      a,(ix+3)  ; never assembled
        ld      a,(ix+68)  ; never assembled
        ld      a,(ix+17)  ; never assembled
        ld      a,(ix+28)  ; never assembled
        ld      a,(ix+39)  ; never assembled
        ld      a,(ix+45)  ; never assembled
        ld      a,(ix+126)  ; never assembled
        ld      a,(ix+62)  ; never assembled
        ld      a,(ix+39)  ; never assembled
        ld      a,(ix+20)  ; never assembled
        ld      a,(ix+127)  ; never assembled
        ld      a,(ix+28)  ; never assembled
        endif

* save the result
; restore the registers
; scale by two
; advance the pointer
; advance the pointer
; save the result
; end of the list?
        if 0  ; block 74
        ld      a,(ix+7)  ; never assembled
        ld      a,(ix+87)  ; never assembled
        ld      a,(ix+101)  ; never assembled
        ld      a,(ix+114)  ; never assembled
        ld      a,(ix+74)  ; never assembled
        ld      a,(ix+16)  ; never assembled
        ld      a,(ix+44)  ; never assembled
        ld      a,(ix+40)  ; never assembled
        ld      a,(ix+110)  ; never assembled
        ld      a,(ix+74)  ; never assembled
        ld      a,(ix+97)  ; never assembled
        ld      a,(ix+3)  ; never assembled
        endif

* advance the pointer
; scale by two
; end of the list?
; advance the pointer
; index into the table
; scale by two
; test the low bit
        if 0  ; block 75
        ld      a,(ix+73)  ; never assembled
        ld      a,(ix+74)  ; never assembled
        ld      a,(ix+36)  ; never assembled
        ld      a,(ix+82)  ; never assembled
        ld      a,(ix+103)  ; never assembled
        ld      a,(ix+30)  ; never assembled
        ld      a,(ix+100)  ; never assembled
        ld      a,(ix+23)  ; never assembled
        ld      a,(ix+126)  ; never assembled
        ld      a,(ix+6)  ; never assembled
        ld      a,(ix+12)  ; never assembled
        ld      a,(ix+80)  ; never assembled
        endif

* scale by two
; next entry
; end of the list?
; loop until zero
; save the result
; clear the carry
; count down
        if 0  ; block 76
        ld      a,(ix+25)  ; never assembled
        ld      a,(ix+100)  ; never assembled
        ld      a,(ix+27)  ; never assembled
        ld      a,(ix+114)  ; never assembled
        ld      a,(ix+27)  ; never assembled
        ld      a,(ix+106)  ; never assembled
        ld      a,(ix+75)  ; never assembled
        ld      a,(ix+122)  ; never assembled
        ld      a,(ix+44)  ; never assembled
        ld      a,(ix+54)  ; never assembled
        ld      a,(ix+59)  ; never assembled
        ld      a,(ix+9)  ; never assembled
        endif

* scale by two
        ld      a,45   ; test the low bit
; end of the list?
; index into the table
; restore the registers
; restore the registers
; next entry
; table lookup
        if 0  ; block 77
        ld      a,(ix+111)  ; never assembled
        ld      a,(ix+28)  ; never assembled
        ld      a,(ix+36)  ; never assembled
        ld      a,(ix+40)  ; never assembled
        ld      a,(ix+86)  ; never assembled
        ld      a,(ix+82)  ; never assembled
        ld      a,(ix+36)  ; never assembled
        ld      a,(ix+51)  ; never assembled
        ld      a,(ix+18)  ; never assembled
        ld      a,(ix+120)  ; never assembled
        ld      a,(ix+7)  ; never assembled
        ld      a,(ix+26)  ; never assembled
        endif

* test the low bit
; advance the pointer
; restore the registers
; read the port
; end of the list?
; table lookup
; table lookup
        if 0  ; block 78
        ld      a,(ix+24)  ; never assembled
        ld      a,(ix+104)  ; never assembled
        ld      a,(ix+61)  ; never assembled
        ld      a,(ix+126)  ; never assembled
        ld      a,(ix+97)  ; never assembled
        ld      a,(ix+93)  ; never assembled
        ld      a,(ix+86)  ; never assembled
        ld      a,(ix+117)  ; never assembled
        ld      a,(ix+30)  ; never assembled
        ld      a,(ix+41)  ; never assembled
        ld      a,(ix+63)  ; never assembled
        ld      a,(ix+0)  ; never assembled
        endif

* index into the table
; next entry
; table lookup
; index into the table
; next entry
; index into the table
; clear the carry
        if 0  ; block 79
        ld      a,(ix+110)  ; never assembled
        ld      a,(ix+38)  ; never assembled
        ld      a,(ix+111)  ; never assembled
        ld      a,(ix+16)  ; never assembled
        ld      a,(ix+123)  ; never assembled
        ld      a,(ix+5)  ; never assembled
        ld      a,(ix+91)  ; never assembled
        ld      a,(ix+9)  ; never assembled
        ld      a,(ix+19)  ; never assembled
        ld      a,(ix+16)  ; never assembled
        ld      a,(ix+19)  ; never assembled
        ld      a,(ix+100)  ; never assembled
        endif

* count down
; keep the flags
; advance the pointer
; restore the registers
; end of the list?
; end of the list?
; count down
        if 0  ; block 80
        ld      a,(ix+4)  ; never assembled
        ld      a,(ix+36)  ; never assembled
        ld      a,(ix+24)  ; never assembled
        ld      a,(ix+126)  ; never assembled
        ld      a,(ix+37)  ; never assembled
        ld      a,(ix+59)  ; never assembled
        ld      a,(ix+102)  ; never assembled
        ld      a,(ix+4)  ; never assembled
        ld      a,(ix+3)  ; never assembled
        ld      a,(ix+45)  ; never assembled
        ld      a,(ix+102)  ; never assembled
        ld      a,(ix+61)  ; never assembled
        endif

* clear the carry
        ld      a,244   ; next entry
; test the low bit
; table lookup
; loop until zero
; clear the carry
; test the low bit
; scale by two
        if 0  ; block 81
        ld      a,(ix+123)  ; never assembled
        ld      a,(ix+42)  ; never assembled
        ld      a,(ix+72)  ; never assembled
        ld      a,(ix+26)  ; never assembled
        ld      a,(ix+36)  ; never assembled
        ld      a,(ix+78)  ; never assembled
        ld      a,(ix+9)  ; never assembled
        ld      a,(ix+121)  ; never assembled
        ld      a,(ix+70)  ; never assembled
        ld      a,(ix+105)  ; never assembled
        ld      a,(ix+12)  ; never assembled
        ld      a,(ix+94)  ; never assembled
        endif

* save the result
; loop until zero
; index into the table
; scale by two
; save the result
; test the low bit
; restore the registers
        if 0  ; block 82
        ld      a,(ix+34)  ; never assembled
        ld      a,(ix+113)  ; never assembled
        ld      a,(ix+43)  ; never assembled
        ld      a,(ix+63)  ; never assembled
        ld      a,(ix+101)  ; never assembled
        ld      a,(ix+56)  ; never assembled
        ld      a,(ix+52)  ; never assembled
        ld      a,(ix+28)  ; never assembled
        ld      a,(ix+115)  ; never assembled
        ld      a,(ix+0)  ; never assembled
        ld      a,(ix+103)  ; never assembled
        ld      a,(ix+84)  ; never assembled
        endif

* advance the pointer
; advance the pointer
; scale by two
; clear the carry
; count down
; save the result
; table lookup
        if 0  ; block 83
        ld      a,(ix+17)  ; never assembled
        ld      a,(ix+22)  ; never assembled
        ld      a,(ix+111)  ; never assembled
        ld      a,(ix+77)  ; never assembled
        ld      a,(ix+97)  ; never assembled
        ld      a,(ix+75)  ; never assembled
        ld      a,(ix+50)  ; never assembled
        ld      a,(ix+60)  ; never assembled
        ld      a,(ix+94)  ; never assembled
        ld      a,(ix+49)  ; never assembled
        ld      a,(ix+41)  ; never assembled
        ld      a,(ix+63)  ; never assembled
        endif

* loop until zero
; save the result
; count down
; keep the flags
; scale by two
; keep the flags
; scale by two
        if 0  ; block 84
        ld      a,(ix+3)  ; never assembled
        ld      a,(ix+33)  ; never assembled
        ld      a,(ix+52)  ; never assembled
        ld      a,(ix+5)  ; never assembled
        ld      a,(ix+1)  ; never assembled
        ld      a,(ix+65)  ; never assembled
        ld      a,(ix+87)  ; never assembled
        ld      a,(ix+45)  ; never assembled
        ld      a,(ix+11)  ; never assembled
        ld      a,(ix+43)  ; never assembled
        ld      a,(ix+69)  ; never assembled
        ld      a,(ix+69)  ; never assembled
        endif

* end of the list?
        ld      a,5   ; advance the pointer
; clear the carry
; keep the flags
; next entry
; save the result
; count down
; read the port
        if 0  ; block 85
        ld      a,(ix+17)  ; never assembled
        ld      a,(ix+78)  ; never assembled
        ld      a,(ix+35)  ; never assembled
        ld      a,(ix+80)  ; never assembled
        ld      a,(ix+71)  ; never assembled
        ld      a,(ix+79)  ; never assembled
        ld      a,(ix+103)  ; never assembled
        ld      a,(ix+2)  ; never assembled
        ld      a,(ix+64)  ; never assembled
        ld      a,(ix+119)  ; never assembled
        ld      a,(ix+100)  ; never assembled
        ld      a,(ix+10)  ; never assembled
        endif

* clear the carry
; table lookup
; restore the registers
; next entry
; save the result
; advance the pointer
; read the port
        if 0  ; block 86
        ld      a,(ix+95)  ; never assembled
        ld      a,(ix+1)  ; never assembled
        ld      a,(ix+87)  ; never assembled
        ld      a,(ix+73)  ; never assembled
        ld      a,(ix+111)  ; never assembled
        ld      a,(ix+53)  ; never assembled
        ld      a,(ix+95)  ; never assembled
        ld      a,(ix+41)  ; never assembled
        ld      a,(ix+49)  ; never assembled
        ld      a,(ix+110)  ; never assembled
        ld      a,(ix+30)  ; never assembled
        ld      a,(ix+40)  ; never assembled
        endif

* test the low bit
; restore the registers
; read the port
; scale by two
; test the low bit
; test the low bit
; clear the carry
        if 0  ; block 87
        ld      a,(ix+28)  ; never assembled
        ld      a,(ix+7)  ; never assembled
        ld      a,(ix+18)  ; never assembled
        ld      a,(ix+49)  ; never assembled
        ld      a,(ix+50)  ; never assembled
        ld      a,(ix+103)  ; never assembled
        ld      a,(ix+22)  ; never assembled
        ld      a,(ix+35)  ; never assembled
        ld      a,(ix+97)  ; never assembled
        ld      a,(ix+35)  ; never assembled
        ld      a,(ix+113)  ; never assembled
        ld      a,(ix+115)  ; never assembled
        endif

* clear the carry
; save the result
; clear the carry
; table lookup
; save the result
; test the low bit
; test the low bit
        if 0  ; block 88
        ld      a,(ix+37)  ; never assembled
        ld      a,(ix+79)  ; never assembled
        ld      a,(ix+7)  ; never assembled
        ld      a,(ix+83)  ; never assembled
        ld      a,(ix+59)  ; never assembled
        ld      a,(ix+52)  ; never assembled
        ld      a,(ix+14)  ; never assembled
        ld      a,(ix+25)  ; never assembled
        ld      a,(ix+90)  ; never assembled
        ld      a,(ix+105)  ; never assembled
        ld      a,(ix+110)  ; never assembled
        ld      a,(ix+75)  ; never assembled
        endif

* index into the table
        ld      a,251   ; restore the registers
; test the low bit
; advance the pointer
; end of the list?
; table lookup
; test the low bit
; scale by two
        if 0  ; block 89
        ld      a,(ix+55)  ; never assembled
        ld      a,(ix+82)  ; never assembled
        ld      a,(ix+84)  ; never assembled
        ld      a,(ix+69)  ; never assembled
        ld      a,(ix+22)  ; never assembled
        ld      a,(ix+116)  ; never assembled
        ld      a,(ix+109)  ; never assembled
        ld      a,(ix+78)  ; never assembled
        ld      a,(ix+108)  ; never assembled
        ld      a,(ix+54)  ; never assembled
        ld      a,(ix+18)  ; never assembled
        ld      a,(ix+80)  ; never assembled
        endif

* end of the list?
        ret
        end
