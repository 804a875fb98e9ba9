#pragma once

#include "ComRef_win.h"
#include "CriticalSection_win.h"
#include "DispatchInterface_win.h"
#include "ITunesEventSink_win.h"
#include "ITunesSession.h"
#include "ObjectIDs.h"
#include "PlaylistListener.h"
#include "TrackEnumeration_win.h"

#include <ocidl.h>
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class VeltoDatabase;

// One connection with a running iTunes, made, used and deleted by one thread
// that has entered a single-threaded COM apartment. iTunes' events reach the
// owner window as blocking sends (ITunesMessages.h) while that thread waits in
// a call to iTunes. Every iTunes call is late-bound by member name.
//
// Raises Exception when iTunes is missing or too old, ITunesBusyException when
// iTunes refuses a call; after that the connection is not used again.
class ITunesAPI : public ITunesSession {
public:
    ITunesAPI(HWND owner, bool connectEvents);
    ~ITunesAPI() override;
    ITunesAPI(const ITunesAPI&) = delete;
    ITunesAPI& operator=(const ITunesAPI&) = delete;

    bool checkVersion(int major, int minor);
    // True when iTunes answers S_OK with the object.
    bool getObjectByIDs(const ObjectIDs& ids, ComRef<IDispatch>& object);

    // Reports each playlist of the library with a duration of a second or
    // more, the library playlist flagged; the last reported one is selected.
    void enumeratePlaylists(PlaylistListener& listener) override;
    // An ID that iTunes no longer knows selects no playlist.
    void selectPlaylist(int32_t playlistID) override;
    // The current playlist's tracks; 0 while iTunes refuses calls.
    int trackCount() override;
    // The track at a position (from 0) of the current playlist. Only a file
    // track with a known location has data; otherwise all four are absent.
    void getTrack(int position, std::optional<std::wstring>& name,
                  std::optional<std::wstring>& artist, std::optional<std::wstring>& album,
                  std::optional<std::wstring>& location) override;
    // Tracks met again are known by their database ID (GetITObjectIDs).
    void rememberTracks(bool remember) override;
    // Writes the current timestamp into the iTunes comment of each of these
    // tracks of the database, found in the library by name and exact path.
    void timestampComments(const VeltoDatabase& database,
                           const std::vector<int32_t>& trackIds) override;

    bool comCallsEnabled() const { return sink->comCallsEnabled(); }
    int32_t librarySource() const { return librarySourceID; }
    int32_t libraryPlaylist() const { return libraryPlaylistID; }
    // How many times the calling thread holds the connection's lock.
    int lockHoldCount() const { return lock.holdCount(); }

private:
    void connect();
    void connectEvents();
    void readLibraryPlaylist();
    void reportPlaylist(IDispatch* candidate, PlaylistListener& listener);
    void timestampTrack(IDispatch* library, const std::wstring& name, const std::wstring& path,
                        const std::wstring& prefix, const std::wstring& timestamp);
    bool hasLocation(IDispatch* track, const std::wstring& path);
    struct TrackData {
        std::optional<std::wstring> name, artist, album, location;
    };
    ComRef<IDispatch> trackAt(int position);
    void startTrackOrder();
    TrackData readTrack(IDispatch* track);
    HRESULT readLocation(IDispatch* track, Variant& location);
    int32_t trackDatabaseID(IDispatch* track);

    HWND owner;
    // Declared so that the members go in the order of the teardown: the
    // subscription, the sink, tracks, playlist, the application, the lock.
    CriticalSection lock;
    ComRef<IDispatch> app;
    ComRef<IDispatch> playlist;
    ComRef<IDispatch> tracks;
    // The current playlist's tracks in their order, when read from the first.
    TrackEnumeration trackOrder;
    // False once iTunes' track collections turned out to have no enumerator.
    bool tracksEnumerate = true;
    int32_t librarySourceID = 0;
    int32_t libraryPlaylistID = 0;
    ComRef<ITunesEventSink> sink;
    ComRef<IConnectionPoint> connectionPoint;
    DWORD adviseCookie = 0;
    bool rememberingTracks = false;
    std::unordered_map<int32_t, TrackData> tracksMet; // by track database ID

    // Members' DISPIDs, one cache per iTunes interface.
    DispatchInterface appInterface;
    DispatchInterface sourceCollectionInterface;
    DispatchInterface playlistCollectionInterface;
    DispatchInterface trackCollectionInterface;
    DispatchInterface sourceInterface;
    DispatchInterface playlistInterface;
    DispatchInterface trackInterface;
    DispatchInterface fileTrackInterface;
};
