# Undo: every way a sort ends, then the undo, checked against the trees before
# the run; and quilm-sort --undo and --runs as a process.
quilm_add_test(tst_undo TIMEOUT 120)
quilm_add_test(tst_undocommand TIMEOUT 120)
