#pragma once

#include <windows.h>

#include <fstream>
#include <string>

// An iTunes XML library of trackCount songs in the library playlist, twelve
// songs to an artist, for the timing programs; written into the temporary
// folder under fileName. With userPlaylists, that many playlists more share
// the songs out between them, each song in one. Answers its path.
inline std::wstring writeTimingLibrary(const std::wstring& fileName, int trackCount,
                                       bool albumPerArtist, int userPlaylists = 0) {
    wchar_t directory[MAX_PATH];
    GetTempPathW(MAX_PATH, directory);
    std::wstring path = std::wstring(directory) + fileName;
    std::ofstream file(path.c_str(), std::ios::binary);
    file << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
            "<key>Tracks</key>\n<dict>\n";
    for (int i = 1; i <= trackCount; ++i) {
        file << "<key>" << i << "</key><dict><key>Track ID</key><integer>" << i
             << "</integer><key>Name</key><string>Song number " << i
             << "</string><key>Artist</key><string>Artist " << i / 12
             << "</string><key>Album</key><string>Album";
        if (albumPerArtist) {
            file << " " << i / 12;
        }
        file << "</string><key>Total Time</key><integer>200000</integer><key>Location</key>"
                "<string>file://localhost/C:/Music/Artist%20"
             << i / 12 << "/Album/" << i << "%20Song.mp3</string></dict>\n";
    }
    file << "</dict>\n<key>Playlists</key>\n<array>\n<dict><key>Name</key><string>Library"
            "</string><key>Master</key><true/><key>Playlist ID</key><integer>1</integer>"
            "<key>Playlist Items</key><array>\n";
    for (int i = 1; i <= trackCount; ++i) {
        file << "<dict><key>Track ID</key><integer>" << i << "</integer></dict>\n";
    }
    file << "</array></dict>\n";
    for (int p = 0; p < userPlaylists; ++p) {
        file << "<dict><key>Name</key><string>Playlist " << p + 1
             << "</string><key>Playlist ID</key><integer>" << p + 2
             << "</integer><key>Playlist Items</key><array>\n";
        for (int i = p + 1; i <= trackCount; i += userPlaylists) {
            file << "<dict><key>Track ID</key><integer>" << i << "</integer></dict>\n";
        }
        file << "</array></dict>\n";
    }
    file << "</array>\n</dict>\n</plist>\n";
    return path;
}
