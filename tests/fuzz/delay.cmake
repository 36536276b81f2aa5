osvo_add_fuzzer(width_space width_space_fuzz.cpp LIBS osvo_delay)
