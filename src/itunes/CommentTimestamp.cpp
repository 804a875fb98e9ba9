#include "CommentTimestamp.h"

std::wstring timestampPrefix(const std::wstring& programName) {
    return L"<" + programName + L" ";
}

std::wstring mergeTimestamp(const std::wstring& comment, const std::wstring& prefix,
                            const std::wstring& timestamp) {
    size_t start = comment.find(prefix);
    size_t end = start == std::wstring::npos ? start : comment.find(L'>', start + 1);
    if (end == std::wstring::npos) {
        return comment.empty() ? timestamp : comment + L" " + timestamp;
    }
    return comment.substr(0, start) + timestamp + comment.substr(end + 1);
}
