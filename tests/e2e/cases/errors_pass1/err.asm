one equ 1
one equ 2
	bogus
  lbl:
	(
