#pragma once

// Messages that the iTunes connection sends (blocking) to its owner window.
//
// WM_APP_CLOSE:     iTunes is quitting.                         wParam 0, lParam 0
// WM_APP_DBCHANGED: one object changed (wParam 0) or was deleted (wParam 1);
//                   lParam points at its ObjectIDs, valid during the send only.
// WM_APP_COMCALLS:  iTunes stopped (wParam 0) or resumed (wParam 1) accepting calls.
inline constexpr unsigned int WM_APP_CLOSE = 0x8001;
inline constexpr unsigned int WM_APP_DBCHANGED = 0x8002;
inline constexpr unsigned int WM_APP_COMCALLS = 0x8003;
