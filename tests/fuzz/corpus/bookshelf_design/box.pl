UCLA pl 1.0

p1 0 0
p2 100 50
