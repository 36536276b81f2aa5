UCSC blocks 1.0
#›åb0blocks 2.0IMS = (2…”ﬂœ :~BN
p1	0	0
p2	09999999999999	80
