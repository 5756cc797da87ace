# Hostile files and names through whole runs, and the replay of the fuzz corpus.
quilm_add_test(tst_hostilefiles TIMEOUT 60)
quilm_add_test(tst_hostilenames TIMEOUT 60)
quilm_add_test(tst_fuzzreplay SOURCES fuzz/tst_fuzzreplay.cpp fuzz/fuzz_exif.cpp
    fuzz/LibraryFeedback.h fuzz/LibraryFeedback.cpp TIMEOUT 60)

# Writes the seed corpus of the fuzzer (tests/fuzz/corpus) from the images the
# tests make; built on demand only.
add_executable(quilm_fuzz_seeds EXCLUDE_FROM_ALL fuzz/make_seeds.cpp)
target_link_libraries(quilm_fuzz_seeds PRIVATE quilm_testsupport)

# The libFuzzer target, for a clang build that scripts/fuzz.sh configures.
option(QUILM_FUZZ "Build the libFuzzer target quilm_fuzz_exif (clang only)" OFF)
if(QUILM_FUZZ)
    add_executable(quilm_fuzz_exif EXCLUDE_FROM_ALL fuzz/fuzz_exif.cpp
        fuzz/LibraryFeedback.h fuzz/LibraryFeedback.cpp)
    target_compile_definitions(quilm_fuzz_exif PRIVATE QUILM_FUZZ)
    target_link_libraries(quilm_fuzz_exif PRIVATE quilm_engine)
    target_link_options(quilm_fuzz_exif PRIVATE -fsanitize=fuzzer)
endif()
