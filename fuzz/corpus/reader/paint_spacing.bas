SCREEN 8
LINE (10,90)-(100,110),7,B
paint (50,100)  ,4,7
paint   (50,100),4,7
PAINT ( 5 , 5 ) , , 7
PAINT (5,5),c
PAINT (5,5),4,7,CHR$(0)
PAINT STEP (1,1),4
