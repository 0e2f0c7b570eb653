start equ 0x10

value = start*2 ; comment
* a comment line
negative equ -1
big equ 0x12345
label
