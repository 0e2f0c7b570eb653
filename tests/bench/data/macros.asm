; Macros with parameters and local labels.
fill    macro   dest,count,value
        local   loop,done
        ld      hl,dest
        ld      b,count
loop:   ld      (hl),value
        inc     hl
        djnz    loop
done:
        endm

delay   macro   ticks
        local   wait
        if      ticks > 255
        ld      bc,ticks
wait:   dec     bc
        ld      a,b
        or      c
        jr      nz,wait
        else
        ld      b,ticks
wait:   djnz    wait
        endif
        endm

store   macro   reg,where
        ld      (where),reg
        endm

pair    macro   first,second,where
        local   skip
        cp      first
        jr      nz,skip
        store   second,where
skip:
        endm

guard   macro   value
        if      value = 0
        exitm
        endif
        ld      a,value
        endm

        org 256
buffer  equ 60000

unit00000:
        pair    67,a,buffer+458
        guard   163
        fill    buffer+185,190,83
        store   a,buffer+229
        pair    233,a,buffer+187
        guard   0
        fill    buffer+62,177,82
        delay   4939
        fill    buffer+230,110,150
        delay   135
unit00001:
        delay   1124
        fill    buffer+117,226,134
        fill    buffer+177,156,57
        guard   218
        delay   1
        delay   207
        delay   6726
        fill    buffer+227,37,19
        store   hl,buffer+507
        store   a,buffer+611
unit00002:
        guard   0
        guard   214
        guard   228
        guard   241
        fill    buffer+220,247,181
        pair    163,a,buffer+155
        fill    buffer+80,200,153
        guard   0
        store   hl,buffer+103
        fill    buffer+80,213,18
unit00003:
        fill    buffer+20,28,229
        pair    12,a,buffer+116
        delay   90
        guard   168
        delay   7053
        delay   7169
        fill    buffer+40,142,48
        delay   216
        delay   3016
        pair    185,a,buffer+420
unit00004:
        pair    28,a,buffer+1021
        fill    buffer+126,188,241
        pair    12,a,buffer+423
        guard   0
        pair    149,a,buffer+480
        store   a,buffer+330
        delay   5008
        delay   152
        store   a,buffer+179
        delay   2694
unit00005:
        store   hl,buffer+584
        store   hl,buffer+780
        delay   65
        fill    buffer+34,184,243
        delay   159
        store   hl,buffer+414
        delay   9362
        delay   164
        fill    buffer+212,11,169
        store   hl,buffer+290
unit00006:
        guard   0
        pair    143,a,buffer+163
        fill    buffer+162,234,107
        guard   0
        store   hl,buffer+126
        guard   0
        pair    108,a,buffer+836
        pair    183,a,buffer+217
        store   a,buffer+93
        pair    118,a,buffer+526
unit00007:
        guard   0
        store   hl,buffer+255
        fill    buffer+43,95,131
        fill    buffer+87,90,107
        store   a,buffer+879
        delay   205
        pair    49,a,buffer+148
        store   hl,buffer+818
        fill    buffer+220,90,47
        store   hl,buffer+36
unit00008:
        delay   5955
        delay   170
        pair    49,a,buffer+704
        guard   110
        fill    buffer+57,42,143
        store   hl,buffer+704
        fill    buffer+69,27,196
        fill    buffer+97,51,168
        pair    214,a,buffer+104
        store   hl,buffer+127
unit00009:
        pair    223,a,buffer+336
        store   hl,buffer+980
        pair    205,a,buffer+648
        store   hl,buffer+900
        fill    buffer+28,172,19
        delay   211
        delay   10023
        pair    91,a,buffer+214
        guard   42
        delay   1837
unit00010:
        guard   112
        guard   0
        delay   4411
        guard   136
        fill    buffer+222,151,168
        fill    buffer+13,135,58
        pair    253,a,buffer+888
        fill    buffer+56,116,231
        store   a,buffer+308
        guard   102
unit00011:
        delay   121
        fill    buffer+138,198,67
        store   hl,buffer+433
        delay   2
        pair    200,a,buffer+980
        pair    65,a,buffer+532
        delay   4168
        pair    197,a,buffer+900
        fill    buffer+109,61,153
        fill    buffer+46,190,135
unit00012:
        pair    254,a,buffer+827
        pair    201,a,buffer+237
        store   hl,buffer+432
        guard   83
        fill    buffer+159,61,252
        store   a,buffer+631
        pair    235,a,buffer+902
        store   hl,buffer+309
        delay   217
        delay   2702
unit00013:
        guard   20
        fill    buffer+25,97,107
        store   a,buffer+697
        guard   0
        fill    buffer+243,19,250
        pair    33,a,buffer+430
        guard   119
        guard   187
        delay   154
        delay   1890
unit00014:
        store   a,buffer+369
        store   a,buffer+16
        store   hl,buffer+851
        pair    29,a,buffer+727
        delay   6150
        pair    151,a,buffer+238
        guard   209
        delay   5381
        delay   2552
        guard   58
unit00015:
        delay   98
        pair    111,a,buffer+566
        store   hl,buffer+106
        guard   158
        fill    buffer+150,146,122
        pair    47,a,buffer+806
        pair    33,a,buffer+534
        pair    56,a,buffer+668
        fill    buffer+148,16,134
        store   hl,buffer+663
unit00016:
        fill    buffer+90,3,65
        pair    96,a,buffer+721
        pair    152,a,buffer+573
        guard   222
        pair    251,a,buffer+59
        delay   3755
        delay   189
        guard   151
        fill    buffer+105,146,17
        delay   5445
unit00017:
        pair    137,a,buffer+202
        fill    buffer+39,217,169
        delay   3165
        delay   6215
        guard   78
        store   a,buffer+365
        store   hl,buffer+0
        delay   4982
        store   a,buffer+946
        guard   0
unit00018:
        pair    14,a,buffer+276
        pair    162,a,buffer+416
        guard   0
        fill    buffer+215,135,244
        guard   0
        fill    buffer+15,231,123
        store   hl,buffer+894
        fill    buffer+248,142,181
        store   hl,buffer+189
        pair    89,a,buffer+1017
unit00019:
        pair    74,a,buffer+845
        fill    buffer+76,197,235
        store   a,buffer+136
        fill    buffer+18,6,90
        pair    94,a,buffer+177
        delay   6051
        pair    183,a,buffer+37
        store   a,buffer+676
        pair    51,a,buffer+128
        fill    buffer+177,118,74
unit00020:
        guard   64
        delay   9856
        fill    buffer+56,245,127
        fill    buffer+155,80,126
        guard   0
        fill    buffer+135,3,229
        pair    139,a,buffer+766
        fill    buffer+200,64,3
        fill    buffer+114,50,171
        store   hl,buffer+16
unit00021:
        pair    133,a,buffer+693
        pair    96,a,buffer+970
        pair    215,a,buffer+458
        pair    83,a,buffer+739
        delay   139
        delay   9568
        guard   0
        guard   83
        guard   0
        delay   4594
unit00022:
        fill    buffer+183,64,43
        fill    buffer+238,1,235
        pair    238,a,buffer+489
        store   a,buffer+64
        fill    buffer+66,22,87
        store   hl,buffer+525
        pair    140,a,buffer+422
        fill    buffer+157,160,81
        store   hl,buffer+286
        guard   0
unit00023:
        pair    32,a,buffer+481
        guard   0
        delay   95
        fill    buffer+22,211,224
        store   hl,buffer+762
        store   a,buffer+729
        fill    buffer+241,57,200
        fill    buffer+194,189,201
        fill    buffer+124,105,170
        fill    buffer+211,139,220
unit00024:
        guard   0
        store   hl,buffer+724
        fill    buffer+253,110,3
        guard   0
        guard   0
        guard   254
        fill    buffer+144,71,174
        pair    245,a,buffer+440
        ret
        end
