Fcolor =  4
wy =  15
PrintFlarp$ = "AB,BF(1"
wx =  8
gosub Dprint
PrintFlarp$ = ""
gosub Dprint
PrintFlarp$ = "
gosub Dprint
PRINT$ = "NO END
gosub Dprint
PrintFlarp$ = "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"
wx = 630
wy = 195
Fcolor = 99
gosub Dprint
Fcolor = -1
wx = -50
wy = -3
PrintFlarp$ = "!#$%&()*+,-./0123456789:;<=>?@[\]^_`{|}~"
gosub Dprint
gosub  Dprint
GOSUB DPRINT 
