# Main window, settings, naming rule dialog, boxes, pictures and installation.

# The installed tree in a temporary prefix, and the launcher with a temporary home.
add_test(NAME tst_install COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install_test.sh ${PROJECT_BINARY_DIR})
set_tests_properties(tst_install PROPERTIES TIMEOUT 60)
