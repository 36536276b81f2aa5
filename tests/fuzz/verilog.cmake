osvo_add_fuzzer(verilog verilog_fuzz.cpp LIBS osvo_verilog)
