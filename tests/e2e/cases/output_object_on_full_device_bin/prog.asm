; a program whose object cannot be written completely
	org 0x100
start	ld hl,message
	jp start
message	db "hello, world",0
	ds 0x2000
	db 0xff
	end start
