; a macro that calls itself until its argument reaches zero: nineteen
; expansions and the main file fill the twenty places of the source stack
count	macro n
	db n
	if n = 0
	exitm
	endif
	count n-1
	endm
	count 18
	db 0xff
