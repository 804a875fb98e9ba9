#include "DatabaseRecords.h"

#include <string_view>

namespace {

std::wstring_view textOrEmpty(const OptionalText& text) {
    return text ? std::wstring_view(*text) : std::wstring_view();
}

} // namespace

bool AlbumKey::operator<(const AlbumKey& other) const {
    int byArtist = textOrEmpty(artist).compare(textOrEmpty(other.artist));
    if (byArtist != 0) {
        return byArtist < 0;
    }
    return textOrEmpty(album) < textOrEmpty(other.album);
}
