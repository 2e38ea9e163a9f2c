screen 8
line (1,2)-(300,150), 9
line (10,10)-(20,20), 4,b
line (30,30)-(60,40), 12,bf
circle (320,100), 50, 14, , , 1
printflarp$ = "lower"
fcolor = 3
wy = 100
wx = 100
gosub dprint
goto endabc
dprint:
endabc:
