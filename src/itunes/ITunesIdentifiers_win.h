#pragma once

#include <oaidl.h>
#include <windows.h>

// Identifiers of iTunes' published COM type library (interface version 1.1)
// that Velto uses. Everything else is reached by member name through IDispatch,
// so Velto needs neither Apple's headers nor its type library.
inline constexpr GUID CLSID_iTunesApp = {
    0xDC0C2640, 0x1415, 0x4644, {0x87, 0x5C, 0x6F, 0x4D, 0x76, 0x98, 0x39, 0xBA}};
inline constexpr GUID IID_IiTunes = {
    0x9DD6680B, 0x3EDC, 0x40DB, {0xA7, 0x71, 0xE6, 0xFE, 0x48, 0x32, 0xE3, 0x4A}};
inline constexpr GUID IID_IITPlaylist = {
    0x3D5E072F, 0x2A77, 0x4B17, {0x9E, 0x73, 0xE0, 0x3B, 0x77, 0xCC, 0xCC, 0xA9}};
inline constexpr GUID IID_IITFileOrCDTrack = {
    0x00D7FE99, 0x7868, 0x4CC7, {0xAD, 0x9E, 0xAC, 0xFD, 0x70, 0xD0, 0x95, 0x66}};
inline constexpr GUID DIID__IiTunesEvents = {
    0x5846EB78, 0x317E, 0x4B6F, {0xB0, 0xC3, 0x11, 0xEE, 0x8C, 0x8F, 0xEE, 0xF2}};

// Values of iTunes' enumerations that Velto relies on.
inline constexpr int kITSourceKindLibrary = 1;
inline constexpr int kITPlaylistKindLibrary = 1;
inline constexpr int kITTrackKindFile = 1;
inline constexpr int kITPlaylistSearchFieldSongNames = 5;

// DISPIDs of the event interface _IiTunesEvents.
inline constexpr DISPID kDatabaseChangedEvent = 1;
inline constexpr DISPID kCOMCallsDisabledEvent = 6;
inline constexpr DISPID kCOMCallsEnabledEvent = 7;
inline constexpr DISPID kQuittingEvent = 8;
