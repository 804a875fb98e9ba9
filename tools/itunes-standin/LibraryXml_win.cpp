#include "LibraryXml_win.h"

#include "Variant_win.h"

#include <windows.h>

#include <optional>
#include <utility>
#include <vector>

namespace {

// Walks the siblings rather than indexing the child list, which some parsers
// answer in time proportional to the index.
std::vector<ComRef<IXMLDOMNode>> elementChildren(IXMLDOMNode* node) {
    std::vector<ComRef<IXMLDOMNode>> elements;
    ComRef<IXMLDOMNode> child;
    node->get_firstChild(child.put());
    while (child) {
        DOMNodeType type = NODE_INVALID;
        ComRef<IXMLDOMNode> next;
        child->get_nextSibling(next.put());
        if (SUCCEEDED(child->get_nodeType(&type)) && type == NODE_ELEMENT) {
            elements.push_back(std::move(child));
        }
        child = std::move(next);
    }
    return elements;
}

std::wstring takeText(BSTR text) {
    std::wstring result = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return result;
}

std::wstring nodeName(IXMLDOMNode* node) {
    BSTR name = nullptr;
    node->get_nodeName(&name);
    return takeText(name);
}

std::wstring nodeText(IXMLDOMNode* node) {
    BSTR text = nullptr;
    node->get_text(&text);
    return takeText(text);
}

// The key/value pairs of a property list dict, in document order.
std::vector<std::pair<std::wstring, IXMLDOMNode*>>
dictEntries(const std::vector<ComRef<IXMLDOMNode>>& children) {
    std::vector<std::pair<std::wstring, IXMLDOMNode*>> entries;
    for (size_t i = 0; i + 1 < children.size(); i += 2) {
        entries.emplace_back(nodeText(children[i].get()), children[i + 1].get());
    }
    return entries;
}

int trackKind(const std::wstring& type) {
    if (type == L"URL") {
        return StandInTrack::kURL;
    }
    return type == L"Remote" ? StandInTrack::kShared : StandInTrack::kFile;
}

std::wstring fromUTF8(const std::string& bytes) {
    int length =
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                        length);
    return text;
}

std::string toUTF8(const std::wstring& text) {
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                     nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, nullptr);
    return bytes;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

std::wstring LibraryXml::pathFromURL(const std::wstring& url) {
    std::wstring rest = url;
    for (const wchar_t* scheme : {L"file://localhost/", L"file:///"}) {
        if (rest.starts_with(scheme)) {
            rest.erase(0, std::wstring(scheme).size());
            break;
        }
    }
    if (rest.starts_with(L"file://")) {
        rest = L"//" + rest.substr(7); // a file on another machine
    }
    std::string bytes = toUTF8(rest);
    std::string decoded;
    for (size_t i = 0; i < bytes.size(); ++i) {
        int high = i + 2 < bytes.size() ? hexValue(bytes[i + 1]) : -1;
        int low = i + 2 < bytes.size() ? hexValue(bytes[i + 2]) : -1;
        if (bytes[i] == '%' && high >= 0 && low >= 0) {
            decoded += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            decoded += bytes[i] == '/' ? '\\' : bytes[i];
        }
    }
    return fromUTF8(decoded);
}

HRESULT LibraryXml::load(const std::wstring& filePath, StandInLibrary& library) {
    path = filePath;
    CLSID documentClass;
    HRESULT hr = CLSIDFromProgID(L"Msxml2.DOMDocument.3.0", &documentClass);
    if (SUCCEEDED(hr)) {
        hr = CoCreateInstance(documentClass, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                              document.putVoid());
    }
    if (FAILED(hr)) {
        return hr;
    }
    // The property list names Apple's DTD; it is neither fetched nor checked.
    document->put_async(VARIANT_FALSE);
    document->put_validateOnParse(VARIANT_FALSE);
    document->put_resolveExternals(VARIANT_FALSE);
    document->put_preserveWhiteSpace(VARIANT_TRUE);
    Variant source(path);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    hr = document->load(*source, &loaded);
    if (FAILED(hr) || loaded != VARIANT_TRUE) {
        return FAILED(hr) ? hr : E_INVALIDARG;
    }
    ComRef<IXMLDOMElement> plist;
    document->get_documentElement(plist.put());
    std::vector<ComRef<IXMLDOMNode>> top =
        plist ? elementChildren(plist.get()) : std::vector<ComRef<IXMLDOMNode>>();
    if (top.empty() || nodeName(top.front().get()) != L"dict") {
        return E_INVALIDARG;
    }
    std::vector<ComRef<IXMLDOMNode>> entries = elementChildren(top.front().get());
    IXMLDOMNode* playlists = nullptr;
    for (const auto& [key, value] : dictEntries(entries)) {
        if (key == L"Tracks") {
            hr = readTracks(value, library);
        } else if (key == L"Playlists") {
            playlists = value;
        }
        if (FAILED(hr)) {
            return hr;
        }
    }
    return playlists ? readPlaylists(playlists, library) : S_OK;
}

HRESULT LibraryXml::readTracks(IXMLDOMNode* dict, StandInLibrary& library) {
    std::vector<ComRef<IXMLDOMNode>> entries = elementChildren(dict);
    for (const auto& [key, value] : dictEntries(entries)) {
        StandInTrack track;
        std::wstring type = L"File";
        std::optional<std::wstring> url;
        std::vector<ComRef<IXMLDOMNode>> fields = elementChildren(value);
        for (const auto& [field, fieldValue] : dictEntries(fields)) {
            std::wstring text = nodeText(fieldValue);
            if (field == L"Track ID") {
                track.id = _wtoi(text.c_str());
            } else if (field == L"Name") {
                track.name = text;
            } else if (field == L"Artist") {
                track.artist = text;
            } else if (field == L"Album") {
                track.album = text;
            } else if (field == L"Total Time") {
                track.totalTimeMilliseconds = _wtoi(text.c_str());
            } else if (field == L"Location") {
                url = text;
            } else if (field == L"Comments") {
                track.comment = text;
            } else if (field == L"Track Type") {
                type = text;
            }
        }
        if (track.id == 0) {
            return E_INVALIDARG;
        }
        track.kind = trackKind(type);
        if (track.kind == StandInTrack::kFile && url) {
            track.location = pathFromURL(*url);
        }
        trackNodes[track.id] = ComRef<IXMLDOMNode>::share(value);
        library.addTrack(std::move(track));
    }
    return S_OK;
}

// Each playlist dict: Name, Playlist ID, Master (the library playlist) and
// Playlist Items. A "Velto Source" name puts a playlist on a device source of
// that name, as an iPod's playlists appear in iTunes.
HRESULT LibraryXml::readPlaylists(IXMLDOMNode* array, StandInLibrary& library) {
    for (const ComRef<IXMLDOMNode>& dict : elementChildren(array)) {
        std::wstring name;
        std::wstring sourceName;
        bool master = false;
        int32_t id = 0;
        std::vector<int32_t> trackIds;
        std::vector<ComRef<IXMLDOMNode>> fields = elementChildren(dict.get());
        for (const auto& [field, value] : dictEntries(fields)) {
            if (field == L"Name") {
                name = nodeText(value);
            } else if (field == L"Playlist ID") {
                id = _wtoi(nodeText(value).c_str());
            } else if (field == L"Master") {
                master = nodeName(value) == L"true";
            } else if (field == L"Velto Source") {
                sourceName = nodeText(value);
            } else if (field == L"Playlist Items") {
                for (const ComRef<IXMLDOMNode>& item : elementChildren(value)) {
                    std::vector<ComRef<IXMLDOMNode>> itemFields = elementChildren(item.get());
                    for (const auto& [itemKey, itemValue] : dictEntries(itemFields)) {
                        if (itemKey == L"Track ID") {
                            trackIds.push_back(_wtoi(nodeText(itemValue).c_str()));
                        }
                    }
                }
            }
        }
        StandInPlaylist* playlist = nullptr;
        if (master) {
            playlist = &library.libraryPlaylist();
            playlist->name = name;
            playlist->trackIds = std::move(trackIds);
        } else {
            int32_t sourceId = 0;
            for (const StandInSource& source : library.sources) {
                if (!sourceName.empty() && source.name == sourceName) {
                    sourceId = source.id;
                }
            }
            if (!sourceName.empty() && sourceId == 0) {
                sourceId = library.addSource(sourceName, StandInSource::kIPod).id;
            }
            playlist = &library.addPlaylist(name, std::move(trackIds), sourceId);
        }
        if (id != 0) {
            playlist->id = id;
        }
    }
    return S_OK;
}

HRESULT LibraryXml::writeComment(int32_t trackId, const std::wstring& comment) {
    auto found = trackNodes.find(trackId);
    if (!document || found == trackNodes.end()) {
        return S_FALSE;
    }
    IXMLDOMNode* dict = found->second.get();
    std::vector<ComRef<IXMLDOMNode>> fields = elementChildren(dict);
    bool stored = false;
    for (const auto& [field, value] : dictEntries(fields)) {
        if (field == L"Comments") {
            BSTR text = SysAllocStringLen(comment.data(), static_cast<UINT>(comment.size()));
            value->put_text(text);
            SysFreeString(text);
            stored = true;
        }
    }
    if (!stored) {
        for (auto [tag, text] :
             {std::pair{L"key", std::wstring(L"Comments")}, std::pair{L"string", comment}}) {
            ComRef<IXMLDOMElement> element;
            BSTR tagName = SysAllocString(tag);
            BSTR content = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
            HRESULT hr = document->createElement(tagName, element.put());
            if (SUCCEEDED(hr)) {
                element->put_text(content);
                ComRef<IXMLDOMNode> added;
                hr = dict->appendChild(element.get(), added.put());
            }
            SysFreeString(tagName);
            SysFreeString(content);
            if (FAILED(hr)) {
                return hr;
            }
        }
    }
    Variant destination(path);
    return document->save(*destination);
}
