# The whole start-up: splash, version check, main window, event loop.
quilm_add_test(tst_startup TIMEOUT 90)
add_dependencies(tst_startup quilm)
