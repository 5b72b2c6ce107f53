# The fuzz targets, named once for both builds of them: the native tests replay each target's
# seeds (fuzz/corpus/<name>/) through fuzz/replay_main.cpp, and the fuzz tree (`make fuzz`)
# links each as fuzz_<name> with libFuzzer. Each is fuzz/<name>_fuzzer.cpp over the core
# library, with an optional dictionary fuzz/<name>.dict.
set(FUZZ_TARGETS summary_reader option_scanner path_rules)

# Longest input libFuzzer makes per target (2048 bytes unless set): past the 2047-character
# summary line and the 16383-character command-line argument.
set(FUZZ_MAX_LEN_summary_reader 8192)
set(FUZZ_MAX_LEN_option_scanner 20000)
