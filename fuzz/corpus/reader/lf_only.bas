SCREEN 8
line ( 42,  63)-( 142, 103),               7
line ( 142,  103)-( 202, 123),             7,b
line ( 202,  43)-( 172, 53),               10,bf
circle ( 372,  53),          26,           10, , , 1.5
PrintFlarp$ = "HELLO, WORLD"
Fcolor =  10
wy =  53
wx =  72
gosub Dprint
PrintFlarp$ = "A\+B ,B 1"
Fcolor =  10
wy =  73
wx =  72
gosub Dprint
line ( 72,  73)-( 62, 3),    10
