osvo_add_fuzzer(library library_fuzz.cpp LIBS osvo_flatten)
