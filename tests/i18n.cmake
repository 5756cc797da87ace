# Shipped translations: complete, current with the sources (the refresh script
# runs on copies), compiled, faithful to keywords, placeholders and markup, and
# fitting the fixed-size windows.
quilm_add_test(tst_i18n TIMEOUT 120)
add_dependencies(tst_i18n quilm_translations quilm_images)
target_compile_definitions(tst_i18n PRIVATE QUILM_LUPDATE="$<TARGET_FILE:Qt5::lupdate>")
