LINE(
LINE
CIRCLE
CIRCLE(
,BF
,B
)
(
,
"
PRINT$
PRINTFLARP$
WX=
FCOLOR
LINE )(,,)(,,B
CIRCLE)),,,,,
LINE((((((
LINE,,,,,,
line )-( ,b
circle ( , ) , , , , , ,
LINE(1,2)-(3,4),7,B,BF,B
CIRCLE(1,2,3),4,5,6,7,8,9,10
PAINT(
PAINT(1,2)
PAINT(1,2),3
PAINT(1,2),3,4
