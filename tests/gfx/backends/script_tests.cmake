# Tests of the Script back-end.
