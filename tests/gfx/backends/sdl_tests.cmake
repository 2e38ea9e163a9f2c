# Tests of the SDL back-end.
