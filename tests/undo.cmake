# Undo: every way a sort ends, then the undo, checked by the trees before and
# after; and the command's --undo and --runs as a process.
quilm_add_test(tst_undo TIMEOUT 300)
