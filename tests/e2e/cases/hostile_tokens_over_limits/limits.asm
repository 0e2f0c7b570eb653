; names one character over the 31-character limit: the 32nd character
; begins the next token; a local name of 28 characters grows to 32 with
; its serial number; a string of 246 characters does not fit a line
label_lllllllllllllllllllllllllx	nop
label_lllllllllllllllllllllllll	nop
	jp label_lllllllllllllllllllllllllx
macro_mmmmmmmmmmmmmmmmmmmmmmmmmx macro
	nop
	endm
short macro p1_bbbbbbbbbbbbbbbbbbbbbbbbbbbbx
	endm
withlocal macro
	local local_ooooooooooooooooooooox
local_ooooooooooooooooooooox	nop
	endm
	withlocal
	struct struct_ttttttttttttttttttttttttx
	dw y
	end struct
	db "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxy"
	nop
