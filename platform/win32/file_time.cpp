#include "platform/win32/file_time.h"

#include <sys/stat.h>
#include <sys/time.h>

#include "platform/win32/files.h"

namespace win32 {

std::optional<std::int64_t> GetFileLastWriteTime(std::string_view path) {
    struct stat status {};
    if (::stat(ToHostPath(path).c_str(), &status) != 0) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(status.st_mtime);
}

bool SetFileLastWriteTime(std::string_view path, std::int64_t secondsSince1970) {
    const timeval times[2] = {{static_cast<time_t>(secondsSince1970), 0},
                              {static_cast<time_t>(secondsSince1970), 0}};
    return ::utimes(ToHostPath(path).c_str(), times) == 0;
}

}  // namespace win32
