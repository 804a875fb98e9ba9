#include "ITunesAPI_win.h"

#include "BlankControlChars.h"
#include "CommentTimestamp.h"
#include "Exception.h"
#include "ITunesBusyException.h"
#include "ITunesIdentifiers_win.h"
#include "LocalTimestamp_win.h"
#include "VeltoDatabase.h"

namespace {

void throwIfFailed(HRESULT result) {
    if (FAILED(result)) {
        throw ITunesBusyException();
    }
}

} // namespace

ITunesAPI::ITunesAPI(HWND owner, bool connectEvents) : owner(owner) {
    connect();
    if (!checkVersion(1, 1)) {
        app.reset();
        throw Exception(143);
    }
    readLibraryPlaylist();
    sink = ITunesEventSink::create(owner, lock);
    if (connectEvents) {
        this->connectEvents();
    }
}

// A failing Unadvise cannot be reported from here; the sink is detached so that
// iTunes, if it keeps the subscription, calls an object that does nothing.
ITunesAPI::~ITunesAPI() {
    if (connectionPoint) {
        connectionPoint->Unadvise(adviseCookie);
        connectionPoint.reset();
    }
    sink->detach();
}

void ITunesAPI::connect() {
    HRESULT hr =
        CoCreateInstance(CLSID_iTunesApp, nullptr, CLSCTX_LOCAL_SERVER, IID_IiTunes, app.putVoid());
    if (hr == REGDB_E_CLASSNOTREG) {
        throw Exception(143);
    }
    if (FAILED(hr)) {
        checkResult(hr, L".\\ITunesAPI", 66);
    }
    if (!app) {
        checkResult(E_POINTER, L".\\ITunesAPI", 66);
    }
}

void ITunesAPI::readLibraryPlaylist() {
    ComRef<IDispatch> library = appInterface.getObject(app.get(), L"LibraryPlaylist");
    if (!library) {
        throw ITunesBusyException();
    }
    librarySourceID = playlistInterface.getInt(library.get(), L"SourceID");
    libraryPlaylistID = playlistInterface.getInt(library.get(), L"PlaylistID");
    tracks = playlistInterface.getObject(library.get(), L"Tracks");
}

void ITunesAPI::connectEvents() {
    ComRef<IConnectionPointContainer> container;
    throwIfFailed(app->QueryInterface(IID_IConnectionPointContainer, container.putVoid()));
    throwIfFailed(container->FindConnectionPoint(DIID__IiTunesEvents, connectionPoint.put()));
    throwIfFailed(connectionPoint->Advise(sink.get(), &adviseCookie));
}

bool ITunesAPI::checkVersion(int major, int minor) {
    Variant majorVersion(major);
    Variant minorVersion(minor);
    Variant compatible =
        appInterface.call(app.get(), L"CheckVersion", {&majorVersion, &minorVersion});
    return DispatchInterface::toInt(compatible) != 0;
}

bool ITunesAPI::getObjectByIDs(const ObjectIDs& ids, ComRef<IDispatch>& object) {
    Variant source(ids.sourceID);
    Variant playlistID(ids.playlistID);
    Variant track(ids.trackID);
    Variant database(ids.databaseID);
    Variant result;
    HRESULT hr = appInterface.tryInvoke(app.get(), L"GetITObjectByID", DISPATCH_METHOD,
                                        {&source, &playlistID, &track, &database}, result);
    object = hr == S_OK ? DispatchInterface::toObject(result) : ComRef<IDispatch>();
    return bool(object);
}

void ITunesAPI::enumeratePlaylists(PlaylistListener& listener) {
    ComRef<IDispatch> sources = appInterface.getObject(app.get(), L"Sources");
    if (!sources) {
        return;
    }
    int sourceCount = sourceCollectionInterface.count(sources.get());
    for (int s = 1; s <= sourceCount; ++s) {
        ComRef<IDispatch> source = sourceCollectionInterface.item(sources.get(), s);
        if (!source || sourceInterface.getInt(source.get(), L"Kind") != kITSourceKindLibrary) {
            continue;
        }
        ComRef<IDispatch> playlists = sourceInterface.getObject(source.get(), L"Playlists");
        if (!playlists) {
            continue;
        }
        int playlistCount = playlistCollectionInterface.count(playlists.get());
        for (int p = 1; p <= playlistCount; ++p) {
            ComRef<IDispatch> candidate = playlistCollectionInterface.item(playlists.get(), p);
            if (candidate) {
                reportPlaylist(candidate.get(), listener);
            }
        }
    }
}

void ITunesAPI::reportPlaylist(IDispatch* candidate, PlaylistListener& listener) {
    bool isLibrary = playlistInterface.getInt(candidate, L"Kind") == kITPlaylistKindLibrary;
    if (playlistInterface.getInt(candidate, L"Duration") <= 0) {
        return;
    }
    int32_t id = playlistInterface.getInt(candidate, L"PlaylistID");
    std::wstring name = playlistInterface.getText(candidate, L"Name").value_or(std::wstring());
    selectPlaylist(id);
    listener.playlistFound(id, name, trackCount(), isLibrary);
}

void ITunesAPI::selectPlaylist(int32_t playlistID) {
    CriticalSection::Hold hold(lock);
    trackOrder = TrackEnumeration();
    playlist.reset();
    tracks.reset();
    ComRef<IDispatch> found;
    if (!getObjectByIDs(ObjectIDs{librarySourceID, playlistID, 0, 0}, found)) {
        return;
    }
    // An object that is no playlist (the IDs of a track) selects nothing.
    if (FAILED(found->QueryInterface(IID_IITPlaylist, playlist.putVoid()))) {
        return;
    }
    tracks = playlistInterface.getObject(playlist.get(), L"Tracks");
}

int ITunesAPI::trackCount() {
    if (!sink->comCallsEnabled()) {
        return 0;
    }
    CriticalSection::Hold hold(lock);
    return tracks ? trackCollectionInterface.count(tracks.get()) : 0;
}

void ITunesAPI::getTrack(int position, std::optional<std::wstring>& name,
                         std::optional<std::wstring>& artist, std::optional<std::wstring>& album,
                         std::optional<std::wstring>& location) {
    CriticalSection::Hold hold(lock);
    name = artist = album = location = std::nullopt;
    ComRef<IDispatch> track = trackAt(position);
    if (!track) {
        return;
    }
    std::optional<int32_t> databaseID;
    if (rememberingTracks) {
        databaseID = trackDatabaseID(track.get());
        if (auto met = tracksMet.find(*databaseID); met != tracksMet.end()) {
            name = met->second.name;
            artist = met->second.artist;
            album = met->second.album;
            location = met->second.location;
            return;
        }
    }
    TrackData data = readTrack(track.get());
    name = data.name;
    artist = data.artist;
    album = data.album;
    location = data.location;
    if (databaseID) {
        tracksMet.emplace(*databaseID, std::move(data));
    }
}

// A read in order, as a sync reads, takes the tracks from the collection's
// enumerator a batch at a time; any other position is asked by Item.
ComRef<IDispatch> ITunesAPI::trackAt(int position) {
    if (!tracks) {
        return {};
    }
    if (position == 0) {
        startTrackOrder();
    }
    ComRef<IDispatch> track;
    if (trackOrder.next(position, track)) {
        return track;
    }
    return trackCollectionInterface.item(tracks.get(), position + 1);
}

// A collection without an enumerator is read by Item from then on; any other
// failure is a refused call.
void ITunesAPI::startTrackOrder() {
    trackOrder = TrackEnumeration();
    if (!tracksEnumerate) {
        return;
    }
    ComRef<IEnumVARIANT> enumerator;
    HRESULT hr = DispatchInterface::enumerator(tracks.get(), enumerator);
    if (hr == DISP_E_MEMBERNOTFOUND || hr == DISP_E_UNKNOWNNAME || hr == E_NOTIMPL ||
        hr == E_NOINTERFACE) {
        tracksEnumerate = false;
        return;
    }
    throwIfFailed(hr);
    trackOrder = TrackEnumeration(std::move(enumerator));
}

void ITunesAPI::rememberTracks(bool remember) {
    rememberingTracks = remember;
    if (!remember) {
        tracksMet.clear();
    }
}

// The kind first: the texts of a track that is no file with a location are
// not asked for.
ITunesAPI::TrackData ITunesAPI::readTrack(IDispatch* track) {
    TrackData data;
    if (trackInterface.getInt(track, L"Kind") != kITTrackKindFile) {
        return data;
    }
    Variant path;
    if (readLocation(track, path) != S_OK) {
        return data;
    }
    data.location = DispatchInterface::toText(path);
    data.name = trackInterface.getText(track, L"Name");
    data.artist = trackInterface.getText(track, L"Artist");
    data.album = trackInterface.getText(track, L"Album");
    blankControlChars(data.name);
    blankControlChars(data.artist);
    blankControlChars(data.album);
    blankControlChars(data.location);
    return data;
}

// iTunes answers Location on a file track's own IDispatch, which saves the
// round trips of a second interface; the file-track interface is asked only
// when the track's IDispatch does not know the name.
HRESULT ITunesAPI::readLocation(IDispatch* track, Variant& location) {
    if (trackInterface.knows(track, L"Location")) {
        HRESULT hr = trackInterface.tryGet(track, L"Location", location);
        if (hr != DISP_E_MEMBERNOTFOUND) {
            return hr;
        }
    }
    ComRef<IDispatch> fileTrack;
    HRESULT hr = track->QueryInterface(IID_IITFileOrCDTrack, fileTrack.putVoid());
    if (FAILED(hr)) {
        return hr;
    }
    return fileTrackInterface.tryGet(fileTrack.get(), L"Location", location);
}

int32_t ITunesAPI::trackDatabaseID(IDispatch* track) {
    LONG sourceID = 0, playlistID = 0, trackID = 0, databaseID = 0;
    Variant source = Variant::outInt(sourceID);
    Variant playlistOut = Variant::outInt(playlistID);
    Variant trackOut = Variant::outInt(trackID);
    Variant databaseOut = Variant::outInt(databaseID);
    Variant ignored;
    throwIfFailed(trackInterface.tryInvoke(track, L"GetITObjectIDs", DISPATCH_METHOD,
                                           {&source, &playlistOut, &trackOut, &databaseOut},
                                           ignored));
    return databaseID;
}

void ITunesAPI::timestampComments(const VeltoDatabase& database,
                                  const std::vector<int32_t>& trackIds) {
    CriticalSection::Hold hold(lock);
    // Every track of one call gets the same stamp.
    std::wstring prefix = timestampPrefix(Exception::caption());
    std::wstring timestamp = localTimestamp(prefix);
    ComRef<IDispatch> library = appInterface.getObject(app.get(), L"LibraryPlaylist");
    if (!library) {
        return;
    }
    for (int32_t id : trackIds) {
        const TrackRecord* track = database.findTrack(id);
        const std::wstring* path = track ? database.trackFileName(*track) : nullptr;
        if (!track || !track->name || !path) {
            continue;
        }
        timestampTrack(library.get(), *track->name, *path, prefix, timestamp);
    }
}

// Of the library's tracks with this name, the first whose file is exactly this
// path gets the stamp.
void ITunesAPI::timestampTrack(IDispatch* library, const std::wstring& name,
                               const std::wstring& path, const std::wstring& prefix,
                               const std::wstring& timestamp) {
    Variant text(name);
    Variant field(kITPlaylistSearchFieldSongNames);
    ComRef<IDispatch> found =
        DispatchInterface::toObject(playlistInterface.call(library, L"Search", {&text, &field}));
    if (!found) {
        return;
    }
    int count = trackCollectionInterface.count(found.get());
    for (int i = 1; i <= count; ++i) {
        ComRef<IDispatch> track = trackCollectionInterface.item(found.get(), i);
        if (!track || !hasLocation(track.get(), path)) {
            continue;
        }
        std::wstring comment = trackInterface.getText(track.get(), L"Comment").value_or(L"");
        Variant merged(mergeTimestamp(comment, prefix, timestamp));
        // Out of memory for the new comment: this track keeps its old one.
        if ((*merged).bstrVal) {
            Variant ignored;
            throwIfFailed(trackInterface.tryInvoke(track.get(), L"Comment", DISPATCH_PROPERTYPUT,
                                                   {&merged}, ignored));
        }
        return;
    }
}

bool ITunesAPI::hasLocation(IDispatch* track, const std::wstring& path) {
    Variant location;
    return readLocation(track, location) == S_OK && DispatchInterface::toText(location) == path;
}
