SCREEN 8
line ( 10,  10)-( 20, 15),  4,b
paint ( 15,  12),           2,            4
PAINT(53,12),14
Paint (33, 12), 6, 5
PAINT(
PAINT(40,12),,
PAINT)(,,
PAINT(1,2),3,B
PAINT(-5,99999999999),1e40,-3
paint ( 320,  100),           1,            1
