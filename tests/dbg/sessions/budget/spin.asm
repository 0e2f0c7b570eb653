; Never ends.
        org     0x100
loop:   inc     a
        jr      loop
