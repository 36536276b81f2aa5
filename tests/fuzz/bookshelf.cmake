# The benchmark input path: the .aux list reader, and placement files through
# the conversion to a flat design.
osvo_add_fuzzer(bookshelf_aux bookshelf_aux_fuzz.cpp LIBS osvo_bookshelf)
osvo_add_fuzzer(bookshelf_design bookshelf_design_fuzz.cpp LIBS osvo_bookshelf)
