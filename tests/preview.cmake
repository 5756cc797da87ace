# The preview before a sort, the question before a sort, and undoing a sort
# from the window. As quilm_ui_test does, which ui.cmake defines only after this
# file is read: the windows find the pictures and translations of the build.
foreach(name tst_preview tst_undodialog)
    quilm_add_test(${name} TIMEOUT 120)
    add_dependencies(${name} quilm_translations quilm_images)
endforeach()
