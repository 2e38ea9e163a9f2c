SCREEN 8
line ( 10,  20)-( 100, 50),  7,b