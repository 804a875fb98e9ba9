#include "DatabaseReader.h"

#include "FieldCodec.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

namespace {

// Raises a counter so that the next new record gets an id above this one. An
// id at the top of the int32 range leaves the counter there instead of
// overflowing it.
void raiseCounter(int32_t& counter, int32_t loadedId) {
    int64_t next = int64_t(loadedId) + 1;
    next = std::min<int64_t>(next, std::numeric_limits<int32_t>::max());
    counter = std::max<int32_t>(counter, static_cast<int32_t>(next));
}

} // namespace

DatabaseReader::DatabaseReader(std::string_view bytes, size_t position)
    : bytes(bytes), pos(std::min(position, bytes.size())) {}

char DatabaseReader::readChar() {
    char c = bytes[pos++];
    if (c == '\r' && pos < bytes.size() && bytes[pos] == '\n') {
        ++pos;
        return '\n';
    }
    return c;
}

std::string_view DatabaseReader::readField() {
    if (recordEnded) {
        return {};
    }
    // Fast path: the field lies in the bytes as it is, up to a TAB or a CR
    // that is not part of a CR LF.
    size_t start = pos;
    size_t i = pos;
    while (i < bytes.size() && bytes[i] != '\t' && bytes[i] != '\r') {
        ++i;
    }
    bool translated = i + 1 < bytes.size() && bytes[i] == '\r' && bytes[i + 1] == '\n';
    if (!translated) {
        pos = i < bytes.size() ? i + 1 : i;
        recordEnded = i >= bytes.size() || bytes[i] == '\r';
        return bytes.substr(start, i - start);
    }
    // Slow path: CR LF pairs inside the field read as LF.
    field.assign(bytes.data() + start, i - start);
    pos = i;
    while (pos < bytes.size()) {
        char c = readChar();
        if (c == '\t') {
            return field;
        }
        if (c == '\r') {
            recordEnded = true;
            return field;
        }
        field += c;
    }
    recordEnded = true;
    return field;
}

size_t DatabaseReader::fieldsLeftInRecord() const {
    size_t end = bytes.find('\r', pos);
    std::string_view rest = bytes.substr(pos, end == std::string_view::npos ? end : end - pos);
    return size_t(std::count(rest.begin(), rest.end(), '\t')) + 1;
}

int32_t DatabaseReader::readInteger() {
    return FieldCodec::parseInteger(readField());
}

OptionalText DatabaseReader::readText() {
    return FieldCodec::decodeText(readField());
}

OptionalReal DatabaseReader::readReal() {
    return FieldCodec::parseReal(readField());
}

std::vector<int32_t> DatabaseReader::readIntegerList() {
    int32_t count = readInteger();
    std::vector<int32_t> values;
    if (count <= 0) {
        return values;
    }
    // A count larger than the rest of the record is not believed: the list
    // ends with its record, and room is reserved only for the fields that the
    // record still has (a damaged file may hold many records with huge counts).
    values.reserve(std::min(size_t(count), fieldsLeftInRecord()));
    for (int32_t i = 0; i < count && !recordEnded; ++i) {
        std::string_view element = readField();
        if (element.empty() && recordEnded) {
            break;
        }
        values.push_back(FieldCodec::parseInteger(element));
    }
    return values;
}

bool DatabaseReader::readOptionLine(std::map<std::wstring, std::wstring>* preferences) {
    while (!atEnd()) {
        char c = readChar();
        if (c == '\n') {
            return true;
        }
        if (c != 'O') {
            continue;
        }
        beginRecord();
        OptionalText name = readText();
        OptionalText text = readText();
        if (preferences && name) {
            preferences->emplace(std::move(*name), text.value_or(std::wstring()));
        }
    }
    return false;
}

void DatabaseReader::readRecords(DatabaseTables& tables) {
    while (!atEnd()) {
        beginRecord();
        switch (readChar()) {
        case 'G':
            readAACGainRecord(tables);
            break;
        case 'A':
            readAlbumRecord(tables);
            break;
        case 'T':
            readTrackRecord(tables);
            break;
        case 'P':
            readPlaylist(tables);
            break;
        default: // the CR after an album's list, or a stray character
            break;
        }
    }
}

void DatabaseReader::readAACGainRecord(DatabaseTables& tables) {
    AACGainRecord record;
    record.id = readInteger();
    OptionalText path = readText();
    record.maxAmplitude = readReal();
    record.trackGain = readReal();
    record.albumMaxAmplitude = readReal();
    record.albumGain = readReal();
    // A record without a file name belongs to no file and could never be found.
    if (!path) {
        return;
    }
    record.path = std::move(*path);
    raiseCounter(tables.nextAACGainRecordId, record.id);
    auto [entry, inserted] = tables.aacgainRecords.try_emplace(record.id, std::move(record));
    if (inserted) {
        tables.fileIndex.try_emplace(entry->second.path, entry->first);
    }
}

void DatabaseReader::readAlbumRecord(DatabaseTables& tables) {
    AlbumRecord album;
    album.id = readInteger();
    album.trackIds = readIntegerList();
    raiseCounter(tables.nextAlbumId, album.id);
    tables.albums.try_emplace(album.id, std::move(album));
}

void DatabaseReader::readTrackRecord(DatabaseTables& tables) {
    TrackRecord track;
    track.id = readInteger();
    track.aacgainId = readInteger();
    track.name = readText();
    track.album = readText();
    track.artist = readText();
    raiseCounter(tables.nextTrackId, track.id);
    tables.tracks.try_emplace(track.id, std::move(track));
}

void DatabaseReader::readPlaylist(DatabaseTables& tables) {
    Playlist playlist;
    playlist.playlistId = -1;
    playlist.isLibrary = readInteger();
    playlist.name = readText();
    playlist.trackIds = readIntegerList();
    playlist.albumIds = readIntegerList();
    int32_t keyCount = readInteger();
    for (int32_t i = 0; i < keyCount && !recordEnded; ++i) {
        AlbumKey key;
        key.artist = readText();
        key.album = readText();
        int32_t albumId = readInteger();
        playlist.albumKeys.try_emplace(std::move(key), albumId);
    }
    if (playlist.isLibrary == 1) {
        tables.currentPlaylist = static_cast<int32_t>(tables.playlists.size());
    }
    tables.playlists.push_back(std::move(playlist));
}
