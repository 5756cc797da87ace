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

# The installed tree in a temporary prefix, and the launcher with a temporary home.
add_test(NAME tst_install COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install_test.sh ${PROJECT_BINARY_DIR})
set_tests_properties(tst_install PROPERTIES TIMEOUT 60)
quilm_ui_test(tst_runsummary TIMEOUT 30)
quilm_ui_test(tst_filetypes TIMEOUT 60)
