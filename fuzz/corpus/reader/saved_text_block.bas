SCREEN 8
line ( 42,  63)-( 142, 103),               7
line ( 142,  103)-( 202, 123),             7,b
line ( 202,  43)-( 172, 53),               10,bf
circle ( 372,  53),          26,           10, , , 1.5
GoTo EndAbc
Dprint:
PrintFlarp$ = UCASE$(PrintFlarp$)
FOR I = 1 TO LEN(PrintFlarp$)
Line (wx, wy)-(wx+7, wy+6), Bcolor, BF
Trint$ = LEFT$(PrintFlarp$, I)
Trint$ = RIGHT$(Trint$, 1)
IF Trint$ <> " " THEN A$ = Trint$: collom = wx: row = wy: GOSUB ABC
wx = wx + 7
NEXT
wy = wy + 7
IF wy > 24 * 7 THEN wy = 1
wx = 1
return
Abc:
SELECT CASE a$
CASE "A"
PSET (collom + 2, row), Fcolor
PSET (collom + 1, row + 1), Fcolor
PSET (collom + 3, row + 1), Fcolor
PSET (collom + 1, row + 2), Fcolor
PSET (collom + 3, row + 2), Fcolor
LINE (collom + 1, row + 3)-(collom + 3, row + 3), Fcolor
LINE (collom, row + 3)-(collom, row + 4), Fcolor
LINE (collom + 4, row + 3)-(collom + 4, row + 4), Fcolor
CASE "B"
LINE (collom, row)-(collom + 3, row), Fcolor
LINE (collom, row)-(collom, row + 4), Fcolor
LINE (collom, row + 2)-(collom + 3, row + 2), Fcolor
LINE (collom, row + 4)-(collom + 3, row + 4), Fcolor
END SELECT
END SELECT
END SELECT
END SELECT
END SELECT
END SELECT
Return
EndAbc:
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
