osvo_add_fuzzer(ipc_file ipc_file_fuzz.cpp LIBS osvo_floorplan)
