# Proof that no photo is lost: crash recovery and file-system faults. The runs
# happen in a child process, the sort driver, so that they can be killed, made
# to fail by the fault shim or started as another user.
quilm_add_test(tst_crashrecovery TIMEOUT 120)
quilm_add_test(tst_fsfaults TIMEOUT 120)
