# The dry run against the real run over many random trees, and the command as a
# process: exit codes, JSON events, the lock on the output folder.
quilm_add_test(tst_dryrun TIMEOUT 120)
quilm_add_test(tst_command TIMEOUT 120)
