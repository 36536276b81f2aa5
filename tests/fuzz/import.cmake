osvo_add_fuzzer(import import_fuzz.cpp LIBS osvo_verilog osvo_flatten)
