#include "FileReplace.h"

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

bool FileReplace::syncToDisk(std::FILE* file) {
    return ::fsync(::fileno(file)) == 0;
}

bool FileReplace::renameOver(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

void FileReplace::copyPermissions(const std::string& from, const std::string& to) {
    struct stat status;
    if (::stat(from.c_str(), &status) == 0) {
        ::chmod(to.c_str(), status.st_mode & 07777);
    }
}
