#pragma once

#include <windows.h>

#include <string>

// A small library in iTunes' XML format, with an iPod playlist of the
// stand-in's own kind.
inline const char kLibraryXml[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
	<key>Major Version</key><integer>1</integer>
	<key>Tracks</key>
	<dict>
		<key>101</key>
		<dict>
			<key>Track ID</key><integer>101</integer>
			<key>Name</key><string>Caf&#233; Song</string>
			<key>Artist</key><string>Someone &amp; Co</string>
			<key>Album</key><string>First</string>
			<key>Total Time</key><integer>215000</integer>
			<key>Location</key><string>file://localhost/C:/Music/%C3%89t%C3%A9/a%20b.mp3</string>
			<key>Comments</key><string>nice</string>
		</dict>
		<key>102</key>
		<dict>
			<key>Track ID</key><integer>102</integer>
			<key>Name</key><string>Other</string>
			<key>Total Time</key><integer>1000</integer>
			<key>Track Type</key><string>File</string>
			<key>Location</key><string>file://localhost/C:/Music/other.mp3</string>
		</dict>
		<key>103</key>
		<dict>
			<key>Track ID</key><integer>103</integer>
			<key>Name</key><string>Radio</string>
			<key>Track Type</key><string>URL</string>
			<key>Location</key><string>http://radio.invalid/stream</string>
		</dict>
	</dict>
	<key>Playlists</key>
	<array>
		<dict>
			<key>Name</key><string>Library</string>
			<key>Master</key><true/>
			<key>Playlist ID</key><integer>500</integer>
			<key>Playlist Items</key>
			<array>
				<dict><key>Track ID</key><integer>101</integer></dict>
				<dict><key>Track ID</key><integer>102</integer></dict>
				<dict><key>Track ID</key><integer>103</integer></dict>
			</array>
		</dict>
		<dict>
			<key>Name</key><string>Favourites</string>
			<key>Playlist ID</key><integer>501</integer>
			<key>Playlist Items</key>
			<array>
				<dict><key>Track ID</key><integer>102</integer></dict>
			</array>
		</dict>
		<dict>
			<key>Name</key><string>On the go</string>
			<key>Playlist ID</key><integer>502</integer>
			<key>Velto Source</key><string>My iPod</string>
			<key>Playlist Items</key>
			<array>
				<dict><key>Track ID</key><integer>101</integer></dict>
			</array>
		</dict>
	</array>
</dict>
</plist>
)";

inline std::wstring temporaryFile(const wchar_t* name) {
    wchar_t directory[MAX_PATH];
    GetTempPathW(MAX_PATH, directory);
    return std::wstring(directory) + name;
}
