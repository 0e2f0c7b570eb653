; a macro that calls itself without end, and two macros that call each other
again	macro
	nop
	again
	endm
ping	macro
	pong
	endm
pong	macro
	ping
	endm
	again
	ping
	nop
