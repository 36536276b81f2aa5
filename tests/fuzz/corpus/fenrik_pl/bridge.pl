ZEPT pl 1.0

sb0 0 0
sb1 0 0
sb2 0 0
sb3 0 0
p1 0 0 : FS
p2 60 60 : FS
