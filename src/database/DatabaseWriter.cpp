#include "DatabaseWriter.h"

#include "FieldCodec.h"

#include <vector>

using FieldCodec::appendInteger;
using FieldCodec::appendReal;
using FieldCodec::appendText;

namespace {

// The count, then every element, each followed by a TAB.
void appendIntegerList(std::string& out, const std::vector<int32_t>& values) {
    appendInteger(out, static_cast<int32_t>(values.size()));
    out += '\t';
    for (int32_t value : values) {
        appendInteger(out, value);
        out += '\t';
    }
}

void appendOptionLine(std::string& out, const std::map<std::wstring, std::wstring>& preferences) {
    for (const auto& [name, text] : preferences) {
        out += 'O';
        appendText(out, std::wstring_view(name));
        out += '\t';
        appendText(out, std::wstring_view(text));
        out += '\t';
    }
    out += "\r\n";
}

void appendRecord(std::string& out, const AACGainRecord& record) {
    out += 'G';
    appendInteger(out, record.id);
    out += '\t';
    appendText(out, std::wstring_view(record.path));
    out += '\t';
    appendReal(out, record.maxAmplitude);
    out += '\t';
    appendReal(out, record.trackGain);
    out += '\t';
    appendReal(out, record.albumMaxAmplitude);
    out += '\t';
    appendReal(out, record.albumGain);
    out += '\r';
}

void appendRecord(std::string& out, const AlbumRecord& album) {
    out += 'A';
    appendInteger(out, album.id);
    out += '\t';
    appendIntegerList(out, album.trackIds);
    out += '\r';
}

void appendRecord(std::string& out, const TrackRecord& track) {
    out += 'T';
    appendInteger(out, track.id);
    out += '\t';
    appendInteger(out, track.aacgainId);
    out += '\t';
    appendText(out, track.name);
    out += '\t';
    appendText(out, track.album);
    out += '\t';
    appendText(out, track.artist);
    out += '\r';
}

void appendRecord(std::string& out, const Playlist& playlist) {
    out += 'P';
    appendInteger(out, playlist.isLibrary);
    out += '\t';
    appendText(out, playlist.name);
    out += '\t';
    appendIntegerList(out, playlist.trackIds);
    appendIntegerList(out, playlist.albumIds);
    appendInteger(out, static_cast<int32_t>(playlist.albumKeys.size()));
    for (const auto& [key, albumId] : playlist.albumKeys) {
        out += '\t';
        appendText(out, key.artist);
        out += '\t';
        appendText(out, key.album);
        out += '\t';
        appendInteger(out, albumId);
    }
    out += '\r';
}

} // namespace

std::string DatabaseWriter::write(const std::map<std::wstring, std::wstring>& preferences,
                                  const DatabaseTables& tables) {
    std::string out;
    out.reserve(64 * (tables.aacgainRecords.size() + tables.tracks.size()) +
                16 * tables.albums.size() + 256);
    appendOptionLine(out, preferences);
    for (const auto& [id, record] : tables.aacgainRecords) {
        if (!record.orphaned) {
            appendRecord(out, record);
        }
    }
    for (const auto& [id, album] : tables.albums) {
        appendRecord(out, album);
    }
    for (const auto& [id, track] : tables.tracks) {
        appendRecord(out, track);
    }
    for (const Playlist& playlist : tables.playlists) {
        appendRecord(out, playlist);
    }
    return out;
}
