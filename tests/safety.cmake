# Proof that no photo is lost: crash recovery and file-system faults. The runs
# happen in a child process, the sort driver, so that they can be killed, made
# to fail by the fault shim (engine.cmake) or started as another user.
add_executable(quilm_sortdriver sortdriver.cpp TestSupport.h TestSupport.cpp)
target_link_libraries(quilm_sortdriver PRIVATE quilm_core Qt5::Test)
target_include_directories(quilm_sortdriver PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})

set(QUILM_SAFETY_HELPERS Invariant.h Invariant.cpp SortDriver.h SortDriver.cpp
    SortRunner.h SortRunner.cpp TestImages.h TestImages.cpp)

function(quilm_add_safety_test name)
    quilm_add_test(${name} SOURCES ${name}.cpp ${QUILM_SAFETY_HELPERS} ${ARGN})
    target_compile_definitions(${name} PRIVATE
        QUILM_SORTDRIVER="$<TARGET_FILE:quilm_sortdriver>"
        QUILM_FAULTSHIM="$<TARGET_FILE:quilm_faultshim>")
    add_dependencies(${name} quilm_sortdriver quilm_faultshim)
endfunction()

quilm_add_safety_test(tst_crashrecovery TIMEOUT 120)
quilm_add_safety_test(tst_fsfaults TIMEOUT 120)
