// A FUSE file system with one empty folder whose statfs does not answer
// while the file named by HANGFS_CONTROL exists, the way a network file
// system hangs when its server is gone. Tests mount it to show that a
// hanging volume never holds up the main thread.
#define FUSE_USE_VERSION 35

#include <fuse3/fuse.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* controlFile = nullptr;

int getAttributes(const char* path, struct stat* attributes, fuse_file_info*)
{
    if (std::strcmp(path, "/") != 0)
        return -ENOENT;
    *attributes = {};
    attributes->st_mode = S_IFDIR | 0755;
    attributes->st_nlink = 2;
    return 0;
}

int readFolder(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*, fuse_readdir_flags)
{
    if (std::strcmp(path, "/") != 0)
        return -ENOENT;
    fill(buffer, ".", nullptr, 0, fuse_fill_dir_flags{});
    fill(buffer, "..", nullptr, 0, fuse_fill_dir_flags{});
    return 0;
}

int fileSystemStatistics(const char*, struct statvfs* figures)
{
    while (access(controlFile, F_OK) == 0)
        usleep(20 * 1000);
    *figures = {};
    figures->f_bsize = 4096;
    figures->f_frsize = 4096;
    figures->f_blocks = 1000;
    figures->f_bfree = 400;
    figures->f_bavail = 300;
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    controlFile = std::getenv("HANGFS_CONTROL");
    if (!controlFile) {
        static const char usage[] = "usage: HANGFS_CONTROL=<file> vistrel_hangfs <mount point> -f -s\n";
        (void)!write(2, usage, sizeof usage - 1);
        return 2;
    }
    fuse_operations operations{};
    operations.getattr = getAttributes;
    operations.readdir = readFolder;
    operations.statfs = fileSystemStatistics;
    return fuse_main(argc, argv, &operations, nullptr);
}
