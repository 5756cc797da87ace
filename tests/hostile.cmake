# Hostile files and names through whole runs, and the replay of the fuzz corpus.
set(QUILM_HOSTILE_HELPERS HostileFiles.h HostileFiles.cpp TestImages.h TestImages.cpp
    Invariant.h Invariant.cpp SortRunner.h SortRunner.cpp)

quilm_add_test(tst_hostilefiles SOURCES tst_hostilefiles.cpp ${QUILM_HOSTILE_HELPERS} TIMEOUT 60)
quilm_add_test(tst_hostilenames SOURCES tst_hostilenames.cpp ${QUILM_HOSTILE_HELPERS} TIMEOUT 60)
quilm_add_test(tst_fuzzreplay SOURCES fuzz/tst_fuzzreplay.cpp fuzz/fuzz_exif.cpp
    fuzz/LibraryFeedback.h fuzz/LibraryFeedback.cpp TIMEOUT 60)

# Writes the seed corpus of the fuzzer (tests/fuzz/corpus) from the images the
# tests make; built on demand only.
add_executable(quilm_fuzz_seeds EXCLUDE_FROM_ALL fuzz/make_seeds.cpp HostileFiles.h
    HostileFiles.cpp TestImages.h TestImages.cpp)
target_link_libraries(quilm_fuzz_seeds PRIVATE quilm_core)
target_include_directories(quilm_fuzz_seeds PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})

# The libFuzzer target, for a clang build that scripts/fuzz.sh configures.
option(QUILM_FUZZ "Build the libFuzzer target quilm_fuzz_exif (clang only)" OFF)
if(QUILM_FUZZ)
    add_executable(quilm_fuzz_exif EXCLUDE_FROM_ALL fuzz/fuzz_exif.cpp
        fuzz/LibraryFeedback.h fuzz/LibraryFeedback.cpp)
    target_compile_definitions(quilm_fuzz_exif PRIVATE QUILM_FUZZ)
    target_link_libraries(quilm_fuzz_exif PRIVATE quilm_core)
    target_link_options(quilm_fuzz_exif PRIVATE -fsanitize=fuzzer)
endif()
