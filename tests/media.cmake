# Dates from videos, CR3 files, file names and date texts, and the replay of
# their fuzz corpora.
set(QUILM_MEDIA_FILES MediaFiles.h MediaFiles.cpp HostileFiles.h HostileFiles.cpp
    TestImages.h TestImages.cpp)

quilm_add_test(tst_mediadate SOURCES tst_mediadate.cpp ${QUILM_MEDIA_FILES} TIMEOUT 60)
quilm_add_test(tst_datetext TIMEOUT 30)

quilm_add_test(tst_fuzzreplay_video SOURCES fuzz/tst_fuzzreplay.cpp fuzz/fuzz_video.cpp TIMEOUT 60)
target_compile_definitions(tst_fuzzreplay_video PRIVATE
    QUILM_FUZZ_CORPUS="corpus-video" QUILM_FUZZ_CRASHES="crashes-video" QUILM_FUZZ_MIN_SEEDS=5)
quilm_add_test(tst_fuzzreplay_bmff SOURCES fuzz/tst_fuzzreplay.cpp fuzz/fuzz_bmff.cpp
    fuzz/LibraryFeedback.h fuzz/LibraryFeedback.cpp TIMEOUT 60)
target_compile_definitions(tst_fuzzreplay_bmff PRIVATE
    QUILM_FUZZ_CORPUS="corpus-bmff" QUILM_FUZZ_CRASHES="crashes-bmff" QUILM_FUZZ_MIN_SEEDS=5)

# Writes tests/fuzz/corpus-video and corpus-bmff; built on demand only.
add_executable(quilm_fuzz_media_seeds EXCLUDE_FROM_ALL fuzz/make_media_seeds.cpp
    ${QUILM_MEDIA_FILES})
target_link_libraries(quilm_fuzz_media_seeds PRIVATE quilm_app)
target_include_directories(quilm_fuzz_media_seeds PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})

if(QUILM_FUZZ)
    add_executable(quilm_fuzz_video EXCLUDE_FROM_ALL fuzz/fuzz_video.cpp)
    add_executable(quilm_fuzz_bmff EXCLUDE_FROM_ALL fuzz/fuzz_bmff.cpp
        fuzz/LibraryFeedback.h fuzz/LibraryFeedback.cpp)
    foreach(target quilm_fuzz_video quilm_fuzz_bmff)
        target_compile_definitions(${target} PRIVATE QUILM_FUZZ)
        target_link_libraries(${target} PRIVATE quilm_app)
        target_link_options(${target} PRIVATE -fsanitize=fuzzer)
    endforeach()
endif()
