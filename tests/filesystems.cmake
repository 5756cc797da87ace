# Real file systems, made in image files and mounted in a mount namespace of
# the test's own: exFAT, NTFS and FAT32 through their FUSE drivers, ext4, btrfs
# and xfs through loop devices. What root, the tools or the kernel cannot give
# is skipped. QUILM_FS_KILLS=N kills each random run N times instead of 3.
quilm_add_test(tst_filesystems SOURCES tst_filesystems.cpp ShotFiles.h ShotFiles.cpp
    MediaFiles.h MediaFiles.cpp TIMEOUT 240)
# The files of one shot under faults, through the sort driver and the fault shim.
quilm_add_test(tst_groupfaults SOURCES tst_groupfaults.cpp ShotFiles.h ShotFiles.cpp
    MediaFiles.h MediaFiles.cpp TIMEOUT 180)
