# The check that a Velto that was installed or unpacked starts from where it
# lies, as a user meets it. Sourced by package-test, whose prefix, helper
# (ask), music folder and fail it uses:
#
#   expect_velto_starts DIR
#
# 1. Without iTunes, the first start (no Velto.db yet) shows "Velto requires
#    iTunes version 4.6 or later" and ends without writing a database.
# 2. With the iTunes stand-in registered as iTunes and serving a small
#    library, the first start syncs, and File > Exit writes Velto.db with the
#    library's playlists and tracks.
# The test's own Velto.db in the music folder is set aside meanwhile and
# comes back as it was.

write_stand_in_library() {
    cat >"$1" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
	<key>Major Version</key><integer>1</integer>
	<key>Tracks</key>
	<dict>
		<key>201</key>
		<dict>
			<key>Track ID</key><integer>201</integer>
			<key>Name</key><string>Morning Song</string>
			<key>Artist</key><string>The Testers</string>
			<key>Album</key><string>Packages</string>
			<key>Total Time</key><integer>180000</integer>
			<key>Location</key><string>file://localhost/C:/Music/morning.mp3</string>
		</dict>
	</dict>
	<key>Playlists</key>
	<array>
		<dict>
			<key>Name</key><string>Library</string>
			<key>Master</key><true/>
			<key>Playlist ID</key><integer>600</integer>
			<key>Playlist Items</key>
			<array><dict><key>Track ID</key><integer>201</integer></dict></array>
		</dict>
		<dict>
			<key>Name</key><string>Road Trip</string>
			<key>Playlist ID</key><integer>601</integer>
			<key>Playlist Items</key>
			<array><dict><key>Track ID</key><integer>201</integer></dict></array>
		</dict>
	</array>
</dict>
</plist>
XML
}

expect_velto_starts() {
    local dir=$1 program database="$music/Velto.db" aside="$work/Velto.db.aside"
    program="$(windows_path "$dir")\\Velto.exe"
    mv "$database" "$aside"

    ask expect-message "$program" "Velto requires iTunes version 4.6 or later" ||
        fail "Velto in $dir did not say that iTunes is missing and end"
    [ ! -e "$database" ] || fail "Velto in $dir wrote a database although it could not reach iTunes"

    write_stand_in_library "$work/library.xml"
    "$standin_register" "$prefix" "$standin_exe" "$standin_typelib" "$work/library.xml" ||
        fail "registering the iTunes stand-in failed"
    local status=0
    ask sync-and-exit "$program" || status=$?
    "$standin_register" "$prefix" --unregister
    [ "$status" -eq 0 ] || fail "Velto in $dir did not sync with the iTunes stand-in and exit (exit code $status)"
    grep -aq 'Road Trip' "$database" && grep -aq 'Morning Song' "$database" ||
        fail "the Velto.db that Velto in $dir wrote lacks the library's playlist or track"

    rm "$database"
    mv "$aside" "$database"
}
