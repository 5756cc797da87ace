# Engine tests: naming, the file-system guard and its safe move, capture dates,
# whole sort runs.
set(QUILM_TEST_IMAGES TestImages.h TestImages.cpp)
set(QUILM_SORT_RUNNER SortRunner.h SortRunner.cpp)

quilm_add_test(tst_naming TIMEOUT 30)
quilm_add_test(tst_fhio TIMEOUT 60)
quilm_add_test(tst_exif SOURCES tst_exif.cpp ${QUILM_TEST_IMAGES} TIMEOUT 60)
quilm_add_test(tst_sortrun SOURCES tst_sortrun.cpp ${QUILM_TEST_IMAGES} ${QUILM_SORT_RUNNER} TIMEOUT 120)
quilm_add_test(tst_sortlogfailure SOURCES tst_sortlogfailure.cpp ${QUILM_TEST_IMAGES} ${QUILM_SORT_RUNNER} TIMEOUT 60)

# Makes chosen system calls fail; see faultshim.cpp.
add_library(quilm_faultshim SHARED faultshim.cpp)
target_link_libraries(quilm_faultshim PRIVATE ${CMAKE_DL_LIBS})

quilm_add_test(tst_safemove SOURCES tst_safemove.cpp ${QUILM_TEST_IMAGES} ${QUILM_SORT_RUNNER} TIMEOUT 120)
add_dependencies(tst_safemove quilm_faultshim)
set_tests_properties(tst_safemove PROPERTIES ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;LD_PRELOAD=$<TARGET_FILE:quilm_faultshim>")
