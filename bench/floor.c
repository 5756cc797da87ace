/* The least any sorter has to do, as a yardstick for quilm-sort: no dates, no
 * order, no checks. Each file of INPUT has its first 64 KiB read, then goes
 * into OUTPUT/YYYY-MM (month of its mtime) under a temporary name and then
 * under its number, NNN.ext.
 *   quilm_floor [-r] [--copy] [--sync] INPUT OUTPUT
 * -r      also the files of INPUT's subfolders
 * --copy  copy each file whole to its temporary name, fdatasync, rename; the
 *         input stays as it was (no read-back)
 * --sync  fsync each file and its new folder, as a careful mover does
 * A move across file systems copies, then removes the original. */
#define _GNU_SOURCE
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

struct month { char name[16]; int fd; int count; };

static char **files;
static size_t nfiles, capfiles;
static struct month months[2400];
static int nmonths, outfd;
static int copy, durable, recursive;
static char buffer[1 << 20];

static void die(const char *what, const char *path)
{
    fprintf(stderr, "quilm_floor: %s %s: %s\n", what, path, strerror(errno));
    exit(1);
}

static void list(const char *dir)
{
    DIR *d = opendir(dir);
    if (!d)
        die("cannot list", dir);
    struct dirent *e;
    while ((errno = 0, e = readdir(d))) {
        if (e->d_name[0] == '.' && (!e->d_name[1] || (e->d_name[1] == '.' && !e->d_name[2])))
            continue;
        char *path = malloc(strlen(dir) + strlen(e->d_name) + 2);
        if (!path)
            die("out of memory at", dir);
        sprintf(path, "%s/%s", dir, e->d_name);
        unsigned char type = e->d_type;
        struct stat st;
        if (type == DT_UNKNOWN) {
            if (lstat(path, &st) != 0)
                die("cannot stat", path);
            type = S_ISREG(st.st_mode) ? DT_REG : S_ISDIR(st.st_mode) ? DT_DIR : DT_UNKNOWN;
        }
        if (type == DT_DIR && recursive) {
            list(path);
        } else if (type == DT_REG) {
            if (nfiles == capfiles) {
                capfiles = capfiles ? capfiles * 2 : 1024;
                files = realloc(files, capfiles * sizeof *files);
                if (!files)
                    die("out of memory at", dir);
            }
            files[nfiles++] = path;
            continue;
        }
        free(path);
    }
    if (errno)
        die("cannot list", dir);
    closedir(d);
}

static struct month *month_of(time_t when)
{
    char name[16];
    struct tm tm;
    localtime_r(&when, &tm);
    strftime(name, sizeof name, "%Y-%m", &tm);
    for (int i = 0; i < nmonths; ++i)
        if (!strcmp(months[i].name, name))
            return &months[i];
    if (nmonths == (int)(sizeof months / sizeof *months)) {
        errno = EOVERFLOW;
        die("too many months in", name);
    }
    struct month *m = &months[nmonths++];
    strcpy(m->name, name);
    if (mkdirat(outfd, name, 0755) != 0 && errno != EEXIST)
        die("cannot make", name);
    if ((m->fd = openat(outfd, name, O_RDONLY | O_DIRECTORY)) < 0)
        die("cannot open", name);
    return m;
}

/* Copies in to name, starting with the `done` bytes already in the buffer. */
static void copy_to(int in, ssize_t done, int dirfd, const char *name, const char *path)
{
    int out = openat(dirfd, name, O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (out < 0)
        die("cannot make a copy of", path);
    ssize_t n = done;
    while (n > 0) {
        for (ssize_t off = 0, w; off < n; off += w)
            if ((w = write(out, buffer + off, n - off)) < 0)
                die("cannot write a copy of", path);
        n = read(in, buffer, sizeof buffer);
    }
    if (n < 0)
        die("cannot read", path);
    if ((durable ? fsync(out) : fdatasync(out)) != 0 || close(out) != 0)
        die("cannot sync a copy of", path);
}

static void place(const char *path, int n)
{
    int in = open(path, O_RDONLY);
    struct stat st;
    if (in < 0 || fstat(in, &st) != 0)
        die("cannot open", path);
    ssize_t got = read(in, buffer, 64 * 1024);
    if (got < 0)
        die("cannot read", path);
    struct month *m = month_of(st.st_mtime);
    char temporary[32], final[300];
    const char *base = strrchr(path, '/') + 1, *dot = strrchr(base, '.');
    snprintf(temporary, sizeof temporary, ".floor-%d.tmp", n);
    snprintf(final, sizeof final, "%03d%s", ++m->count, dot ? dot : "");
    if (copy) {
        copy_to(in, got, m->fd, temporary, path);
    } else if (renameat(AT_FDCWD, path, m->fd, temporary) != 0) {
        if (errno != EXDEV)
            die("cannot move", path);
        copy_to(in, got, m->fd, temporary, path);
        if (unlink(path) != 0)
            die("cannot remove", path);
    } else if (durable && fsync(in) != 0) {
        die("cannot sync", path);
    }
    if (renameat(m->fd, temporary, m->fd, final) != 0)
        die("cannot name", path);
    if (durable && fsync(m->fd) != 0)
        die("cannot sync the folder of", final);
    close(in);
}

int main(int argc, char **argv)
{
    const char *input = NULL, *output = NULL;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "-r"))
            recursive = 1;
        else if (!strcmp(argv[i], "--copy"))
            copy = 1;
        else if (!strcmp(argv[i], "--sync"))
            durable = 1;
        else if (!input)
            input = argv[i];
        else if (!output)
            output = argv[i];
        else
            input = NULL, i = argc;
    }
    if (!input || !output) {
        fprintf(stderr, "usage: quilm_floor [-r] [--copy] [--sync] INPUT OUTPUT\n");
        return 2;
    }
    list(input);
    if (mkdir(output, 0755) != 0 && errno != EEXIST)
        die("cannot make", output);
    if ((outfd = open(output, O_RDONLY | O_DIRECTORY)) < 0)
        die("cannot open", output);
    for (size_t i = 0; i < nfiles; ++i)
        place(files[i], (int)i);
    if (durable && fsync(outfd) != 0)
        die("cannot sync", output);
    printf("%zu files\n", nfiles);
    return 0;
}
