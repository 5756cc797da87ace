# Version check and splash screen. The bounded-wait cases wait out the 5 s
# timeout three times.
quilm_add_test(tst_checkversion TIMEOUT 90)
quilm_add_test(tst_checkversionlog TIMEOUT 60)
quilm_add_test(tst_splashscreen TIMEOUT 60)
