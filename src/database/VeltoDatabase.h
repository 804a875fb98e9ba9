#pragma once

#include "DatabaseRecords.h"
#include "DatabaseTables.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>

class FileStore;

// Everything Velto knows between iTunes and the gain tool: the playlists, tracks
// and albums of the last synchronisation, the analysis values of every audio
// file, and the preference table; kept in the file Velto.db.
//
// Pointers handed out point into the tables and stay valid until the tables
// are emptied (resetForSync, reload) or the database is destroyed; a Playlist
// reference only until the next addPlaylist.
//
// Threads: one worker at a time changes the tables, and every change takes
// the table lock exclusively inside the mutator. Another thread that reads
// (the list painting its rows) holds readLock() for the whole of one read, and
// compares generation() with the one its cached pointers were taken at: every
// change that may move or remove records makes a new generation.
class VeltoDatabase {
public:
    using ReadLock = std::shared_lock<std::shared_mutex>;
    // The store defaults to the platform's file system.
    VeltoDatabase();
    explicit VeltoDatabase(FileStore& store);
    VeltoDatabase(const VeltoDatabase&) = delete;
    VeltoDatabase& operator=(const VeltoDatabase&) = delete;

    // --- The file
    // Remembers the path; true when a file exists there.
    bool setPath(const std::wstring& path);
    const std::wstring& path() const { return databasePath; }
    // Reads the option line into the preference table and keeps the rest of the
    // file for loadRecords. Fatal check when the file cannot be read or has no
    // complete option line.
    void loadPreferences();
    // Reads the records that follow the option line. Fatal check without a
    // preceding loadPreferences.
    void loadRecords();
    // Writes the whole file, replacing the old one only once the new one is
    // complete on the disk. Raises Exception 160 with the path on failure.
    void save();
    // The same with another preference table in place of the current one (the
    // one last read from or written to the file, say).
    void save(const std::map<std::wstring, std::wstring>& preferences);
    // The bytes that save writes.
    std::string serialize() const;

    // --- Synchronisation with iTunes
    void resetForSync();
    void addPlaylist(const OptionalText& name, int trackCount, bool isLibrary, int32_t playlistId);
    void addTrack(int playlistIndex, const OptionalText& location, const OptionalText& name,
                  const OptionalText& artist, const OptionalText& album);
    // Undoes an interrupted synchronisation: the playlists, tracks and albums
    // become those of the stored file again; analysis values measured since it
    // was read are kept. When the file cannot be read again, returns false and
    // keeps the tables, with every file record marked for the next save.
    bool reload();

    // --- Playlists
    int playlistCount() const;
    const Playlist& playlistAt(int index) const;
    void setCurrentPlaylist(int index);
    int currentPlaylist() const { return tables.currentPlaylist; }

    // --- The current playlist's rows (none / 0 without a valid current playlist)
    int currentTrackCount() const;
    const TrackRecord* currentTrackAt(int row) const;
    int currentAlbumCount() const;
    const AlbumRecord* currentAlbumAt(int row) const;

    // --- Tracks and file records
    const TrackRecord* findTrack(int32_t id) const;
    const AlbumRecord* findAlbum(int32_t id) const;
    const AACGainRecord* findAACGainRecord(int32_t id) const;
    const AACGainRecord* aacgainRecordOf(const TrackRecord& track) const;
    const std::wstring* trackFileName(const TrackRecord& track) const;
    static bool isProtected(const AACGainRecord& record);
    // The record of the file with this name, or nullptr.
    const AACGainRecord* findAACGainRecordByFile(const std::wstring& fileName) const;

    // --- Analysis values, by the file name the gain tool printed
    // Fatal check when the database does not know the file.
    void setTrackResult(const std::wstring& fileName, double maxAmplitude, double trackGain);
    // The same where each value may be absent (the tool had none to print).
    void setTrackResult(const std::wstring& fileName, OptionalReal maxAmplitude,
                        OptionalReal trackGain);
    // These ignore a file the database does not know.
    void setAlbumResult(const std::wstring& fileName, double albumMaxAmplitude, double albumGain);
    void setAlbumResult(const std::wstring& fileName, OptionalReal albumMaxAmplitude,
                        OptionalReal albumGain);
    void clearAlbumResult(const std::wstring& fileName);
    // What the last job learned of the file's fitness for the gain tool;
    // ignores a file the database does not know.
    void setFileProblem(const std::wstring& fileName, FileProblem problem);
    // All four values of the track's file become absent; none without a record.
    const AACGainRecord* clearTrackValues(const TrackRecord& track);
    void clearAllValues();

    // --- The preference table (use Preferences). Safe to call from any thread.
    void setPreference(const std::wstring& name, const std::wstring& text);
    void removePreference(const std::wstring& name);
    std::optional<std::wstring> getPreference(const std::wstring& name) const;
    std::map<std::wstring, std::wstring> preferenceTable() const;

    // --- The tables themselves, for the file and for tests
    const DatabaseTables& contents() const { return tables; }

    // --- Readers on a thread other than the one that changes the tables
    ReadLock readLock() const { return ReadLock(tablesLock); }
    std::uint64_t generation() const { return tablesGeneration.load(std::memory_order_acquire); }
    // Counts the changes of stored analysis values and file problems, which
    // keep every pointer valid: a view that shows values polls it to redraw.
    std::uint64_t valuesGeneration() const { return valuesChanges.load(std::memory_order_acquire); }

private:
    using WriteLock = std::unique_lock<std::shared_mutex>;
    WriteLock writeLock() { return WriteLock(tablesLock); }
    // Called with the write lock held.
    void newGeneration() { tablesGeneration.fetch_add(1, std::memory_order_acq_rel); }
    // Called with the write lock held, after a value changed.
    void valuesChanged() { valuesChanges.fetch_add(1, std::memory_order_acq_rel); }
    void emptyForSync();
    const AACGainRecord* clearValuesOf(const TrackRecord& track);
    // Puts the track into its album of the playlist (addTrack's last step).
    void addTrackToAlbum(Playlist& playlist, int32_t trackId, const OptionalText& artist,
                         const OptionalText& album);
    AACGainRecord* writableRecordOfFile(const std::wstring& fileName);
    const Playlist* current() const;
    std::string serializeWith(const std::map<std::wstring, std::wstring>& preferences) const;

    FileStore& store;
    mutable std::shared_mutex tablesLock;
    std::atomic<std::uint64_t> tablesGeneration{0};
    std::atomic<std::uint64_t> valuesChanges{0};
    DatabaseTables tables;
    // The UI thread changes preferences while the job thread reads them.
    mutable std::mutex preferencesLock;
    std::map<std::wstring, std::wstring> preferences;
    std::wstring databasePath;
    // The file's bytes between loadPreferences and loadRecords, and where the
    // records begin in them.
    std::optional<std::string> pendingFile;
    size_t recordsOffset = 0;
};
