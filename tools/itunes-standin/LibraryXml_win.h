#pragma once

#include "ComRef_win.h"
#include "StandInLibrary.h"

#include <msxml2.h>

#include <string>
#include <unordered_map>

// A library file in iTunes' own XML format (an Apple property list), read with
// the system's XML parser. The document stays loaded so that comment changes
// can be written back into it.
class LibraryXml {
public:
    // Reads the file into the library. Answers the parser's failure, or
    // E_INVALIDARG for a file that is not an iTunes library.
    HRESULT load(const std::wstring& path, StandInLibrary& library);
    // Stores a track's comment in the document and saves the file.
    HRESULT writeComment(int32_t trackId, const std::wstring& comment);

    // "file://localhost/C:/My%20Music/a.mp3" -> "C:\My Music\a.mp3"
    static std::wstring pathFromURL(const std::wstring& url);

private:
    HRESULT readTracks(IXMLDOMNode* dict, StandInLibrary& library);
    HRESULT readPlaylists(IXMLDOMNode* array, StandInLibrary& library);

    std::wstring path;
    ComRef<IXMLDOMDocument> document;
    // The dict element of each track, by its Track ID.
    std::unordered_map<int32_t, ComRef<IXMLDOMNode>> trackNodes;
};
