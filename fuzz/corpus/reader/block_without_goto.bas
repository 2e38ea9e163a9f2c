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
PSET (collom + 4, row + 1), Fcolor: PSET (collom + 4, row + 3), Fcolor
CASE "L"
LINE (collom + 1, row)-(collom + 1, row + 4), Fcolor
LINE (collom, row + 4)-(collom + 4, row + 4), Fcolor
LINE (collom, row)-(collom + 2, row), Fcolor
PSET (collom + 4, row + 3), Fcolor
CASE "T"
LINE (collom + 2, row)-(collom + 2, row + 4), Fcolor
LINE (collom, row)-(collom + 4, row), Fcolor
LINE (collom + 1, row + 4)-(collom + 3, row + 4), Fcolor
PSET (collom, row + 1), Fcolor: PSET (collom + 4, row + 1), Fcolor
CASE "N"
LINE (collom, row)-(collom, row + 4), Fcolor
LINE (collom, row)-(collom + 4, row + 4), Fcolor
LINE (collom + 4, row)-(collom + 4, row + 4), Fcolor
CASE "E"
LINE (collom + 1, row)-(collom + 1, row + 4), Fcolor
LINE (collom, row)-(collom + 4, row), Fcolor
LINE (collom + 1, row + 2)-(collom + 3, row + 2), Fcolor
LINE (collom, row + 4)-(collom + 4, row + 4), Fcolor
PSET (collom + 4, row + 1), Fcolor: PSET (collom + 4, row + 3), Fcolor
CASE ELSE
SELECT CASE A$
CASE "W"
LINE (collom, row)-(collom, row + 3), Fcolor
LINE (collom + 4, row)-(collom + 4, row + 3), Fcolor
LINE (collom + 2, row + 1)-(collom + 2, row + 3), Fcolor
PSET (collom + 1, row + 4), Fcolor: PSET (collom + 3, row + 4), Fcolor
CASE "M"
LINE (collom, row + 4)-(collom, row), Fcolor
