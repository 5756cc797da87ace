# Engine tests: naming, the file-system guard and its safe move, capture dates,
# whole sort runs, the command.
quilm_add_test(tst_naming TIMEOUT 30)
quilm_add_test(tst_fhio TIMEOUT 60)
quilm_add_test(tst_exif TIMEOUT 60)
quilm_add_test(tst_sortrun TIMEOUT 120)
quilm_add_test(tst_sortlogfailure TIMEOUT 60)

quilm_add_test(tst_safemove TIMEOUT 120)
set_tests_properties(tst_safemove PROPERTIES ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;LD_PRELOAD=$<TARGET_FILE:quilm_faultshim>")
quilm_add_test(tst_groups TIMEOUT 60)
quilm_add_test(tst_cameraformats TIMEOUT 120)
