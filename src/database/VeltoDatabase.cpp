#include "VeltoDatabase.h"

#include "DatabaseReader.h"
#include "DatabaseWriter.h"
#include "Exception.h"
#include "PlatformFileStore.h"

#include <cwctype>
#include <limits>
#include <utility>

namespace {

const wchar_t* const kSourceFile = L".\\VeltoDatabase";

// The counter's value for a new record; the counter stops at the top of the
// int32 range rather than overflow.
int32_t takeId(int32_t& counter) {
    int32_t id = counter;
    if (counter < std::numeric_limits<int32_t>::max()) {
        ++counter;
    }
    return id;
}

} // namespace

VeltoDatabase::VeltoDatabase() : VeltoDatabase(PlatformFileStore::instance()) {}

VeltoDatabase::VeltoDatabase(FileStore& store) : store(store) {}

// --- The file

bool VeltoDatabase::setPath(const std::wstring& path) {
    databasePath = path;
    return store.exists(path);
}

void VeltoDatabase::loadPreferences() {
    std::optional<std::string> bytes = store.readAll(databasePath);
    if (!bytes) {
        checkResult(-1, kSourceFile, __LINE__);
    }
    std::map<std::wstring, std::wstring> options;
    DatabaseReader reader(*bytes);
    if (!reader.readOptionLine(&options)) {
        checkResult(-1, kSourceFile, __LINE__);
    }
    {
        std::lock_guard lock(preferencesLock);
        preferences.merge(options); // names already in the table keep their text
    }
    recordsOffset = reader.position();
    pendingFile = std::move(bytes);
}

void VeltoDatabase::loadRecords() {
    if (!pendingFile) {
        checkResult(-1, kSourceFile, __LINE__);
    }
    DatabaseReader reader(*pendingFile, recordsOffset);
    {
        WriteLock lock = writeLock();
        reader.readRecords(tables);
        newGeneration();
    }
    pendingFile.reset();
}

std::string VeltoDatabase::serialize() const {
    return serializeWith(preferenceTable());
}

std::string
VeltoDatabase::serializeWith(const std::map<std::wstring, std::wstring>& preferences) const {
    ReadLock lock = readLock();
    return DatabaseWriter::write(preferences, tables);
}

void VeltoDatabase::save() {
    save(preferenceTable());
}

void VeltoDatabase::save(const std::map<std::wstring, std::wstring>& preferences) {
    if (!store.replaceWith(databasePath, serializeWith(preferences))) {
        throw Exception(160, databasePath);
    }
}

// --- Synchronisation

void VeltoDatabase::resetForSync() {
    WriteLock lock = writeLock();
    emptyForSync();
}

void VeltoDatabase::emptyForSync() {
    newGeneration();
    tables.playlists.clear();
    tables.tracks.clear();
    tables.albums.clear();
    for (auto& [id, record] : tables.aacgainRecords) {
        record.orphaned = true;
    }
}

void VeltoDatabase::addPlaylist(const OptionalText& name, int trackCount, bool isLibrary,
                                int32_t playlistId) {
    WriteLock lock = writeLock();
    newGeneration();
    Playlist& playlist = tables.playlists.emplace_back();
    playlist.playlistId = playlistId;
    playlist.isLibrary = isLibrary ? 1 : 0;
    playlist.name = name;
    if (isLibrary) {
        tables.currentPlaylist = static_cast<int32_t>(tables.playlists.size() - 1);
    }
    if (trackCount > 0) {
        playlist.trackIds.reserve(size_t(trackCount));
        playlist.albumIds.reserve(size_t(trackCount));
    }
}

void VeltoDatabase::addTrack(int playlistIndex, const OptionalText& location,
                             const OptionalText& name, const OptionalText& artist,
                             const OptionalText& album) {
    if (playlistIndex < 0 || playlistIndex >= playlistCount()) {
        checkResult(-1, kSourceFile, __LINE__);
    }
    WriteLock lock = writeLock();
    newGeneration();
    int32_t aacgainId = -1;
    if (location) {
        auto [entry, isNewFile] = tables.fileIndex.try_emplace(*location, -1);
        if (isNewFile) {
            AACGainRecord record;
            record.id = takeId(tables.nextAACGainRecordId);
            record.path = *location;
            entry->second = record.id;
            tables.aacgainRecords.try_emplace(record.id, std::move(record));
        } else if (auto known = tables.aacgainRecords.find(entry->second);
                   known != tables.aacgainRecords.end()) {
            known->second.orphaned = false;
        }
        aacgainId = entry->second;
    }

    TrackRecord track;
    track.id = takeId(tables.nextTrackId);
    track.aacgainId = aacgainId;
    track.name = name;
    track.album = album;
    track.artist = artist;
    int32_t trackId = track.id;
    tables.tracks.try_emplace(trackId, std::move(track));

    Playlist& playlist = tables.playlists[size_t(playlistIndex)];
    playlist.trackIds.push_back(trackId);
    addTrackToAlbum(playlist, trackId, artist, album);
}

void VeltoDatabase::addTrackToAlbum(Playlist& playlist, int32_t trackId, const OptionalText& artist,
                                    const OptionalText& album) {
    auto [entry, isNewAlbum] = playlist.albumKeys.try_emplace(AlbumKey{artist, album}, -1);
    if (isNewAlbum) {
        AlbumRecord record;
        record.id = takeId(tables.nextAlbumId);
        entry->second = record.id;
        tables.albums.try_emplace(record.id, std::move(record));
    }
    auto found = tables.albums.find(entry->second);
    if (found == tables.albums.end()) {
        return;
    }
    AlbumRecord& albumRecord = found->second;
    albumRecord.trackIds.push_back(trackId);
    // An album is listed once it has a second track, at the place it got it.
    if (albumRecord.trackIds.size() == 2) {
        playlist.albumIds.push_back(albumRecord.id);
    }
}

bool VeltoDatabase::reload() {
    std::optional<std::string> bytes = store.readAll(databasePath);
    DatabaseReader reader(bytes ? std::string_view(*bytes) : std::string_view());
    WriteLock lock = writeLock();
    newGeneration();
    if (!bytes || !reader.readOptionLine(nullptr)) {
        // Nothing to go back to. Keeping every file record (none orphaned)
        // means the next save loses no analysis value; the half-rebuilt
        // playlists are mended by the next synchronisation.
        for (auto& [id, record] : tables.aacgainRecords) {
            record.orphaned = false;
        }
        return false;
    }

    DatabaseTables fromFile;
    fromFile.currentPlaylist = tables.currentPlaylist;
    fromFile.nextTrackId = tables.nextTrackId;
    fromFile.nextAlbumId = tables.nextAlbumId;
    fromFile.nextAACGainRecordId = tables.nextAACGainRecordId;
    reader.readRecords(fromFile);

    // Values measured since the file was read are newer than the file's (a
    // gain change since then made the file's values wrong), so they stay.
    // Files the stored file does not know stay as orphaned records, which a
    // later synchronisation can revive.
    for (auto& [id, record] : tables.aacgainRecords) {
        auto stored = fromFile.fileIndex.find(record.path);
        if (stored != fromFile.fileIndex.end()) {
            auto storedRecord = fromFile.aacgainRecords.find(stored->second);
            if (storedRecord != fromFile.aacgainRecords.end()) {
                AACGainRecord& target = storedRecord->second;
                target.maxAmplitude = record.maxAmplitude;
                target.trackGain = record.trackGain;
                target.albumMaxAmplitude = record.albumMaxAmplitude;
                target.albumGain = record.albumGain;
                target.problem = record.problem;
            }
            continue;
        }
        record.orphaned = true;
        if (fromFile.aacgainRecords.try_emplace(id, record).second) {
            fromFile.fileIndex.try_emplace(record.path, id);
        }
    }
    tables = std::move(fromFile);
    return true;
}

// --- Playlists

int VeltoDatabase::playlistCount() const {
    return static_cast<int>(tables.playlists.size());
}

const Playlist& VeltoDatabase::playlistAt(int index) const {
    if (index < 0 || index >= playlistCount()) {
        checkResult(-1, kSourceFile, __LINE__);
    }
    return tables.playlists[size_t(index)];
}

void VeltoDatabase::setCurrentPlaylist(int index) {
    WriteLock lock = writeLock();
    newGeneration();
    tables.currentPlaylist = index;
}

const Playlist* VeltoDatabase::current() const {
    if (tables.currentPlaylist < 0 || tables.currentPlaylist >= playlistCount()) {
        return nullptr;
    }
    return &tables.playlists[size_t(tables.currentPlaylist)];
}

int VeltoDatabase::currentTrackCount() const {
    const Playlist* playlist = current();
    return playlist ? static_cast<int>(playlist->trackIds.size()) : 0;
}

const TrackRecord* VeltoDatabase::currentTrackAt(int row) const {
    const Playlist* playlist = current();
    if (!playlist || row < 0 || size_t(row) >= playlist->trackIds.size()) {
        return nullptr;
    }
    return findTrack(playlist->trackIds[size_t(row)]);
}

int VeltoDatabase::currentAlbumCount() const {
    const Playlist* playlist = current();
    return playlist ? static_cast<int>(playlist->albumIds.size()) : 0;
}

const AlbumRecord* VeltoDatabase::currentAlbumAt(int row) const {
    const Playlist* playlist = current();
    if (!playlist || row < 0 || size_t(row) >= playlist->albumIds.size()) {
        return nullptr;
    }
    return findAlbum(playlist->albumIds[size_t(row)]);
}

// --- Tracks and file records

const TrackRecord* VeltoDatabase::findTrack(int32_t id) const {
    auto found = tables.tracks.find(id);
    return found == tables.tracks.end() ? nullptr : &found->second;
}

const AlbumRecord* VeltoDatabase::findAlbum(int32_t id) const {
    auto found = tables.albums.find(id);
    return found == tables.albums.end() ? nullptr : &found->second;
}

const AACGainRecord* VeltoDatabase::findAACGainRecord(int32_t id) const {
    auto found = tables.aacgainRecords.find(id);
    return found == tables.aacgainRecords.end() ? nullptr : &found->second;
}

const AACGainRecord* VeltoDatabase::aacgainRecordOf(const TrackRecord& track) const {
    return track.aacgainId < 0 ? nullptr : findAACGainRecord(track.aacgainId);
}

const std::wstring* VeltoDatabase::trackFileName(const TrackRecord& track) const {
    const AACGainRecord* record = aacgainRecordOf(track);
    return record ? &record->path : nullptr;
}

bool VeltoDatabase::isProtected(const AACGainRecord& record) {
    static constexpr wchar_t kProtectedExtension[] = L".m4p";
    const std::wstring& path = record.path;
    if (path.size() <= 4) {
        return false;
    }
    for (size_t i = 0; i < 4; ++i) {
        wchar_t c = path[path.size() - 4 + i];
        if (std::towlower(static_cast<std::wint_t>(c)) != std::wint_t(kProtectedExtension[i])) {
            return false;
        }
    }
    return true;
}

// --- Analysis values

const AACGainRecord* VeltoDatabase::findAACGainRecordByFile(const std::wstring& fileName) const {
    auto entry = tables.fileIndex.find(fileName);
    if (entry == tables.fileIndex.end()) {
        return nullptr;
    }
    auto found = tables.aacgainRecords.find(entry->second);
    return found == tables.aacgainRecords.end() ? nullptr : &found->second;
}

AACGainRecord* VeltoDatabase::writableRecordOfFile(const std::wstring& fileName) {
    const VeltoDatabase& self = *this;
    return const_cast<AACGainRecord*>(self.findAACGainRecordByFile(fileName));
}

void VeltoDatabase::setTrackResult(const std::wstring& fileName, double maxAmplitude,
                                   double trackGain) {
    setTrackResult(fileName, OptionalReal::of(maxAmplitude), OptionalReal::of(trackGain));
}

void VeltoDatabase::setTrackResult(const std::wstring& fileName, OptionalReal maxAmplitude,
                                   OptionalReal trackGain) {
    WriteLock lock = writeLock();
    AACGainRecord* record = writableRecordOfFile(fileName);
    if (!record) {
        lock.unlock();
        checkResult(-1, kSourceFile, __LINE__);
        return;
    }
    record->maxAmplitude = maxAmplitude;
    record->trackGain = trackGain;
    valuesChanged();
}

void VeltoDatabase::setAlbumResult(const std::wstring& fileName, double albumMaxAmplitude,
                                   double albumGain) {
    setAlbumResult(fileName, OptionalReal::of(albumMaxAmplitude), OptionalReal::of(albumGain));
}

void VeltoDatabase::setAlbumResult(const std::wstring& fileName, OptionalReal albumMaxAmplitude,
                                   OptionalReal albumGain) {
    WriteLock lock = writeLock();
    if (AACGainRecord* record = writableRecordOfFile(fileName)) {
        record->albumMaxAmplitude = albumMaxAmplitude;
        record->albumGain = albumGain;
        valuesChanged();
    }
}

void VeltoDatabase::setFileProblem(const std::wstring& fileName, FileProblem problem) {
    WriteLock lock = writeLock();
    if (AACGainRecord* record = writableRecordOfFile(fileName)) {
        record->problem = problem;
        valuesChanged();
    }
}

void VeltoDatabase::clearAlbumResult(const std::wstring& fileName) {
    WriteLock lock = writeLock();
    if (AACGainRecord* record = writableRecordOfFile(fileName)) {
        record->albumMaxAmplitude = OptionalReal::absent();
        record->albumGain = OptionalReal::absent();
        valuesChanged();
    }
}

namespace {

void markAllAbsent(AACGainRecord& record) {
    record.maxAmplitude.markAbsent();
    record.trackGain.markAbsent();
    record.albumMaxAmplitude.markAbsent();
    record.albumGain.markAbsent();
}

} // namespace

const AACGainRecord* VeltoDatabase::clearTrackValues(const TrackRecord& track) {
    WriteLock lock = writeLock();
    return clearValuesOf(track);
}

const AACGainRecord* VeltoDatabase::clearValuesOf(const TrackRecord& track) {
    if (track.aacgainId < 0) {
        return nullptr;
    }
    auto found = tables.aacgainRecords.find(track.aacgainId);
    if (found == tables.aacgainRecords.end()) {
        return nullptr;
    }
    markAllAbsent(found->second);
    valuesChanged();
    return &found->second;
}

void VeltoDatabase::clearAllValues() {
    WriteLock lock = writeLock();
    for (const auto& [id, track] : tables.tracks) {
        clearValuesOf(track);
    }
}

// --- Preferences

void VeltoDatabase::setPreference(const std::wstring& name, const std::wstring& text) {
    std::lock_guard lock(preferencesLock);
    preferences.insert_or_assign(name, text);
}

void VeltoDatabase::removePreference(const std::wstring& name) {
    std::lock_guard lock(preferencesLock);
    preferences.erase(name);
}

std::optional<std::wstring> VeltoDatabase::getPreference(const std::wstring& name) const {
    std::lock_guard lock(preferencesLock);
    auto found = preferences.find(name);
    if (found == preferences.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::map<std::wstring, std::wstring> VeltoDatabase::preferenceTable() const {
    std::lock_guard lock(preferencesLock);
    return preferences;
}
