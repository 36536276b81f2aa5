UCLA pl 1.0

sb0 3 4 : N
p1 7 7
p2 7 7
