; include names that lead to no readable source file
	include "nothere.inc"
	include "adir"
	include ""
	include "nothere.bin"
	include "nothere.hex"
	nop
