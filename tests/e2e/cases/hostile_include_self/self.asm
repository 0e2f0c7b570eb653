; a file that includes itself: twenty levels deep the nesting limit stops it
	include "self.asm"
	nop
