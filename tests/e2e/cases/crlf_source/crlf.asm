first equ 1
second equ first+1
