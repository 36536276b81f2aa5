osvo_add_fuzzer(option_file option_file_fuzz.cpp LIBS osvo_options)
