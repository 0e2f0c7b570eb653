; A Z180 program: mlt is the Z180's multiplication.
        org     0x100
        ld      bc,0x0607
        mlt     bc
        ret
