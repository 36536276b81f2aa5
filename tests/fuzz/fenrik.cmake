# The fixed-outline floorplanner's three benchmark-file readers.
osvo_add_fuzzer(fenrik_blocks fenrik_blocks_fuzz.cpp LIBS osvo_fenrik)
osvo_add_fuzzer(fenrik_nets fenrik_nets_fuzz.cpp LIBS osvo_fenrik)
osvo_add_fuzzer(fenrik_pl fenrik_pl_fuzz.cpp LIBS osvo_fenrik)
