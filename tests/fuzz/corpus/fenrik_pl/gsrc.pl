UCSC blocks 1.0
# sb0 1 1
sb0	46	535	DIMS = (27, 15)
sb2 3 4 : FN
p1	0	0
p2	0	80
