line (NAN,INF)-(-INF,NaN), 5
line (1E+,--5)-(+-3,.e5), 6,b
circle (INF,NAN),1E+,--5,,,NAN
circle (1,1),5,5,,,INF
circle (1,1),5,5,,,-INF
circle (1,1),5,5,,,-0
wx = NAN
wy = INFINITY
Fcolor = --5
wx = 1E+
wy = .
wx = -
wy = 1d-
Fcolor = 0x1F
line (.,.)-(-.,+.),.
