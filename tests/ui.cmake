# Main window, settings, naming rule dialog, boxes, animation panel, pictures
# and installation.

# Tests that open the main window find the pictures and translations of the build.
function(quilm_ui_test name)
    quilm_add_test(${name} ${ARGN})
    add_dependencies(${name} quilm_translations quilm_images)
endfunction()

quilm_ui_test(tst_ruledialog TIMEOUT 30)
quilm_ui_test(tst_animationpanel TIMEOUT 30)
quilm_ui_test(tst_settings TIMEOUT 60)
quilm_ui_test(tst_mainwindow TIMEOUT 90)
add_dependencies(tst_mainwindow test_translations)
target_compile_definitions(tst_mainwindow PRIVATE TEST_QM_DIR="${CMAKE_CURRENT_BINARY_DIR}/data")
quilm_ui_test(tst_mainwindow_run TIMEOUT 120)
# Runs that fail part way, through the fault shim.
set_tests_properties(tst_mainwindow_run PROPERTIES ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;LD_PRELOAD=$<TARGET_FILE:quilm_faultshim>")
# The window destroyed under the program needs a real X server: one of its own.
find_program(QUILM_XVFB_RUN xvfb-run)
if(QUILM_XVFB_RUN)
    add_test(NAME tst_mainwindow_run_x11 COMMAND ${QUILM_XVFB_RUN} -a -s "-screen 0 1280x1024x24"
        $<TARGET_FILE:tst_mainwindow_run> windowDestroyed)
    set_tests_properties(tst_mainwindow_run_x11 PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=xcb" TIMEOUT 60)
endif()

# The installed tree in a temporary prefix, and the launcher with a temporary home.
add_test(NAME tst_install COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install_test.sh ${PROJECT_BINARY_DIR})
set_tests_properties(tst_install PROPERTIES TIMEOUT 60)
quilm_ui_test(tst_runsummary TIMEOUT 30)
quilm_ui_test(tst_filetypes TIMEOUT 60)
