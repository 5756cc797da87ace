# The program on the desktop: high-density screens, the keyboard, the Debian
# package; and the format of the sources.

# The fixed-size windows at each scaling, as the toolkit is told of it: by
# QT_FONT_DPI, standing for the Xft.dpi of a desktop at 100, 125, 150 or 200 %
# (the offscreen platform would otherwise claim 100 dpi), or by QT_SCALE_FACTOR.
quilm_add_test(tst_highdpi TIMEOUT 60)
add_dependencies(tst_highdpi quilm_translations quilm_images)
set_tests_properties(tst_highdpi PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_FONT_DPI=96;QUILM_EXPECTED_RATIO=1")
foreach(setting "dpi_120|1.25|QT_FONT_DPI=120" "dpi_144|1.5|QT_FONT_DPI=144"
        "dpi_192|2|QT_FONT_DPI=192" "scale_1.5|1.5|QT_FONT_DPI=96;QT_SCALE_FACTOR=1.5"
        "scale_2|2|QT_FONT_DPI=96;QT_SCALE_FACTOR=2")
    string(REPLACE "|" ";" setting "${setting}")
    list(GET setting 0 suffix)
    list(GET setting 1 ratio)
    list(SUBLIST setting 2 -1 variables)
    add_test(NAME tst_highdpi_${suffix} COMMAND tst_highdpi)
    set_tests_properties(tst_highdpi_${suffix} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QUILM_EXPECTED_RATIO=${ratio};${variables}"
        TIMEOUT 60)
endforeach()

quilm_add_test(tst_keyboard TIMEOUT 60)
add_dependencies(tst_keyboard quilm_translations quilm_images)

# The Debian package, built by cpack into a temporary folder and checked there.
add_test(NAME tst_package COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/package_test.sh ${PROJECT_BINARY_DIR})
set_tests_properties(tst_package PROPERTIES TIMEOUT 300 SKIP_RETURN_CODE 77)

add_custom_target(quilm_format_check
    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/format-check.sh
    COMMENT "Checking the sources against .clang-format"
    VERBATIM)
add_test(NAME tst_format COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/format-check.sh)
set_tests_properties(tst_format PROPERTIES TIMEOUT 120 SKIP_RETURN_CODE 77)
